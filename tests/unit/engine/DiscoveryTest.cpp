#include "protocol/AnnounceRecord.h"
#include "support/EngineHarness.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

using test::kMac;
using test::kOther;

ReceivedPacket Announce(const std::string& ip, const std::string& mac, const std::string& version = "v1.0") {
    AnnounceRecord record;
    record.set_version(version);
    record.set_work_mode(2);
    record.set_up_time(77);
    record.set_ap_name("Tower \xE5\xA1\x94");
    record.set_ssid("north");
    record.set_channel(6);
    record.set_bridge_transparent(1);
    return test::FromDevice(ip, MessageType::Search, mac, record.bytes(), 257, 9785);
}

ReceivedPacket InfoReply(const std::string& ip, const std::string& mac, const std::string& reportedIp = {}) {
    DeviceInfo info;
    info.set_ip(IpTextToBytes(reportedIp.empty() ? ip : reportedIp));
    info.set_ip_mask(IpTextToBytes("255.255.255.0"));
    info.set_version("v2.0");
    info.set_ap_name("named");
    info.set_up_time(99);
    return test::FromDevice(ip, MessageType::GetInfo, mac, info.bytes());
}

TEST(EngineDiscovery, SearchTargetsAreDirectedBroadcastsWithoutRepeats) {
    test::EngineHarness one;
    one.engine.SearchDevices();
    EXPECT_EQ(one.sender->SearchTargets(), std::vector<std::string>{"192.168.1.255"});

    test::EngineHarness sameSubnet({test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}}),
                                    test::MakeAdapter({{"192.168.1.11", "255.255.255.0"}, {"", ""}}),
                                    test::MakeAdapter({{"10.1.2.3", "255.255.0.0"}})});
    EXPECT_EQ(sameSubnet.engine.ListSearchTargets(),
              (std::vector<std::string>{"192.168.1.255", "10.1.255.255"}));

    test::EngineHarness unusable(
        {test::MakeAdapter({{"0.0.0.0", "255.0.0.0"}, {"172.16.0.1", "255.255.0.0"}}),
         test::MakeAdapter({{"172.17.0.1", "255.255.0.0"}}, 0), test::MakeAdapter({})});
    EXPECT_TRUE(unusable.engine.ListSearchTargets().empty());
    unusable.engine.SearchDevices();
    EXPECT_EQ(unusable.sender->SearchTargets(), std::vector<std::string>{"255.255.255.255"});
    EXPECT_FALSE(unusable.engine.SendCommand("172.16.0.5", 9, {}, kMac, false)) << "no adapter: nothing sent";
}

TEST(EngineDiscovery, SearchPacketIsBareAndUnaddressed) {
    test::EngineHarness h;
    h.engine.SearchDevices();
    const auto sent = h.sender->All();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].header.addressed, 0);
    EXPECT_EQ(sent[0].header.length, 0);
    EXPECT_EQ(sent[0].header.mac, MacAddress{});
}

TEST(EngineDiscovery, AnswersAreAcknowledgedAndDetailsAskedUntilKnown) {
    test::EngineHarness h;
    h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
    h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
    EXPECT_EQ(h.sender->Count(MessageType::Search, kMac), 2);
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 2);
    ASSERT_EQ(h.engine.OnlineList().size(), 1u);
    const auto entry = h.engine.OnlineList()[0];
    EXPECT_EQ(entry.state, OnlineEntry::Announced);
    EXPECT_EQ(entry.model, 257);
    EXPECT_EQ(entry.ap_name, "Tower \xE5\xA1\x94");
    EXPECT_EQ(entry.up_time, 77u);

    h.engine.DispatchReply(InfoReply("192.168.1.20", kMac));
    EXPECT_EQ(h.engine.OnlineList()[0].state, OnlineEntry::Detailed);
    EXPECT_EQ(h.store.GetDeviceStatus(kMac), DeviceStatus::Online);
    h.sender->Clear();
    h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
    EXPECT_EQ(h.sender->Count(MessageType::Search, kMac), 1);
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 0) << "detailed at the same address: only the ack";

    h.engine.OnAnnounce(Announce("192.168.1.30", kMac));
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 1) << "moved without SetIp: asked again";
}

// A restarted device may come back changed at the same address (a factory reset renames it): once it has
// accepted a restart, its next answer brings its details again, and only until they arrive.
TEST(EngineDiscovery, ADeviceThatAcceptedARestartIsAskedForItsDetailsAgain) {
    for (const MessageType restart : {MessageType::Reboot, MessageType::Restore, MessageType::SetVlan}) {
        test::EngineHarness h;
        h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
        h.engine.DispatchReply(InfoReply("192.168.1.20", kMac));
        const std::uint8_t refused = 1;
        h.engine.DispatchReply(test::FromDevice("192.168.1.20", restart, kMac, std::span(&refused, 1)));
        h.sender->Clear();
        h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
        EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 0) << "a refused restart changes nothing";

        const std::uint8_t accepted = 0;
        h.engine.DispatchReply(test::FromDevice("192.168.1.20", restart, kMac, std::span(&accepted, 1)));
        h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
        EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 1) << static_cast<int>(restart);
        h.engine.DispatchReply(InfoReply("192.168.1.20", kMac));
        EXPECT_EQ(h.store.GetDeviceStatus(kMac), DeviceStatus::Online) << "back from the restart";
        h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
        EXPECT_EQ(h.sender->Count(MessageType::GetInfo, kMac), 1) << "details known again";
    }
}

