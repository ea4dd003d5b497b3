// The engine on real sockets against simulated radios in a lab of network namespaces.
#include "EngineInLab.h"

#include "protocol/DeviceNameBlock.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace rf::test {
namespace {

using namespace std::chrono_literals;

std::map<std::string, ap_info_stu> ByMac(const std::vector<ap_info_stu>& devices) {
    std::map<std::string, ap_info_stu> byMac;
    for (const auto& d : devices) {
        byMac[d.mac()] = d;
    }
    return byMac;
}

// Every radio of the simulator is stored once, with its true values, and nothing else is stored.
void ExpectExactly(EngineInLab& pc, const std::vector<SimRadio>& radios) {
    const auto stored = ByMac(pc.StoredDevices());
    EXPECT_EQ(stored.size(), radios.size());
    for (const SimRadio& radio : radios) {
        const auto found = stored.find(radio.mac);
        ASSERT_NE(found, stored.end()) << radio.mac << " was not found";
        EXPECT_EQ(found->second.ap_status(), kStatusOnline);
        ExpectStoredAsSimulated(found->second, radio);
    }
}

TEST(EngineLab, FindsFiftyRadiosOnTwoSubnetsThroughTwoAdapters) {
    Lab lab({.radios = 50, .subnets = 2, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 2);
    ASSERT_TRUE(pc.Start());
    ASSERT_TRUE(pc.DiscoveryCycle(50));
    const auto radios = SimRadios(lab);
    ASSERT_EQ(radios.size(), 50u);
    ExpectExactly(pc, radios);
    for (const auto& entry : pc.Engine().OnlineList()) {
        EXPECT_EQ(entry.state, OnlineEntry::Detailed) << entry.mac;
    }
    std::set<std::string> subnets;
    for (const auto& radio : radios) {
        subnets.insert(radio.ip.substr(0, radio.ip.find('.', 3)));
    }
    EXPECT_EQ(subnets.size(), 2u) << "the radios were not spread over both subnets";
}

// The one long test: heartbeats keep quiet radios through several ageing passes, and a radio that falls
// silent leaves the online list and the store 30 to 40 seconds after its last report.
TEST(EngineLab, HeartbeatsKeepRadiosAndASilentOneAgesOut) {
    Lab lab({.radios = 8, .subnets = 1, .simArgs = {"--heartbeat-ms", "1000"}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start());
    ASSERT_TRUE(pc.DiscoveryCycle(8));
    const std::string silent = SimRadios(lab)[3].mac;
    ASSERT_EQ(lab.Control("mute " + silent + " 1"), "ok\n");
    const auto muted = std::chrono::steady_clock::now();

    const auto gone = [&] {
        ap_info_stu device;
        pc.Store().GetDevice(silent, device);
        return device.mac() != silent;
    };
    ASSERT_TRUE(WaitFor(gone, 45s));
    const auto after =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - muted);
    EXPECT_GE(after.count(), 28);
    EXPECT_LE(after.count(), 41);

    const auto online = pc.Engine().OnlineList();
    EXPECT_EQ(online.size(), 7u);
    for (const auto& entry : online) {
        EXPECT_NE(entry.mac, silent);
        EXPECT_GE(entry.ttl, OnlineEntry::kFreshTtl - 1)
            << entry.mac << " was not kept fresh by its heartbeats";
    }
    EXPECT_EQ(pc.StoredWithStatus(kStatusOnline), 7);
}

TEST(EngineLab, RebootAndResetSetTheirStatusesAndAFailureLeavesItAlone) {
    Lab lab({.radios = 6, .subnets = 1, .simArgs = {"--fail", "2"}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    // Resends come on the worker's own rhythm, so a request sent just before a pass may go out twice
    // before its reply is in; a long interval keeps it at that.
    ASSERT_TRUE(pc.Start(3, 3000));
    ASSERT_TRUE(pc.DiscoveryCycle(6));
    const auto radios = SimRadios(lab);

    ASSERT_TRUE(pc.SendAndSettle(radios[0].ip, MessageType::Reboot, {}, radios[0].mac));
    ASSERT_TRUE(pc.SendAndSettle(radios[1].ip, MessageType::Restore, {}, radios[1].mac));
    ASSERT_TRUE(pc.SendAndSettle(radios[2].ip, MessageType::Reboot, {}, radios[2].mac));
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[0].mac), kStatusRestarting);
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[1].mac), kStatusReseting);
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[2].mac), kStatusOnline);

    const auto now = SimRadios(lab);
    EXPECT_EQ(JsonValue(lab.Radios()[0], "reboots"), "1");
    EXPECT_EQ(JsonValue(lab.Radios()[1], "restores"), "1");
    EXPECT_EQ(JsonValue(lab.Radios()[2], "reboots"), "0");
    EXPECT_LE(now[2].Received(static_cast<int>(MessageType::Reboot)), 2) << "resent after its answer came";
}

