// The filtered page query reads ap_list, a narrow copy of the filtered and sorted columns kept by triggers.
// Here it is compared with the plain statement over every filter column of ap_info, on a store changed by
// every kind of write, for a few hundred random filters, sort keys and pages.
#include "StoreFixture.h"

#include "store/DeviceListIndex.h"
#include "store/RecordColumns.h"
#include "store/StoreSchema.h"
#include "support/StoreSamples.h"

#include <cctype>

namespace rf::test {
namespace {

struct Listing {
    std::vector<ap_info_stu> devices;
    int pages = -1;
    int online = -1;
    int total = -1;
};

class DeviceListIndexTest : public StoreTest {
protected:
    // Every kind of write the store makes, and one statement of its own, on a store of random devices.
    void FillAndChange(Random& random) {
        // More devices than the store reads by their IDs (1,000), so that broad filters take its other ways.
        constexpr int kDevices = 1200;
        for (int n = 0; n < kDevices; ++n) {
            ASSERT_TRUE(Store().SaveDeviceInfo(RandomDevice(random, n)));
        }
        for (int n = 0; n < kDevices; n += 3) {
            ASSERT_TRUE(Store().SaveDeviceInfo(RandomDevice(random, n))); // reported again, changed
        }
        for (int n = 1; n < kDevices; n += 4) {
            Store().SetDeviceStatus(MacFor(n), static_cast<DeviceStatus>(random.Below(10)));
        }
        for (int n = 2; n < kDevices; n += 5) {
            Store().UpdateUptime("10.1.2." + std::to_string(n), MacFor(n), static_cast<uint32_t>(n * 9000));
        }
        for (int n = 5; n < kDevices; n += 11) {
            Store().DeleteDevice(MacFor(n));
        }
        ASSERT_TRUE(Store().Execute("UPDATE ap_info SET ap_name='Back to AB' WHERE ID % 13 = 0"));
    }

    // The plain statement over ap_info, walked: every matching row counted, the page's rows kept.
    Listing Reference(SortKey key, const std::string& filter, bool ascending, int pageSize, int page) {
        std::string sql = "SELECT ID," + ColumnListSql(kDeviceTable, kDeviceColumns, false) + " FROM ap_info";
        for (size_t i = 0; !filter.empty() && i < kSearchedColumns.size(); ++i) {
            sql += (i == 0 ? " WHERE " : " OR ") + std::string(kSearchedColumns[i]) + " LIKE ?1 ESCAPE '\\'";
        }
        const std::string column = CSqlManagement::GetDeviceSortColumn(key);
        const bool text = column == "ap_info.mac" || column == "ap_info.ap_name" ||
                          column == "ap_info.ssid" || column == "ap_info.version";
        sql +=
            " ORDER BY " + column + (text ? " COLLATE NOCASE" : "") + (ascending ? " ASC" : " DESC") + ",ID";
        OpenRaw();
        CSqliteStatement rows(raw_, sql);
        EXPECT_TRUE(rows.Valid()) << sql;
        rows.BindText(1, "%" + LikeLiteral(filter) + "%");
        Listing listing{{}, 0, 0, 0};
        int n = 0;
        while (rows.Step()) {
            listing.online += rows.ColumnInt(DeviceColumn("ap_status")) != 0 ? 1 : 0;
            if ((page - 1) * pageSize <= n && n < page * pageSize) {
                listing.devices.push_back(DeviceFromRow(rows));
            }
            ++n;
        }
        listing.pages = n / pageSize + (n % pageSize != 0 ? 1 : 0);
        listing.total = n;
        return listing;
    }

    Listing Query(SortKey key, const std::string& filter, bool ascending, int pageSize, int page) {
        Listing listing{{}, 0, 0};
        EXPECT_TRUE(Store().QueryDevicePage(key, filter, ascending, pageSize, page, listing.devices,
                                            listing.pages, listing.online));
        return listing;
    }

    void OpenRaw() {
        if (raw_ == nullptr) {
            sqlite3_open_v2(Store().GetDatabasePath().c_str(), &raw_, SQLITE_OPEN_READONLY, nullptr);
        }
    }

    static std::string LikeLiteral(const std::string& text) {
        std::string escaped;
        for (const char c : text) {
            escaped += (c == '%' || c == '_' || c == '\\') ? std::string("\\") + c : std::string(1, c);
        }
        return escaped;
    }

    // A filter cut out of some stored text, with its case turned here and there, or made up.
    std::string RandomFilter(Random& random) {
        if (random.Below(3) == 0) {
            return random.Text(3);
        }
        OpenRaw();
        const std::string column =
            kSearchedColumns[static_cast<size_t>(random.Below(static_cast<int>(kSearchedColumns.size())))];
        CSqliteStatement row(raw_, "SELECT " + column + " FROM ap_info ORDER BY ID LIMIT 1 OFFSET " +
                                       std::to_string(random.Below(1000)));
        std::string text = row.Step() ? row.ColumnText(0) : std::string();
        if (text.empty()) {
            return random.Text(2);
        }
        const size_t from = static_cast<size_t>(random.Below(static_cast<int>(text.size())));
        std::string filter = text.substr(from, static_cast<size_t>(1 + random.Below(5)));
        for (char& c : filter) {
            if (random.Below(2) == 0 && std::isalpha(static_cast<unsigned char>(c))) {
                c = static_cast<char>(c ^ 0x20);
            }
        }
        return filter;
    }

