#include "StoreFixture.h"

#include <set>

namespace rf::test {
namespace {

struct PageResult {
    bool ok = false;
    std::vector<ap_info_stu> devices;
    int pages = -1;
    int online = -1;
};

PageResult Query(CSqlManagement& store, SortKey key, const std::string& filter, int pageSize, int page,
                 bool ascending = true) {
    PageResult r;
    r.ok = store.QueryDevicePage(key, filter, ascending, pageSize, page, r.devices, r.pages, r.online);
    return r;
}

TEST_F(StoreTest, ThirtyOneMatchesInPagesOfFifteenGiveThreePagesAndOnlineCountsThemAll) {
    for (int i = 0; i < 31; ++i) {
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(i), "10.0.0." + std::to_string(i + 1), "roof")));
    }
    for (int i = 31; i < 36; ++i) {
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(i), "172.16.0." + std::to_string(i), "mast")));
    }
    for (int i : {3, 17, 29, 33}) { // three of the matching devices and one other go quiet
        ASSERT_TRUE(Store().SetDeviceStatus(MacFor(i), DeviceStatus::Outline));
    }

    std::set<std::string> seen;
    for (int page = 1; page <= 3; ++page) {
        const auto r = Query(Store(), SortKey::IpAddress, "ROOF", 15, page);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.pages, 3);
        EXPECT_EQ(r.online, 28);
        EXPECT_EQ(r.devices.size(), page < 3 ? 15u : 1u);
        for (const auto& d : r.devices) {
            EXPECT_EQ(d.device_info().ap_name(), "roof");
            EXPECT_TRUE(seen.insert(d.mac()).second) << d.mac() << " on two pages";
        }
    }
    EXPECT_EQ(seen.size(), 31u);

    const auto beyond = Query(Store(), SortKey::IpAddress, "roof", 15, 4);
    EXPECT_TRUE(beyond.ok);
    EXPECT_TRUE(beyond.devices.empty());
    EXPECT_EQ(beyond.pages, 3);

    const auto all = Query(Store(), SortKey::Mac, "", 36, 1);
    EXPECT_EQ(all.pages, 1);
    EXPECT_EQ(all.online, 32);
    EXPECT_EQ(all.devices.size(), 36u);
}

TEST_F(StoreTest, NoMatchingRowsGiveNoPagesAndSucceed) {
    auto empty = Query(Store(), SortKey::IpAddress, "", 15, 1);
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.pages, 0);
    EXPECT_EQ(empty.online, 0);
    EXPECT_TRUE(empty.devices.empty());

    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(1), "10.0.0.1")));
    const auto none = Query(Store(), SortKey::IpAddress, "nothing like this", 15, 1);
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.pages, 0);
    EXPECT_EQ(none.online, 0);
    EXPECT_TRUE(none.devices.empty());
}

TEST_F(StoreTest, UnknownSortKeysAndEmptyPagesFailWithoutTouchingTheOutputs) {
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(1), "10.0.0.1")));
    const SortKey noKey = static_cast<SortKey>(13); // a value past the last key, as a bad cast would give
    for (const auto& [key, size] : {std::pair{noKey, 15}, std::pair{static_cast<SortKey>(-1), 15},
                                    std::pair{SortKey::IpAddress, 0}, std::pair{SortKey::IpAddress, -3}}) {
        std::vector<ap_info_stu> devices;
        int pages = 42;
        int online = 43;
        EXPECT_FALSE(Store().QueryDevicePage(key, "", true, size, 1, devices, pages, online))
            << static_cast<int>(key) << "/" << size;
        EXPECT_TRUE(devices.empty());
        EXPECT_EQ(pages, 42);
        EXPECT_EQ(online, 43);
    }
    EXPECT_EQ(CSqlManagement::GetDeviceSortColumn(SortKey::Mac), "ap_info.mac");
    EXPECT_EQ(CSqlManagement::GetDeviceSortColumn(SortKey::Status), "ap_info.ap_status");
    EXPECT_EQ(CSqlManagement::GetDeviceSortColumn(noKey), "");
    EXPECT_EQ(CSqlManagement::GetScanSortColumn(4), "signal");
    EXPECT_EQ(CSqlManagement::GetScanSortColumn(5), "");
}

