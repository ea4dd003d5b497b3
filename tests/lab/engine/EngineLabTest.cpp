// The engine on real sockets against simulated radios in a lab of network namespaces.
#include "EngineInLab.h"

#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "protocol/AnnounceRecord.h"
#include "protocol/DeviceNameBlock.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <thread>

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
    // Six sends each: all six round trips of one command fail one time in 450 at this loss, so one of ten
    // may end unanswered though its radio took the name.
    int answered = 0;
    for (const auto& ended : ends.All()) {
        answered += ended.end.how == RequestEnd::How::Answered ? 1 : 0;
    }
    EXPECT_GE(answered, 9);
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

// Another host on the segment (or a radio's own address, for records cut short) sending datagrams to the
// PC's ports.
class Forger {
public:
    Forger(const Lab& lab, const std::string& from) : fd_(lab.OpenUdpInRadios(from, 0)) {}
    ~Forger() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Forger(const Forger&) = delete;
    Forger& operator=(const Forger&) = delete;

    bool Ok() const { return fd_ >= 0; }
    void Send(std::uint16_t port, MessageType type, const std::string& mac,
              std::span<const std::uint8_t> payload,
              std::optional<std::uint16_t> claimedLength = std::nullopt) const {
        const ReceivedPacket packet =
            FromDevice("0.0.0.0", type, mac, payload); // sent from the socket's address
        std::vector<std::uint8_t> datagram(packet.Bytes().begin(), packet.Bytes().end());
        if (claimedLength) {
            StoreU16(datagram, PacketHeader::kLengthOffset, *claimedLength);
        }
        sockaddr_in pc{};
        pc.sin_family = AF_INET;
        pc.sin_port = htons(port);
        ::inet_pton(AF_INET, Lab::PcAddress(0).c_str(), &pc.sin_addr);
        ::sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&pc), sizeof pc);
    }

private:
    int fd_;
};

DeviceInfo ForgedInfo(const SimRadio& radio, const std::string& name) {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(radio.ip));
    info.set_ap_name(name);
    info.set_version("forged");
    info.set_ssid(name);
    info.set_channel(99);
    return info;
}

TEST(EngineLab, HostileAndForgedDatagramsLeaveExactlyTheTrueRadiosAndShowARealConflict) {
    // Radio 1 refuses settings, so only a forged answer could make its rename look done.
    Lab lab({.radios = 12, .subnets = 1, .simArgs = {"--hostile", "--fail", "1"}});
    SKIP_WITHOUT_LAB(lab);
    EngineInLab pc(lab, 1);
    ASSERT_TRUE(pc.Start(3, 500));
    const auto radios = SimRadios(lab);
    ASSERT_EQ(radios.size(), 12u);
    const auto allStored = [&] {
        const auto rows = ByMac(pc.StoredDevices());
        return std::all_of(radios.begin(), radios.end(),
                           [&](const SimRadio& r) { return rows.contains(r.mac); });
    };
    for (int search = 0; search < 10 && !allStored(); ++search) {
        pc.Search();
        WaitFor(allStored, 3s);
    }
    ASSERT_TRUE(allStored());
    EXPECT_NE(JsonValue(lab.Control("stats"), "hostile"), "0") << "the simulator sent no hostile datagram";

    const std::string forgerIp = "10.99.2.200"; // on the segment, and no radio's address
    Forger forger(lab, forgerIp);
    Forger atRadio3(lab, radios[3].ip);
    ASSERT_TRUE(forger.Ok() && atRadio3.Ok());
    const std::uint8_t success[] = {0};
    const std::uint8_t failure[] = {1};
    forger.Send(kReplyPort, MessageType::GetInfo, radios[2].mac, ForgedInfo(radios[2], "forged").bytes());
    forger.Send(kReplyPort, MessageType::UpgradeReport, radios[5].mac, failure);
    atRadio3.Send(kReplyPort, MessageType::GetInfo, radios[3].mac, std::vector<std::uint8_t>(3, 0x22));
    atRadio3.Send(kAnnouncePort, MessageType::Search, radios[3].mac, std::vector<std::uint8_t>(4, 0), 65535);
    atRadio3.Send(kReplyPort, MessageType::GetInfo, radios[3].mac, std::vector<std::uint8_t>(3, 0));
    AnnounceRecord beat;
    beat.set_version(radios[4].version);
    forger.Send(kHeartbeatPort, MessageType::Heartbeat, radios[4].mac, beat.bytes());

    // A rename through the real operation while the forger answers it, and its details, first and often.
    std::atomic<bool> renaming{true};
    std::jthread flood([&] {
        while (renaming) {
            forger.Send(kReplyPort, MessageType::SetName, radios[1].mac, success);
            forger.Send(kReplyPort, MessageType::GetInfo, radios[1].mac,
                        ForgedInfo(radios[1], "Renamed").bytes());
            std::this_thread::sleep_for(2ms);
        }
    });
    const auto renamed =
        RunBatch(pc.Engine(), pc.Store(),
                 PlanRename(SelectedDevice::Make(radios[1].ip, radios[1].mac, radios[1].model), "Renamed"),
                 std::stop_token{});
    renaming = false;
    flood.join();
    ASSERT_EQ(renamed.devices.size(), 1u);
    EXPECT_EQ(renamed.devices[0].outcome, DeviceOutcome::Refused) << "the radio's own answer decides";
    EXPECT_EQ(SimRadio::Parse(lab.Control("get " + radios[1].mac)).name, radios[1].name);

    // Radio 4 answers the probe at its own address while the forger claims its MAC: both answer for it.
    EXPECT_TRUE(WaitFor(
        [&] { return pc.Store().GetDeviceStatus(radios[4].mac) == DeviceStatus::AddressConflict; }, 10s));
    const auto online = pc.Engine().OnlineList();
    const auto entry =
        std::find_if(online.begin(), online.end(), [&](auto& e) { return e.mac == radios[4].mac; });
    ASSERT_NE(entry, online.end());
    EXPECT_EQ(entry->ip, radios[4].ip) << "a conflict does not move the radio";
    EXPECT_EQ(entry->claimIp, forgerIp);

    const auto stored = ByMac(pc.StoredDevices());
    EXPECT_EQ(stored.size(), radios.size()) << "nothing but the radios is stored";
    for (const SimRadio& radio : radios) {
        const auto found = stored.find(radio.mac);
        ASSERT_NE(found, stored.end()) << radio.mac << " was hidden";
        ExpectStoredAsSimulated(found->second, radio);
        const auto status = radio.mac == radios[4].mac ? DeviceStatus::AddressConflict : DeviceStatus::Online;
        EXPECT_EQ(found->second.ap_status(), ToCode(status)) << radio.mac;
    }
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
