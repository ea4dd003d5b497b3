#include "pages/DeviceRows.h"
#include "operations/SearchCycle.h"
#include "operations/SelectedDevice.h"
#include "pages/DeviceListLayout.h"
#include "protocol/CodeTables.h"
#include "shell/PageIds.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

ap_info_stu Device(const std::string& mac, uint16_t model, const std::string& ip, const std::string& ssid) {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(ip));
    info.set_ap_name("Tower-3");
    info.set_version("V3.1.0\nbuild 2211");
    info.set_ssid(ssid);
    info.set_work_mode(1);
    info.set_channel(0);
    info.set_up_time(90061);
    info.set_tx_power(23);
    SecurityBlock security = info.security();
    security.set_secure_mode(2);
    info.set_security(security);
    return ApInfo::Make(mac, model, DeviceStatus::Online, info);
}

TEST(DeviceRows, SerialNumbersContinueAcrossPages) {
    EXPECT_EQ(SerialNumber(1, 30, 1), 1);
    EXPECT_EQ(SerialNumber(1, 30, 2), 31);
    EXPECT_EQ(SerialNumber(3, 15, 3), 33);

    std::vector<ap_info_stu> stored{Device("02:00:00:00:00:1f", 257, "10.0.0.31", "x")};
    std::vector<ap_info_stu> announced{Device("02:00:00:00:00:20", 2, "10.0.0.32", ""),
                                       Device("02:00:00:00:00:21", 2, "10.0.0.33", "")};
    const auto rows = BuildDeviceRows(stored, announced, 30, 2);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].texts[kFieldSerial], "31");
    EXPECT_EQ(rows[1].texts[kFieldSerial], "32");
    EXPECT_EQ(rows[2].texts[kFieldSerial], "33");
    EXPECT_FALSE(rows[0].announced);
    EXPECT_TRUE(rows[2].announced);
}

TEST(DeviceRows, ARowInAddressConflictNamesBothAddressesInItsTip) {
    std::vector<ap_info_stu> stored{Device("02:00:00:00:00:1f", 257, "10.0.0.31", "x"),
                                    Device("02:00:00:00:00:20", 257, "10.0.0.32", "x")};
    auto rows = BuildDeviceRows(stored, {}, 30, 1);
    std::vector<OnlineEntry> online(2);
    online[0].mac = "02:00:00:00:00:1f";
    online[0].claimIp = "10.0.0.77";
    online[1].ip = "10.0.0.32";
    online[1].mac = "02:00:00:00:00:20";
    online[1].claimIp = "10.0.0.99";
    online[1].conflict = true;
    AddConflictTips(rows, online);
    EXPECT_EQ(rows[0].tip, "") << "a claim still being probed is no conflict";
    EXPECT_EQ(rows[1].tip, "Address conflict: 10.0.0.32, 10.0.0.99");
}

TEST(DeviceRows, OnlyAShortLastPageHasRoomForAnnouncedDevices) {
    EXPECT_EQ(AnnouncedRoom(1, 30, 2, 2), 29);
    EXPECT_EQ(AnnouncedRoom(30, 30, 1, 2), 0) << "a full first page";
    EXPECT_EQ(AnnouncedRoom(10, 30, 1, 2), 0) << "not the last page";
    EXPECT_EQ(AnnouncedRoom(0, 15, 1, 0), 15) << "no stored device at all";
    EXPECT_EQ(AnnouncedRoom(30, 30, 1, 1), 0);
}

// The sort keys of every column of a page, in column order; none for columns that do not sort.
std::vector<std::optional<SortKey>> SortKeysOf(const DeviceListLayout& layout) {
    std::vector<std::optional<SortKey>> keys;
    for (int column = 0; column < static_cast<int>(layout.columns.size()); ++column) {
        keys.push_back(layout.SortKeyOf(column));
    }
    return keys;
}

TEST(DeviceListLayouts, EachPageSortsItsColumnsByTheirOwnFields) {
    using enum SortKey;
    constexpr std::nullopt_t none = std::nullopt;
    using Keys = std::vector<std::optional<SortKey>>;
    EXPECT_EQ(SortKeysOf(DeviceListLayoutOf(kPageStatus)),
              (Keys{none, none, Name, Model, IpAddress, Mac, WorkMode, Ssid, Channel, Version,
                    TransparentBridge, UpTime, none}));
    EXPECT_EQ(SortKeysOf(DeviceListLayoutOf(kPageManagement)),
              (Keys{none, Name, Model, IpAddress, Mac, WorkMode, Ssid, Channel, SecureMode, TxPower, none}));
    EXPECT_EQ(SortKeysOf(DeviceListLayoutOf(kPageBridge)),
              (Keys{none, Name, Model, IpAddress, Mac, WorkMode, Ssid, Channel, SecureMode, Status, none}));
    EXPECT_EQ(
        SortKeysOf(DeviceListLayoutOf(kPageRestore)),
        (Keys{none, none, Name, Model, IpAddress, Mac, WorkMode, Ssid, Channel, SecureMode, TxPower, none}));
    EXPECT_EQ(SortKeysOf(DeviceListLayoutOf(kPageUpgrade)),
              (Keys{none, none, Name, Model, IpAddress, Mac, WorkMode, Ssid, Version, none}));
    EXPECT_EQ(DeviceListLayoutOf(kPageStatus).SortKeyOf(13), none) << "past the last column";
    EXPECT_EQ(DeviceListLayoutOf(kPageStatus).SortKeyOf(-1), none);
}