    // One random query compared with the plain statement, counting those that matched anything and those
    // that matched more devices than are read by their IDs.
    void ExpectSameAsReference(Random& random, int& matched, int& broad) {
        const std::string filter = RandomFilter(random);
        const auto key = static_cast<SortKey>(random.Below(13));
        const bool ascending = random.Below(2) == 0;
        const int pageSize = 1 + random.Below(25);
        const int page = 1 + random.Below(3);
        const Listing expected = Reference(key, filter, ascending, pageSize, page);
        const Listing got = Query(key, filter, ascending, pageSize, page);
        SCOPED_TRACE("filter \"" + filter + "\" key " + std::to_string(static_cast<int>(key)) + " page " +
                     std::to_string(page) + " of " + std::to_string(pageSize));
        EXPECT_EQ(got.pages, expected.pages);
        EXPECT_EQ(got.online, expected.online);
        ASSERT_EQ(got.devices.size(), expected.devices.size());
        for (size_t i = 0; i < got.devices.size(); ++i) {
            EXPECT_EQ(got.devices[i].mac(), expected.devices[i].mac()) << "row " << i;
            EXPECT_TRUE(got.devices[i] == expected.devices[i]) << "row " << i;
        }
        matched += expected.pages > 0 ? 1 : 0;
        broad += expected.total > 1000 ? 1 : 0;
    }

    // A write of a random kind between searches: the store's own, a statement of its own (one that moves a
    // row to a new ID among them), one rolled back, and one made through another connection to the file.
    void RandomWrite(Random& random, int round) {
        const int n = random.Below(1400);
        switch (round % 8) {
        case 0:
            ASSERT_TRUE(Store().SaveDeviceInfo(RandomDevice(random, n)));
            break;
        case 1:
            Store().SetDeviceStatus(MacFor(n), static_cast<DeviceStatus>(random.Below(10)));
            break;
        case 2:
            Store().DeleteDevice(MacFor(n));
            break;
        case 3:
            Store().UpdateUptime("10.1.2.3", MacFor(n), static_cast<uint32_t>(random.Below(900000)));
            break;
        case 4:
            ASSERT_TRUE(
                Store().Execute("UPDATE ap_info SET ID=ID+100000 WHERE ID=(SELECT max(ID) FROM ap_info)"));
            break;
        case 5:
            Store().Execute(
                "BEGIN;UPDATE ap_info SET ap_name='gone',ap_status=0;DELETE FROM ap_info WHERE ID%2=0;"
                "ROLLBACK");
            break;
        case 6:
            WriteThroughAnotherConnection(
                "UPDATE ap_info SET ssid='Elsewhere',ap_status=1-ap_status WHERE ID%7=" +
                std::to_string(random.Below(7)));
            break;
        default:
            ASSERT_TRUE(Store().Execute("UPDATE ap_info SET version='AB%_'||ID WHERE ID%5=" +
                                        std::to_string(random.Below(5))));
            break;
        }
    }

    void WriteThroughAnotherConnection(const std::string& statement) {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open_v2(Store().GetDatabasePath().c_str(), &other, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        // The file's triggers call no function of the store's, so they run here as they are.
        EXPECT_EQ(sqlite3_exec(other, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(other);
        sqlite3_close(other);
    }
};

TEST_F(DeviceListIndexTest, RandomFiltersGiveTheRowsOrderAndCountsOfThePlainStatement) {
    Random random(17);
    FillAndChange(random);
    ASSERT_FALSE(HasFailure());
    int matched = 0;
    int broad = 0;
    for (int round = 0; round < 300; ++round) {
        ExpectSameAsReference(random, matched, broad);
    }
    EXPECT_GT(matched, 150) << "too few filters matched anything to compare";
    EXPECT_GT(broad, 20) << "too few filters matched more devices than are read by their IDs";
}

// The texts searched are held in memory between searches: every kind of write in between must show in the
// next search as it shows in the file.
TEST_F(DeviceListIndexTest, SearchesBetweenWritesOfEveryKindSeeTheFileAsItIsNow) {
    Random random(23);
    FillAndChange(random);
    ASSERT_FALSE(HasFailure());
    int matched = 0;
    int broad = 0;
    for (int round = 0; round < 160; ++round) {
        RandomWrite(random, round);
        ASSERT_FALSE(HasFailure()) << "write of round " << round;
        for (int query = 0; query < 3; ++query) {
            ExpectSameAsReference(random, matched, broad);
        }
        ASSERT_FALSE(HasFailure()) << "after the write of round " << round;
    }
    EXPECT_GT(matched, 200);
    EXPECT_GT(broad, 20);
}

// ap_list follows the device rows through deletion and a full rewrite, row for row.
TEST_F(DeviceListIndexTest, TheListTableHoldsOneRowPerDeviceWithItsCurrentTexts) {
    Random random(5);
    FillAndChange(random);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_list"), Raw("SELECT count(*) FROM ap_info"));
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_list JOIN ap_info USING(ID) WHERE ap_list.ap_status IS "
                  "ap_info.ap_status AND ap_list.ip_key IS " +
                  IpKeySql("ap_info.ip_num") +
                  " AND ap_list.ap_name IS ap_info.ap_name "
                  "AND instr(ap_list.list_text, ap_info.up_time_str) > 0"),
              Raw("SELECT count(*) FROM ap_info"));
    ASSERT_TRUE(Store().Execute("DELETE FROM ap_info"));
    EXPECT_EQ(Raw("SELECT count(*) FROM ap_list"), "0");
}

} // namespace
} // namespace rf::test
