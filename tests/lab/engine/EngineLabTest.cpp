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
        EXPECT_EQ(found->second.ap_status(), ToCode(DeviceStatus::Online));
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

// The online entry of a radio, empty when it is not in the list.
std::optional<OnlineEntry> EntryOf(CNetManagement& engine, const std::string& mac) {
    for (const auto& entry : engine.OnlineList()) {
        if (entry.mac == mac) {
            return entry;
        }
    }
    return std::nullopt;
}

// Heartbeats keep quiet radios through ageing passes, and a radio that falls silent leaves the online list
// and the store on the fourth pass after its last report (30 to 40 seconds). The engine's clock moves only
// when the test moves it, so the count of passes does not depend on the machine's speed.
TEST(EngineLab, HeartbeatsKeepRadiosAndASilentOneAgesOutOnTheFourthPass) {
    Lab lab({.radios = 8, .subnets = 1, .simArgs = {"--heartbeat-ms", "1000"}});
    SKIP_WITHOUT_LAB(lab);
    auto clock = std::make_shared<ManualEngineClock>();
    EngineInLab pc(lab, 1, clock);
    ASSERT_TRUE(pc.Start());
    ASSERT_TRUE(pc.DiscoveryCycle(8));
    ASSERT_TRUE(clock->WaitForWaiters(2));
    const auto radios = SimRadios(lab);
    const std::string silent = radios[3].mac;
    const std::string witness = radios[0].mac;
    ASSERT_EQ(lab.Control("mute " + silent + " 1"), "ok\n");
    // Heartbeats arrive in the order the simulator sent them: once the witness has reported twice more,
    // the silent radio's last heartbeat has been handled.
    const auto upTime = [&](const std::string& mac) {
        return EntryOf(pc.Engine(), mac).value_or(OnlineEntry{}).up_time;
    };
    const auto before = upTime(witness);
    ASSERT_TRUE(WaitFor([&] { return upTime(witness) >= before + 2; }));
    const auto othersFresh = [&] {
        for (const auto& radio : radios) {
            const auto entry = EntryOf(pc.Engine(), radio.mac);
            if (radio.mac != silent && (!entry || entry->ttl != OnlineEntry::kFreshTtl)) {
                return false;
            }
        }
        return true;
    };

    for (int pass = 1; pass <= 3; ++pass) {
        clock->Advance(CNetManagement::kAgeingPeriod);
        ASSERT_TRUE(clock->WaitForWaiters(2));
        const auto entry = EntryOf(pc.Engine(), silent);
        ASSERT_TRUE(entry) << "gone after pass " << pass;
        EXPECT_EQ(entry->ttl, OnlineEntry::kFreshTtl - pass);
        ASSERT_TRUE(WaitFor(othersFresh)) << "the others were not kept fresh by their heartbeats";
    }
    clock->Advance(CNetManagement::kAgeingPeriod);
    ASSERT_TRUE(clock->WaitForWaiters(2));
    EXPECT_FALSE(EntryOf(pc.Engine(), silent));
    ap_info_stu device;
    pc.Store().GetDevice(silent, device);
    EXPECT_NE(device.mac(), silent) << "still stored";
    EXPECT_EQ(pc.Engine().OnlineList().size(), 7u);
    EXPECT_EQ(pc.StoredWithStatus(DeviceStatus::Online), 7);
}

TEST(EngineLab, RebootAndResetSetTheirStatusesAndAFailureLeavesItAlone) {
    Lab lab({.radios = 6, .subnets = 1, .simArgs = {"--fail", "2"}});
    SKIP_WITHOUT_LAB(lab);
    // The clock stands still, so nothing is resent: each radio hears each command once, answered or not.
    EngineInLab pc(lab, 1, std::make_shared<ManualEngineClock>());
    ASSERT_TRUE(pc.Start(3, 500));
    ASSERT_TRUE(pc.DiscoveryCycle(6));
    const auto radios = SimRadios(lab);

    const auto reboot = pc.SendAndSettle(radios[0].ip, MessageType::Reboot, {}, radios[0].mac);
    const auto restore = pc.SendAndSettle(radios[1].ip, MessageType::Restore, {}, radios[1].mac);
    const auto failed = pc.SendAndSettle(radios[2].ip, MessageType::Reboot, {}, radios[2].mac);
    ASSERT_TRUE(reboot && restore && failed);
    EXPECT_EQ(reboot->how, RequestEnd::How::Answered);
    EXPECT_EQ(reboot->result, 0);
    EXPECT_EQ(restore->result, 0);
    EXPECT_EQ(failed->how, RequestEnd::How::Answered);
    EXPECT_NE(failed->result, 0) << "the failing radio's result reaches the sender";
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[0].mac), DeviceStatus::Restarting);
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[1].mac), DeviceStatus::Resetting);
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[2].mac), DeviceStatus::Online);

    const auto now = SimRadios(lab);
    EXPECT_EQ(JsonValue(lab.Radios()[0], "reboots"), "1");
    EXPECT_EQ(JsonValue(lab.Radios()[1], "restores"), "1");
    EXPECT_EQ(JsonValue(lab.Radios()[2], "reboots"), "0");
    EXPECT_EQ(now[0].Received(static_cast<int>(MessageType::Reboot)), 1) << "an answered request was resent";
    EXPECT_EQ(now[2].Received(static_cast<int>(MessageType::Reboot)), 1) << "an answered request was resent";
}

TEST(EngineLab, TwentyPercentLossBothWaysStillFindsEveryRadioAndCommandsLand) {
    Lab lab({.radios = 30, .subnets = 1, .simArgs = {"--loss-in", "20", "--loss-out", "20"}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start(6, 500));
    ASSERT_TRUE(pc.DiscoveryCycle(30));
    const auto radios = SimRadios(lab);
    ExpectExactly(pc, radios);

    RequestEnds ends;
    for (size_t i = 0; i < 10; ++i) {
        const auto block = DeviceNameBlock::FromLocalName("lossy-" + std::to_string(i));
        ASSERT_TRUE(pc.Engine().SendCommand(radios[i].ip, static_cast<int>(MessageType::SetName),
                                            block.bytes(), radios[i].mac, true,
                                            ends.Track(static_cast<int>(i))));
    }
    ASSERT_TRUE(WaitFor([&] { return ends.Count() == 10; }, 15s));
    for (const auto& ended : ends.All()) {
        EXPECT_EQ(ended.end.how, RequestEnd::How::Answered) << radios[static_cast<size_t>(ended.tag)].mac;
    }
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
    const auto reboot = pc.SendAndSettle(radios[0].ip, MessageType::Reboot, {}, radios[0].mac);
    ASSERT_TRUE(reboot);
    EXPECT_EQ(reboot->how, RequestEnd::How::Answered);
    EXPECT_EQ(pc.Store().GetDeviceStatus(radios[0].mac), DeviceStatus::Restarting)
        << "the engine stopped working";
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