TEST(EngineLab, TwentyPercentLossBothWaysStillFindsEveryRadioAndCommandsLand) {
    Lab lab({.radios = 30, .subnets = 1, .simArgs = {"--loss-in", "20", "--loss-out", "20"}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start(6, 500));
    ASSERT_TRUE(pc.DiscoveryCycle(30));
    const auto radios = SimRadios(lab);
    ExpectExactly(pc, radios);

    for (size_t i = 0; i < 10; ++i) {
        const auto block = DeviceNameBlock::FromLocalName("lossy-" + std::to_string(i));
        ASSERT_TRUE(pc.Engine().SendCommand(radios[i].ip, static_cast<int>(MessageType::SetName),
                                            block.bytes(), radios[i].mac, true));
    }
    ASSERT_TRUE(WaitFor([&] { return pc.Engine().PendingRequests().empty(); }, 15s));
    const auto after = SimRadios(lab);
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(after[i].name, "lossy-" + std::to_string(i)) << after[i].mac;
    }
}

TEST(EngineLab, ScanResultsAreStoredAndTheLastPacketCompletesTheScan) {
    Lab lab({.radios = 40, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start());
    ASSERT_TRUE(pc.DiscoveryCycle(40));
    const auto radios = SimRadios(lab);
    const SimRadio& scanner = radios[1];

    pc.Engine().scanComplete = true;
    ASSERT_TRUE(
        pc.Engine().SendCommand(scanner.ip, static_cast<int>(MessageType::ScanAps), {}, scanner.mac, true));
    EXPECT_FALSE(pc.Engine().scanComplete) << "sending a scan request clears the flag";
    ASSERT_TRUE(WaitFor([&] { return pc.Engine().scanComplete.load(); }, 5s));
    for (const auto& pending : pc.Engine().PendingRequests()) {
        EXPECT_NE(pending.type, static_cast<int>(MessageType::ScanAps)) << "scan requests are never resent";
    }

    int accessPoints = 0;
    for (const SimRadio& radio : radios) {
        if (radio.mac != scanner.mac && radio.workMode == 1) {
            ++accessPoints;
            ScannedApRecord ap;
            EXPECT_TRUE(pc.Store().GetScannedAp(radio.ssidMac, ap)) << radio.ssidMac;
            EXPECT_EQ(ap.ssid(), radio.ssid);
        }
    }
    EXPECT_GT(accessPoints, 0);
}

TEST(EngineLab, HostileDatagramsCrashNothingCorruptNoRowAndHideNoRadio) {
    Lab lab({.radios = 20, .subnets = 1, .simArgs = {"--hostile"}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start(3, 500));
    const auto radios = SimRadios(lab);
    const auto allStored = [&] {
        const auto rows = ByMac(pc.StoredDevices());
        return std::all_of(radios.begin(), radios.end(),
                           [&](const SimRadio& r) { return rows.contains(r.mac); });
    };
    for (int search = 0; search < 10 && !allStored(); ++search) {
        pc.Search();
        WaitFor(allStored, 3s);
    }
    const auto stored = ByMac(pc.StoredDevices());
    for (const SimRadio& radio : radios) {
        const auto found = stored.find(radio.mac);
        ASSERT_NE(found, stored.end()) << radio.mac << " was hidden";
        ExpectStoredAsSimulated(found->second, radio);
    }
    for (const auto& [mac, device] : stored) {
        const bool honest = std::any_of(radios.begin(), radios.end(), [&](auto& r) { return r.mac == mac; });
        EXPECT_TRUE(honest || mac.rfind("02:66:66:", 0) == 0) << "a row for " << mac;
    }
    EXPECT_NE(JsonValue(lab.Control("stats"), "hostile"), "0") << "the simulator sent no hostile datagram";
    ASSERT_TRUE(pc.SendAndSettle(radios[0].ip, MessageType::Reboot, {}, radios[0].mac));
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[0].mac), kStatusRestarting) << "the engine stopped working";
}

TEST(EngineLab, StopSendsOneLeaveToEveryOnlineRadio) {
    Lab lab({.radios = 12, .subnets = 1, .simArgs = {}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start());
    ASSERT_TRUE(pc.DiscoveryCycle(12));
    ASSERT_EQ(pc.Engine().OnlineList().size(), 12u);
    pc.Engine().Stop();
    const auto leaves = [&] {
        int n = 0;
        for (const auto& radio : SimRadios(lab)) {
            n += radio.Received(static_cast<int>(MessageType::Leave));
        }
        return n;
    };
    EXPECT_TRUE(WaitFor([&] { return leaves() >= 12; }, 3s));
    std::this_thread::sleep_for(300ms);
    for (const auto& radio : SimRadios(lab)) {
        EXPECT_EQ(radio.Received(static_cast<int>(MessageType::Leave)), 1) << radio.mac;
    }
}

} // namespace
} // namespace rf::test