// Each key orders the list by a column of its own. The second device is stored first, so that where the
// key's column did not decide, the order of storing would show.
TEST_F(StoreTest, EverySortKeyOrdersByAColumnOfItsOwn) {
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(2), "10.0.0.2", "same")));
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(1), "10.0.0.1", "same")));
    const std::vector<std::string> firstThenSecond{MacFor(1), MacFor(2)};
    const std::vector<std::string> secondThenFirst{MacFor(2), MacFor(1)};
    std::set<std::string> columns;
    for (int k = static_cast<int>(SortKey::Mac); k <= static_cast<int>(SortKey::Status); ++k) {
        const auto key = static_cast<SortKey>(k);
        const std::string column = CSqlManagement::GetDeviceSortColumn(key);
        ASSERT_NE(column.find("ap_info."), std::string::npos) << k;
        EXPECT_TRUE(columns.insert(column).second) << column << " for two keys";
        // The address sorts by a number made from ip_num.
        const std::string bare = key == SortKey::IpAddress ? "ip_num" : column.substr(column.find('.') + 1);
        const auto set = [&](const std::string& mac, const std::string& value) {
            return Store().Execute("UPDATE ap_info SET " + bare + "=" + value + " WHERE mac='" + mac + "'");
        };
        if (key != SortKey::Mac) { // the MACs themselves already differ
            ASSERT_TRUE(set(MacFor(1), "1") && set(MacFor(2), "2")) << column;
        }
        EXPECT_EQ(PageMacs(key, "", true, 10, 1), firstThenSecond) << column;
        EXPECT_EQ(PageMacs(key, "", false, 10, 1), secondThenFirst) << column;
        if (key != SortKey::Mac) {
            ASSERT_TRUE(set(MacFor(1), "2")) << column; // a tie again before the next key
        }
    }
    EXPECT_EQ(columns.size(), 13u);
}

// Whole addresses, numerically, over several subnets: on every path a page takes (all rows, a filter, pages).
TEST_F(StoreTest, AddressesSortAsWholeNumbers) {
    const std::vector<std::string> stored{"10.99.1.2",    "10.98.3.1",   "10.99.1.1",
                                          "192.168.0.10", "192.168.0.2", "10.98.3.200"};
    for (size_t i = 0; i < stored.size(); ++i) {
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(static_cast<int>(i)), stored[i])));
    }
    const auto ips = [&](const std::string& filter, bool ascending, int pageSize, int pages) {
        std::vector<std::string> texts;
        for (int page = 1; page <= pages; ++page) {
            for (const auto& d :
                 Query(Store(), SortKey::IpAddress, filter, pageSize, page, ascending).devices) {
                texts.push_back(IpBytesToText(d.device_info().ip()));
            }
        }
        return texts;
    };
    const std::vector<std::string> ascending{"10.98.3.1", "10.98.3.200", "10.99.1.1",
                                             "10.99.1.2", "192.168.0.2", "192.168.0.10"};
    EXPECT_EQ(ips("", true, 10, 1), ascending);
    EXPECT_EQ(ips("", true, 2, 3), ascending);
    EXPECT_EQ(ips("", false, 10, 1), std::vector<std::string>(ascending.rbegin(), ascending.rend()));
    EXPECT_EQ(ips("10.9", true, 10, 1), std::vector<std::string>(ascending.begin(), ascending.begin() + 4));

    // 192.168.0.100: the number whose little-endian bytes are C0 A8 00 64.
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(100), "192.168.0.100")));
    EXPECT_EQ(std::stod(Raw("SELECT ip_num FROM ap_info WHERE ip='192.168.0.100'")),
              0xC0 + 0xA8 * 256.0 + 0x00 * 65536.0 + 0x64 * 16777216.0);
}

TEST_F(StoreTest, NamesSortIgnoringCaseAndTiesKeepPagesApart) {
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(i), "10.0.0.1", i % 2 ? "Bravo" : "alpha")));
    }
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(9), "10.0.0.1", "Charlie")));
    const auto byName = PageMacs(SortKey::Name, "", true, 10, 1);
    ASSERT_EQ(byName.size(), 7u);
    EXPECT_EQ(byName.back(), MacFor(9));
    const auto filtered = PageMacs(SortKey::Name, "A", false, 10, 1);
    ASSERT_EQ(filtered.size(), 7u);
    EXPECT_EQ(filtered.front(), MacFor(9));

    // Every device has the same address: pages of two must still split the seven without overlap.
    std::set<std::string> seen;
    for (int page = 1; page <= 4; ++page) {
        for (const auto& mac : PageMacs(SortKey::IpAddress, "", false, 2, page)) {
            EXPECT_TRUE(seen.insert(mac).second);
        }
    }
    EXPECT_EQ(seen.size(), 7u);
}

