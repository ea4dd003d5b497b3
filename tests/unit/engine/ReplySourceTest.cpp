#include "protocol/AddressClaim.h"
#include "protocol/AnnounceRecord.h"
#include "protocol/ReplyAddresses.h"
#include "support/EngineHarness.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

using test::kMac;
const std::string kIp = "192.168.1.20";
const std::string kForger = "192.168.1.66";

DeviceInfo TrueInfo() {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(kIp));
    info.set_ap_name("mast");
    info.set_version("v2.0");
    info.set_ssid("north");
    info.set_channel(11);
    info.set_up_time(5);
    return info;
}

// A detailed device at kIp with its row stored, as discovery leaves it.
void Discover(test::EngineHarness& h) {
    h.engine.OnAnnounce(
        test::FromDevice(kIp, MessageType::Search, kMac, AnnounceRecord().bytes(), 257, 9785));
    h.engine.DispatchReply(test::FromDevice(kIp, MessageType::GetInfo, kMac, TrueInfo().bytes()));
    ASSERT_EQ(h.store.GetDeviceStatus(kMac), DeviceStatus::Online);
}

DeviceInfo Stored(test::EngineHarness& h) {
    ap_info_stu row;
    h.store.GetDevice(kMac, row);
    return row.device_info();
}

ReceivedPacket Heartbeat(const std::string& from, size_t size = AnnounceRecord::kSize) {
    AnnounceRecord beat;
    beat.set_version("v2.0");
    beat.set_up_time(900);
    return test::FromDevice(from, MessageType::Heartbeat, kMac, beat.bytes().first(size), 257, 9787);
}

TEST(ReplySource, RecordsTooShortForWhatIsStoredAreDroppedWhole) {
    EXPECT_EQ(DeviceInfo::CarriedSize(DeviceInfo::kMinSize - 1), 0u);
    EXPECT_EQ(DeviceInfo::CarriedSize(96), 96u);
    EXPECT_EQ(DeviceInfo::CarriedSize(427), 100u) << "a radio block cut short is not carried";
    EXPECT_EQ(DeviceInfo::CarriedSize(743), 743u);
    EXPECT_EQ(DeviceInfo::CarriedSize(2000), 744u);

    test::EngineHarness h;
    Discover(h);
    const std::vector<std::uint8_t> three(3, 0x22);
    h.engine.DispatchReply(test::FromDevice(kIp, MessageType::GetInfo, kMac, three));
    h.engine.DispatchReply(test::FromDevice(kIp, MessageType::GetInfo, kMac,
                                            TrueInfo().bytes().first(DeviceInfo::kMinSize - 1)));
    EXPECT_EQ(Stored(h), TrueInfo()) << "short answers change nothing";

    DeviceInfo renamed = TrueInfo();
    renamed.set_ap_name("renamed");
    renamed.set_ssid("south");
    h.engine.DispatchReply(test::FromDevice(kIp, MessageType::GetInfo, kMac, renamed.bytes().first(200)));
    EXPECT_EQ(Stored(h).ap_name(), "renamed") << "the name block was carried";
    EXPECT_EQ(Stored(h).ssid(), "north") << "the radio block was not: it keeps its stored value";
    EXPECT_EQ(Stored(h).channel(), 11);

    h.engine.OnHeartbeat(Heartbeat(kIp, AnnounceRecord::kHeartbeatMinSize - 1));
    EXPECT_EQ(Stored(h).up_time(), 5u) << "a heartbeat without its up time";
    h.engine.OnHeartbeat(Heartbeat(kIp, AnnounceRecord::kHeartbeatMinSize));
    EXPECT_EQ(Stored(h).up_time(), 900u);

    const std::vector<std::uint8_t> versionCut(AnnounceRecord::kVersionOnlySize - 1, 'v');
    h.engine.OnAnnounce(
        test::FromDevice("192.168.1.21", MessageType::Search, "02:00:00:00:00:01", versionCut, 257, 9785));
    EXPECT_EQ(h.engine.OnlineList().size(), 1u) << "an announce cut inside its version";
}

