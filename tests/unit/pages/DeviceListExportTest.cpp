#include "pages/DeviceListExport.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

DeviceRow Row(const std::string& name, const std::string& mac) {
    DeviceRow row;
    row.texts[kFieldSerial] = "1";
    row.texts[kFieldLocation] = name;
    row.texts[kFieldMac] = mac;
    row.texts[kFieldStatus] = "Online";
    return row;
}

TEST(DeviceListExport, ColumnsAreThePagesWithTextPlusTheMacQuotedAsCsvAndJsonNeed) {
    const DeviceListLayout withoutMac{{{kFieldTick, "", 20, false, true},
                                       {kFieldLocation, "Location", 90, true, false},
                                       {kFieldStatus, "Status", 60, true, false}}};
    EXPECT_EQ(ExportFieldNames(ExportFields(withoutMac)),
              (std::vector<std::string>{"name", "status", "mac"}));

    const std::vector<DeviceRow> rows{Row("Tower \"3\", north", "02:00:00:00:00:01"),
                                      Row("北站-2", "02:00:00:00:00:02")};
    EXPECT_EQ(ExportDocument(withoutMac, rows, ExportFormat::Csv),
              "name,status,mac\r\n\"Tower \"\"3\"\", north\",Online,02:00:00:00:00:01\r\n"
              "北站-2,Online,02:00:00:00:00:02\r\n");
    EXPECT_EQ(
        ExportDocument(withoutMac, rows, ExportFormat::Json),
        "[\n{\"name\":\"Tower \\\"3\\\", north\",\"status\":\"Online\",\"mac\":\"02:00:00:00:00:01\"},\n"
        "{\"name\":\"北站-2\",\"status\":\"Online\",\"mac\":\"02:00:00:00:00:02\"}\n]\n");
}

TEST(DeviceListExport, TheExtensionDecidesTheFormatElseTheChosenFilterWhichAddsIt) {
    EXPECT_EQ(ExportFormatOf("/tmp/a.JSON", ExportFormat::Csv), ExportFormat::Json);
    EXPECT_EQ(ExportFormatOf("/tmp/a.csv", ExportFormat::Json), ExportFormat::Csv);
    EXPECT_EQ(ExportFormatOf("/tmp/a", ExportFormat::Json), ExportFormat::Json);
    EXPECT_EQ(ExportFileName("/tmp/a", ExportFormat::Json), "/tmp/a.json");
    EXPECT_EQ(ExportFileName("/tmp/a.Csv", ExportFormat::Json), "/tmp/a.Csv");
}

} // namespace
} // namespace rf