TEST(DeviceListLayouts, FieldsAndColumnsMapBothWays) {
    const DeviceListLayout& reboot = DeviceListLayoutOf(kPageReboot);
    EXPECT_EQ(reboot.ColumnOf(kFieldStatus), 10);
    EXPECT_EQ(reboot.ColumnOf(kFieldOperate), -1) << "no button on a maintenance page";
    EXPECT_EQ(reboot.FieldAt(0), kFieldTick);
    EXPECT_EQ(reboot.FieldAt(11), kDeviceFieldCount);
    const DeviceListLayout& management = DeviceListLayoutOf(kPageManagement);
    EXPECT_EQ(management.ColumnOf(kFieldTick), -1) << "one device at a time";
    EXPECT_EQ(management.FieldAt(10), kFieldOperate);
    EXPECT_TRUE(management.IsFixedWidth(0));
    EXPECT_FALSE(management.IsFixedWidth(1));
    for (const int page :
         {kPageStatus, kPageManagement, kPageBridge, kPageReboot, kPageUpgrade, kPageRestore}) {
        EXPECT_GE(DeviceListLayoutOf(page).ColumnOf(kFieldIp), 0) << page << " sorts by IP at first";
        EXPECT_EQ(DeviceListLayoutOf(page).listsAnnounced, page == kPageStatus) << page;
    }
}

TEST(DeviceRows, StoredRowsShowEveryColumnAndAnnouncedOnesOnlyWhatTheyReported) {
    const DeviceRow stored = BuildStoredRow(Device("02:00:00:00:00:01", 257, "10.99.1.1", "Field"), 7);
    EXPECT_EQ(stored.texts[kFieldSerial], "7");
    EXPECT_EQ(stored.texts[kFieldLocation], "Tower-3");
    EXPECT_EQ(stored.texts[kFieldType], ModelText(257));
    EXPECT_EQ(stored.texts[kFieldIp], "10.99.1.1");
    EXPECT_EQ(stored.texts[kFieldMac], "02:00:00:00:00:01");
    EXPECT_EQ(stored.texts[kFieldSsid], "Field");
    EXPECT_EQ(stored.texts[kFieldChannel], ChannelText(0));
    EXPECT_EQ(stored.texts[kFieldVersion], "V3.1.0 build 2211") << "one line";
    EXPECT_EQ(stored.texts[kFieldTime], UptimeDisplayText(90061));
    EXPECT_EQ(stored.texts[kFieldBridge], TransparentBridgeText(257, 1, 0));
    EXPECT_EQ(stored.texts[kFieldPower], "23");
    EXPECT_EQ(stored.texts[kFieldSecureMode], SecureModeText(2));
    EXPECT_EQ(stored.texts[kFieldStatus], StatusText(DeviceStatus::Online));
    EXPECT_TRUE(stored.texts[kFieldOperate].empty());
    EXPECT_EQ(stored.status, ToCode(DeviceStatus::Online));

    const DeviceRow bare = BuildAnnouncedRow(Device("02:00:00:00:00:02", 4, "10.99.1.2", ""), 8);
    EXPECT_EQ(bare.status, ToCode(DeviceStatus::Announced));
    EXPECT_EQ(bare.texts[kFieldIp], "10.99.1.2");
    EXPECT_EQ(bare.texts[kFieldVersion], "V3.1.0 build 2211");
    for (int column : {kFieldLocation, kFieldMode, kFieldSsid, kFieldChannel, kFieldBridge, kFieldTime}) {
        EXPECT_TRUE(bare.texts[static_cast<size_t>(column)].empty()) << column;
    }
    const DeviceRow withSsid = BuildAnnouncedRow(Device("02:00:00:00:00:03", 4, "10.99.1.3", "Yard"), 9);
    EXPECT_EQ(withSsid.texts[kFieldSsid], "Yard");
    EXPECT_EQ(withSsid.texts[kFieldLocation], "Tower-3");
}

