#include "DeviceOutput.h"

#include "protocol/CodeTables.h"

#include <cstring>
#include <gtest/gtest.h>

namespace rf {
namespace {

TEST(DeviceOutput, JsonTextEscapesWhatJsonNeedsAndReplacesBrokenBytes) {
    EXPECT_EQ(JsonText("plain"), "\"plain\"");
    EXPECT_EQ(JsonText("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonText("V3.1.0\nbuild\x7f\n"), "\"V3.1.0\\nbuild\\u007f\\n\"");
    EXPECT_EQ(JsonText("\t\r\b\f\x01\x1f"), "\"\\t\\r\\b\\f\\u0001\\u001f\"");
    EXPECT_EQ(JsonText("北站"), "\"北站\"");
    EXPECT_EQ(JsonText("x\xff\xe5\x8c"), "\"x\\ufffd\\ufffd\\ufffd\"");
}

TEST(DeviceOutput, PrintableTextKeepsTerminalEscapesOut) {
    EXPECT_EQ(PrintableText("\x1b[2Jname\r\n"), "?[2Jname??");
    EXPECT_EQ(PrintableText("塔楼 24"), "塔楼 24");
    EXPECT_EQ(PrintableText("a\xc2\x9b"
                            "b\xfe"),
              "a?b?");
}

TEST(DeviceOutput, DeviceJsonHasExactlyTheListedKeys) {
    DeviceInfo info;
    info.set_ip(IpTextToBytes("10.99.1.7"));
    info.set_ap_name("Mast \"7\"");
    info.set_version("V2.3.12");
    info.set_work_mode(2);
    info.set_ssid("rflab-7");
    info.set_channel(11);
    info.set_up_time(90061);
    const std::string line = DeviceJson(ApInfo::Make("02:52:01:00:00:07", 257, 4, info), false);
    EXPECT_EQ(line,
              "{\"mac\":\"02:52:01:00:00:07\",\"ip\":\"10.99.1.7\",\"model\":" + JsonText(ModelText(257)) +
                  ",\"name\":\"Mast \\\"7\\\"\",\"version\":\"V2.3.12\",\"status\":4,\"work_mode\":2,"
                  "\"ssid\":\"rflab-7\",\"channel\":11,\"uptime\":90061,\"announced\":false}");
    EXPECT_NE(DeviceJson(ApInfo::Make("02:52:01:00:00:07", 257, 10, info), true).find("\"announced\":true"),
              std::string::npos);
}

TEST(DeviceOutput, AdapterListsItsAddressesJoinedAsTheAdapterPageDoes) {
    AdapterRecord adapter{};
    std::strcpy(adapter.description, "lab-p0 (veth)");
    const std::uint8_t mac[6] = {0x82, 0x7d, 0xc9, 0xa0, 0x55, 0x58};
    std::memcpy(adapter.hardwareAddress, mac, sizeof mac);
    adapter.count = 2;
    std::strcpy(adapter.addresses[0].ip, "192.168.1.10");
    std::strcpy(adapter.addresses[0].mask, "255.255.255.0");
    std::strcpy(adapter.addresses[1].ip, "10.0.0.5");
    std::strcpy(adapter.addresses[1].mask, "255.0.0.0");
    EXPECT_EQ(
        AdapterTextRow(1, adapter, 4),
        (std::vector<std::string>{"1", "lab-p0 (veth)", "82:7d:c9:a0:55:58", "192.168.1.10--10.0.0.5", "4"}));
    EXPECT_EQ(
        AdapterJson(1, adapter, 4),
        "{\"id\":1,\"description\":\"lab-p0 (veth)\",\"mac\":\"82:7d:c9:a0:55:58\",\"ip\":\"192.168.1.10--"
        "10.0.0.5\",\"addresses\":[{\"ip\":\"192.168.1.10\",\"mask\":\"255.255.255.0\"},{\"ip\":\"10.0.0.5\","
        "\"mask\":\"255.0.0.0\"}],\"devices\":4}");
    adapter.count = 1;
    EXPECT_EQ(AdapterTextRow(2, adapter, 0).at(3), "192.168.1.10");
}

TEST(DeviceOutput, AnAdapterWhoseDevicesCouldNotBeCountedSaysSo) {
    AdapterRecord adapter{};
    std::strcpy(adapter.description, "eth0");
    adapter.count = 1;
    std::strcpy(adapter.addresses[0].ip, "10.0.0.5");
    std::strcpy(adapter.addresses[0].mask, "255.0.0.0");
    EXPECT_EQ(AdapterTextRow(1, adapter, std::nullopt).back(), "-");
    const std::string json = AdapterJson(1, adapter, std::nullopt);
    EXPECT_NE(json.find(",\"devices\":null}"), std::string::npos) << json;
}

} // namespace
} // namespace rf