TEST(ReplySource, AnswersCountOnlyFromTheDevicesAddresses) {
    std::vector<std::uint8_t> setIp(DeviceInfo::kIpSettingsSize);
    StoreIpv4(setIp, 1, IpTextToBytes("192.168.1.50"));
    std::vector<std::uint8_t> setBridge(DeviceInfo::kBridgeSettingsSize + DeviceInfo::kIpSettingsSize);
    StoreIpv4(setBridge, DeviceInfo::kBridgeSettingsSize + 1, IpTextToBytes("192.168.1.51"));
    const auto addresses = [](MessageType type, std::span<const std::uint8_t> payload) {
        return AnswerAddresses(static_cast<int>(type), kIp, payload);
    };
    using Addresses = std::vector<std::string>;
    EXPECT_EQ(addresses(MessageType::GetInfo, setIp), Addresses{kIp}) << "only the two moving requests";
    EXPECT_EQ(addresses(MessageType::SetIp, setIp), (Addresses{kIp, "192.168.1.50"}));
    EXPECT_EQ(addresses(MessageType::SetBridge, setBridge), (Addresses{kIp, "192.168.1.51"}));
    EXPECT_EQ(addresses(MessageType::SetIp, std::vector<std::uint8_t>(22)), Addresses{kIp}) << "DHCP";
    EXPECT_EQ(addresses(MessageType::SetIp, std::span(setIp).first(4)), Addresses{kIp}) << "cut short";
    OnlineEntry entry;
    entry.ip = kIp;
    EXPECT_FALSE(IsDeviceAddress(entry, "192.168.1.50"));
    entry.pendingIp = "192.168.1.50";
    EXPECT_TRUE(IsDeviceAddress(entry, "192.168.1.50"));

    test::EngineHarness h;
    Discover(h);
    test::RequestEnds ends;
    const std::uint8_t ok[] = {0};
    const std::uint8_t failed[] = {1};
    ASSERT_TRUE(
        h.engine.SendCommand(kIp, static_cast<int>(MessageType::SetName), {}, kMac, true, ends.Track(8)));
    h.engine.DispatchReply(test::FromDevice(kForger, MessageType::SetName, kMac, ok));
    EXPECT_EQ(ends.Count(), 0u) << "a forged answer ends nothing";
    h.engine.DispatchReply(test::FromDevice(kIp, MessageType::SetName, kMac, failed));
    ASSERT_EQ(ends.Count(), 1u);
    EXPECT_EQ(ends.All()[0].end.result, 1) << "the device's own answer";

    ASSERT_TRUE(
        h.engine.SendCommand(kIp, static_cast<int>(MessageType::SetIp), setIp, kMac, true, ends.Track(3)));
    h.engine.DispatchReply(test::FromDevice("192.168.1.50", MessageType::SetIp, kMac, ok));
    EXPECT_EQ(ends.Count(), 2u) << "the address it was told to take";
}

TEST(ReplySource, AClaimedMacIsProbedAtItsStoredAddressBeforeItMoves) {
    OnlineEntry entry;
    entry.ip = kIp;
    EXPECT_TRUE(NeedsProbe(entry, kForger));
    EXPECT_FALSE(NeedsProbe(entry, kIp));
    entry.claimIp = kForger;
    EXPECT_FALSE(NeedsProbe(entry, kForger)) << "already probed or in conflict";
    EXPECT_EQ(DecideClaim({RequestEnd::How::Answered}), ClaimOutcome::Conflict);
    EXPECT_EQ(DecideClaim({RequestEnd::How::NoAnswer}), ClaimOutcome::Move);
    EXPECT_EQ(DecideClaim({RequestEnd::How::Stopped}), ClaimOutcome::None);

    test::EngineHarness h;
    Discover(h);
    h.sender->Clear();
    h.engine.OnHeartbeat(Heartbeat(kForger));
    h.engine.OnAnnounce(
        test::FromDevice(kForger, MessageType::Search, kMac, AnnounceRecord().bytes(), 257, 9785));
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 1) << "one probe, however often claimed";
    EXPECT_EQ(h.sender->All().size(), 1u) << "nothing goes to the claiming address";
    EXPECT_EQ(Ipv4Text(h.sender->All()[0].via), "192.168.1.10");
    EXPECT_EQ(h.engine.PendingRequests().at(0).ip, kIp) << "the stored address is asked";
    h.engine.DispatchReply(test::FromDevice(kIp, MessageType::GetInfo, kMac, TrueInfo().bytes()));
    EXPECT_EQ(h.store.GetDeviceStatus(kMac), DeviceStatus::AddressConflict);
    EXPECT_EQ(StatusText(DeviceStatus::AddressConflict), "Address conflict");
    auto online = h.engine.OnlineList().at(0);
    EXPECT_TRUE(online.conflict);
    EXPECT_EQ(online.ip, kIp) << "the device does not move";
    EXPECT_EQ(online.claimIp, kForger);
    EXPECT_EQ(IpBytesToText(Stored(h).ip()), kIp);

    h.engine.OnHeartbeat(Heartbeat("192.168.1.77"));
    h.DropUnanswered();
    online = h.engine.OnlineList().at(0);
    EXPECT_EQ(online.ip, "192.168.1.77") << "no answer at the stored address: the device moved";
    EXPECT_FALSE(online.conflict);
    EXPECT_EQ(h.store.GetDeviceStatus(kMac), DeviceStatus::Online);
    EXPECT_EQ(IpBytesToText(Stored(h).ip()), "192.168.1.77");
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 1 + 4 + 4) << "both probes, then the details";
}

} // namespace
} // namespace rf