TEST(SelectedDeviceRecord, KeepsItsTextsTerminatedWithinTheirFields) {
    const SelectedDevice d = SelectedDevice::Make("10.99.1.1", "02:00:00:00:00:01", 4);
    EXPECT_EQ(d.Ip(), "10.99.1.1");
    EXPECT_EQ(d.Mac(), "02:00:00:00:00:01");
    EXPECT_EQ(d.model, 4);
    const SelectedDevice cut = SelectedDevice::Make("255.255.255.255.255", std::string(40, 'a'), 1);
    EXPECT_EQ(cut.Ip().size(), 15u);
    EXPECT_EQ(cut.Mac().size(), 19u);
}

// The milliseconds into a cycle at which it searched and reloaded, and when it finished; heard(ms) is what
// the engine has heard at that time.
struct CycleRun {
    std::vector<int> searches;
    std::vector<int> reloads;
    int finishedAt = 0;
};
template <typename Heard> CycleRun RunCycle(Heard heard) {
    SearchCycle cycle;
    CycleRun run;
    cycle.Begin(heard(0));
    for (int ms = SearchCycle::kTickMs; ms <= 40000 && run.finishedAt == 0; ms += SearchCycle::kTickMs) {
        const auto step = cycle.Tick(heard(ms));
        if (step.search) {
            run.searches.push_back(ms);
        }
        if (step.reload) {
            run.reloads.push_back(ms);
        }
        if (step.finished) {
            EXPECT_FALSE(step.search || step.reload);
            EXPECT_FALSE(cycle.Running());
            run.finishedAt = ms;
        }
    }
    return run;
}

std::vector<int> WithEveryThreeSeconds(std::vector<int> early) {
    for (int ms = 3000; ms < 30000; ms += 3000) {
        early.push_back(ms);
    }
    return early;
}

TEST(SearchCycleSchedule, SearchesEarlyWhileNewDevicesAnswerThenEveryThreeSecondsForThirty) {
    const CycleRun trickling = RunCycle([](int ms) { return SearchCycle::Heard{3 + ms / 100, ms}; });
    EXPECT_EQ(trickling.searches, WithEveryThreeSeconds({500, 1000, 1500, 2000}));
    EXPECT_EQ(trickling.reloads, WithEveryThreeSeconds({})) << "the list refreshes as before";
    EXPECT_EQ(trickling.finishedAt, 30000);

    // 900 devices answer every search.
    const CycleRun allAtOnce = RunCycle([](int ms) {
        return ms == 0 ? SearchCycle::Heard{} : SearchCycle::Heard{900, ms <= 500 ? 900 : 1800};
    });
    EXPECT_EQ(allAtOnce.searches, WithEveryThreeSeconds({500})) << "all answered the second, none new";

    // 1,000 devices, a tenth of whose answers are lost.
    const CycleRun lossy = RunCycle([](int ms) {
        return SearchCycle::Heard{ms == 0 ? 0 : 1000, ms / 500 * 900};
    });
    EXPECT_EQ(lossy.searches, WithEveryThreeSeconds({500, 1000, 1500, 2000}));

    // The search at 0.5 s is lost: nobody answers it, so it is made up at 1 s; the one at 1.5 s brings new
    // devices, and every known device answers the one at 2 s.
    const CycleRun lostSearch = RunCycle([](int ms) {
        if (ms == 0) {
            return SearchCycle::Heard{};
        }
        return ms < 1500 ? SearchCycle::Heard{800, 800}
                         : (ms < 2000 ? SearchCycle::Heard{950, 1750} : SearchCycle::Heard{950, 2700});
    });
    EXPECT_EQ(lostSearch.searches, WithEveryThreeSeconds({500, 1000, 1500}));

    const CycleRun silent = RunCycle([](int) { return SearchCycle::Heard{}; });
    EXPECT_EQ(silent.searches, WithEveryThreeSeconds({500, 1000, 1500, 2000}));

    SearchCycle cycle;
    EXPECT_FALSE(cycle.Tick({}).search) << "idle";
    cycle.Begin({});
    cycle.Tick({});
    cycle.End();
    EXPECT_FALSE(cycle.Tick({}).search || cycle.Tick({}).finished) << "a stopped cycle stays quiet";
}

TEST(ColumnSpread, SpareRoomGoesToTheGrowingColumnsInProportionAndNothingIsTakenAway) {
    const std::vector<int> widths{20, 40, 90, 60};
    const std::vector<bool> grows{false, false, true, true};
    EXPECT_EQ(SpreadColumnWidths(widths, grows, 210), widths) << "exactly enough room";
    EXPECT_EQ(SpreadColumnWidths(widths, grows, 150), widths) << "too little room: the grid scrolls";
    const auto wide = SpreadColumnWidths(widths, grows, 510);
    EXPECT_EQ(wide, (std::vector<int>{20, 40, 270, 180}));
    const auto odd = SpreadColumnWidths(widths, grows, 211);
    EXPECT_EQ(odd[0] + odd[1] + odd[2] + odd[3], 211) << "rounding loses no pixel";
    EXPECT_EQ(SpreadColumnWidths(widths, {false, false, false, false}, 900), widths);
}

} // namespace
} // namespace rf