// Each of the searched columns, holding the text where the others do not.
TEST_F(StoreTest, AFilterLooksInEveryListedColumnAndNoOther) {
    const std::vector<std::string> searched(kSearchedColumns.begin(), kSearchedColumns.end());
    const std::vector<std::string> notSearched{"ip_mask",     "ip_gateway",       "ip_dns1", "ssid_mac",
                                               "bridge_ssid", "wpapsk_key_value", "wpa_key", "wpa_radius_ip"};
    int n = 0;
    std::map<std::string, std::string> macOf;
    for (const auto& column : searched) {
        const std::string mac = MacFor(++n);
        macOf[column] = mac;
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(mac, "10.0.0.1", "plain")));
        ASSERT_TRUE(
            Store().Execute("UPDATE ap_info SET " + column + "='at 192.168.7.7' WHERE mac='" + mac + "'"));
        if (column == "mac") {
            macOf[column] = "at 192.168.7.7";
        }
    }
    for (const auto& column : notSearched) {
        const std::string mac = MacFor(++n);
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(mac, "10.0.0.1", "plain")));
        ASSERT_TRUE(
            Store().Execute("UPDATE ap_info SET " + column + "='192.168.0.1' WHERE mac='" + mac + "'"));
    }
    const auto r = Query(Store(), SortKey::Mac, "192.168", 100, 1);
    ASSERT_TRUE(r.ok);
    std::set<std::string> found;
    for (const auto& d : r.devices) {
        found.insert(d.mac());
    }
    for (const auto& column : searched) {
        EXPECT_TRUE(found.contains(macOf[column])) << column << " is not searched";
    }
    EXPECT_EQ(found.size(), searched.size()) << "a column outside the list is searched";
}

TEST_F(StoreTest, AFilterFindsWhatTheListsShowIgnoringCase) {
    auto station = MakeDevice(MacFor(1), "10.0.0.1", "North");
    DeviceInfo info = station.device_info();
    info.set_work_mode(2);
    info.set_channel(149);
    info.set_up_time(3725);
    auto security = info.security();
    security.set_secure_mode(3);
    info.set_security(security);
    station.set_device_info(info);
    ASSERT_TRUE(Store().SaveDeviceInfo(station));
    auto other = MakeDevice(MacFor(2), "10.0.0.2", "South");
    other.set_ap_type(1);
    ASSERT_TRUE(Store().SaveDeviceInfo(other));

    for (const char* filter :
         {"STATION", "149", "wpa2_psk", "1:2:5", "north", "horsk", "02:00:00:00:00:01"}) {
        EXPECT_EQ(PageMacs(SortKey::IpAddress, filter, true, 10, 1), std::vector<std::string>{MacFor(1)})
            << filter;
    }
    EXPECT_EQ(PageMacs(SortKey::IpAddress, "online", true, 10, 1).size(), 2u);
    ASSERT_TRUE(Store().SetDeviceStatus(MacFor(2), DeviceStatus::UpgradeWait));
    EXPECT_EQ(PageMacs(SortKey::IpAddress, "upgrade W", true, 10, 1), std::vector<std::string>{MacFor(2)});
}

TEST_F(StoreTest, QuotesPercentAndUnderscoreInFiltersAndNamesMatchLiterally) {
    const std::vector<std::pair<std::string, std::string>> names{
        {"it's mine", MacFor(1)}, {"100% up", MacFor(2)}, {"100x up", MacFor(3)},
        {"a_b", MacFor(4)},       {"axb", MacFor(5)},     {"say \"hi\"", MacFor(6)}};
    for (const auto& [name, mac] : names) {
        ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(mac, "10.0.0.1", name)));
    }
    EXPECT_EQ(PageMacs(SortKey::Mac, "it's", true, 10, 1), std::vector<std::string>{MacFor(1)});
    EXPECT_EQ(PageMacs(SortKey::Mac, "100%", true, 10, 1), std::vector<std::string>{MacFor(2)});
    EXPECT_EQ(PageMacs(SortKey::Mac, "a_b", true, 10, 1), std::vector<std::string>{MacFor(4)});
    EXPECT_EQ(PageMacs(SortKey::Mac, "\"hi\"", true, 10, 1), std::vector<std::string>{MacFor(6)});
    EXPECT_TRUE(PageMacs(SortKey::Mac, "%", true, 10, 1) == std::vector<std::string>{MacFor(2)});
    EXPECT_TRUE(PageMacs(SortKey::Mac, "' OR 'a'='a", true, 10, 1).empty());
    EXPECT_TRUE(PageMacs(SortKey::Mac, "x') OR 1=1 --", true, 10, 1).empty());

    ap_info_stu device;
    ASSERT_TRUE(Store().GetDevice(MacFor(1), device));
    EXPECT_EQ(device.device_info().ap_name(), "it's mine");

    // A MAC text with a quote finds nothing and harms nothing.
    EXPECT_TRUE(Store().GetDevice("x' OR '1'='1", device));
    EXPECT_EQ(device.mac(), "");
    EXPECT_TRUE(Store().DeleteDevice("x' OR '1'='1"));
    EXPECT_EQ(PageMacs(SortKey::Mac, "", true, 10, 1).size(), names.size());
}

TEST_F(StoreTest, PagesAreAppendedToTheCallersList) {
    ASSERT_TRUE(Store().SaveDeviceInfo(MakeDevice(MacFor(1), "10.0.0.1")));
    std::vector<ap_info_stu> devices(2);
    int pages = 0;
    int online = 0;
    ASSERT_TRUE(Store().QueryDevicePage(SortKey::Mac, "", true, 10, 1, devices, pages, online));
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[2].mac(), MacFor(1));
}

} // namespace
} // namespace rf::test