TEST(EngineDiscovery, ZeroMacIsAcknowledgedButCreatesNoEntry) {
    test::EngineHarness h;
    h.engine.OnAnnounce(Announce("192.168.1.20", "00:00:00:00:00:00"));
    EXPECT_TRUE(h.engine.OnlineList().empty());
    EXPECT_EQ(h.sender->Count(MessageType::Search), 1);
    EXPECT_EQ(h.sender->Count(MessageType::GetInfo), 0);
}

TEST(EngineDiscovery, ShortAnswerGivesOnlyTheVersion) {
    test::EngineHarness h;
    std::vector<std::uint8_t> payload(33, 0);
    payload[0] = 'v';
    payload[1] = '3';
    payload[32] = 200; // a length above the field width reads as the width
    h.engine.OnAnnounce(test::FromDevice("192.168.1.20", MessageType::Search, kMac, payload, 4, 9785));
    const auto entry = h.engine.OnlineList().at(0);
    EXPECT_EQ(entry.version.substr(0, 2), "v3");
    EXPECT_EQ(entry.version.size(), 32u);
    EXPECT_TRUE(entry.ap_name.empty());
    EXPECT_EQ(entry.work_mode, 0);
}

TEST(EngineDiscovery, AgeingRemovesSilentDetailedDevicesAndTheirRows) {
    test::EngineHarness h;
    h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
    h.engine.DispatchReply(InfoReply("192.168.1.20", kMac));
    h.engine.OnAnnounce(Announce("192.168.1.21", kOther)); // stays announced
    for (int tick = 0; tick < 3; ++tick) {
        h.engine.AgeOnlineList(); // 10, 20, 30 s
    }
    EXPECT_EQ(h.engine.OnlineList().size(), 2u) << "still there 30 s after the last report";
    h.engine.AgeOnlineList(); // 40 s
    ASSERT_EQ(h.engine.OnlineList().size(), 1u);
    EXPECT_EQ(h.engine.OnlineList()[0].mac, kOther) << "announced entries never age";
    ap_info_stu row;
    h.store.GetDevice(kMac, row);
    EXPECT_EQ(row.mac(), "") << "the row went with the entry";
}

TEST(EngineDiscovery, HeartbeatsKeepDevicesAlive) {
    test::EngineHarness h;
    h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
    h.engine.DispatchReply(InfoReply("192.168.1.20", kMac));
    for (int tick = 0; tick < 10; ++tick) {
        h.engine.AgeOnlineList();
        h.engine.OnHeartbeat(test::FromDevice("192.168.1.20", MessageType::Heartbeat, kMac,
                                              AnnounceRecord().bytes(), 257, 9787));
    }
    EXPECT_EQ(h.engine.OnlineList().size(), 1u);
}

TEST(EngineDiscovery, AnnouncedListHonoursMaxAndFilter) {
    test::EngineHarness h;
    h.engine.OnAnnounce(Announce("192.168.1.20", kMac, "v1.0"));
    h.engine.OnAnnounce(Announce("10.0.0.7", kOther, "build 1.2\nsecond line"));
    h.engine.OnAnnounce(Announce("192.168.3.4", "00:00:00:00:00:01", "v9"));
    std::vector<ap_info_stu> list;
    h.engine.ListAnnouncedDevices(list, 0, "");
    EXPECT_TRUE(list.empty());
    h.engine.ListAnnouncedDevices(list, 100, "1.2");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].mac(), kMac); // 192.168.1.20
    EXPECT_EQ(list[1].mac(), kOther);
    EXPECT_EQ(list[1].ap_status(), 10);
    EXPECT_EQ(list[1].device_info().version(), "build 1.2") << "cut at the first line feed";
    EXPECT_EQ(IpBytesToText(list[1].device_info().ip()), "10.0.0.7");
    h.engine.ListAnnouncedDevices(list, 1, "10.0");
    EXPECT_TRUE(list.empty()) << "max counts the entries looked at, not those added";
}

TEST(EngineDiscovery, SearchCycleCleanUp) {
    test::EngineHarness h;
    h.engine.OnAnnounce(Announce("192.168.1.20", kMac));
    h.engine.DispatchReply(InfoReply("192.168.1.20", kMac));
    h.engine.OnAnnounce(Announce("192.168.1.21", kOther));
    // A row whose device is no longer online.
    DeviceInfo stale;
    stale.set_ip(IpTextToBytes("192.168.1.99"));
    h.store.SaveDeviceInfo(ApInfo::Make("00:00:00:00:00:99", 1, 1, stale));
    h.sender->Clear();

    h.engine.SendLeaveToAnnounced();
    EXPECT_EQ(h.sender->Count(MessageType::Leave), 1);
    EXPECT_EQ(h.sender->Count(MessageType::Leave, kOther), 1);
    h.engine.ForgetAnnounced();
    ASSERT_EQ(h.engine.OnlineList().size(), 1u);
    h.engine.PurgeUnseenDevices();
    std::vector<std::string> macs;
    h.store.ListDeviceMacs(macs);
    EXPECT_EQ(macs, std::vector<std::string>{kMac});
}

} // namespace
} // namespace rf
