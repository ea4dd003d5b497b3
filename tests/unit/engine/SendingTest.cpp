#include "support/EngineHarness.h"

#include <gtest/gtest.h>

namespace rf {
namespace {

constexpr auto kReboot = static_cast<int>(MessageType::Reboot);
const std::string kMac = "00:1a:2b:3c:4d:5e";

test::EngineHarness TwoAdapters() {
    return test::EngineHarness({test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}}),
                                test::MakeAdapter({{"10.0.0.2", "255.0.0.0"}})});
}

TEST(EngineSending, LeavesThroughTheAdapterInTheDevicesSubnet) {
    auto h = TwoAdapters();
    ASSERT_TRUE(h.engine.SendCommand("10.0.0.5", kReboot, {}, kMac, false));
    const auto sent = h.sender->All();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Ipv4Text(sent[0].via), "10.0.0.2");
    EXPECT_EQ(sent[0].header.addressed, 1);
    EXPECT_EQ(MacBytesToText(sent[0].header.mac), kMac);
    EXPECT_EQ(sent[0].header.model, 0);

    EXPECT_FALSE(h.engine.SendCommand("172.16.0.5", kReboot, {}, kMac, true));
    EXPECT_FALSE(h.engine.SendCommand("not an ip", kReboot, {}, kMac, true));
    EXPECT_FALSE(h.engine.SendCommand("0.0.0.0", kReboot, {}, kMac, true));
    EXPECT_EQ(h.sender->All().size(), 1u);
    EXPECT_TRUE(h.engine.PendingRequests().empty()) << "nothing recorded for what did not go out";
}

TEST(EngineSending, SilentDeviceGetsOnePlusRetriesThenIsDropped) {
    auto h = TwoAdapters();
    ASSERT_TRUE(h.engine.SendCommand("10.0.0.5", kReboot, {}, kMac, true));
    for (int tick = 0; tick < 3; ++tick) {
        h.engine.RetransmitPass();
    }
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 4);
    EXPECT_EQ(h.engine.PendingRequests().size(), 1u);
    h.engine.RetransmitPass();
    EXPECT_TRUE(h.engine.PendingRequests().empty()) << "gone by the tick after the last resend";
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 4);
}

TEST(EngineSending, ReplyAfterTheSecondTransmissionStopsTheRest) {
    auto h = TwoAdapters();
    ASSERT_TRUE(h.engine.SendCommand("10.0.0.5", kReboot, {}, kMac, true));
    h.engine.RetransmitPass();
    const std::uint8_t ok[] = {0};
    h.engine.DispatchReply(test::FromDevice("10.0.0.5", MessageType::Reboot, kMac, ok));
    for (int tick = 0; tick < 4; ++tick) {
        h.engine.RetransmitPass();
    }
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 2);
}

TEST(EngineSending, ScanLeaveSearchAndHeartbeatAreNeverRecorded) {
    test::EngineHarness h;
    h.engine.scanComplete = true;
    for (auto type :
         {MessageType::ScanAps, MessageType::Leave, MessageType::Search, MessageType::Heartbeat}) {
        ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", static_cast<int>(type), {}, kMac, true));
    }
    EXPECT_TRUE(h.engine.PendingRequests().empty());
    EXPECT_FALSE(h.engine.scanComplete) << "sending ScanAps clears the flag";
    h.engine.RetransmitPass();
    EXPECT_EQ(h.sender->Count(MessageType::ScanAps, kMac), 1);
}

TEST(EngineSending, OneReplyRemovesOnlyTheOlderOfTwoRequests) {
    test::EngineHarness h;
    const std::uint8_t first[] = {'a'};
    const std::uint8_t second[] = {'b'};
    const int setName = static_cast<int>(MessageType::SetName);
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", setName, first, kMac, true));
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", setName, second, kMac, true));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::SetName, kMac));
    const auto pending = h.engine.PendingRequests();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].payload, std::vector<std::uint8_t>{'b'});
}

TEST(EngineSending, RepliesMatchOnIpTypeAndMac) {
    test::EngineHarness h;
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", kReboot, {}, kMac, true));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Reboot, "00:1a:2b:3c:4d:5f"));
    h.engine.DispatchReply(test::FromDevice("192.168.1.21", MessageType::Reboot, kMac));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Restore, kMac));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Leave, kMac));
    EXPECT_EQ(h.engine.PendingRequests().size(), 1u);
}

TEST(EngineSending, PayloadTravelsWithTheRequestAndItsResends) {
    test::EngineHarness h;
    std::vector<std::uint8_t> payload(326, 0x5A);
    ASSERT_TRUE(
        h.engine.SendCommand("192.168.1.20", static_cast<int>(MessageType::SetBridge), payload, kMac, true));
    h.engine.RetransmitPass();
    const auto sent = h.sender->All();
    ASSERT_EQ(sent.size(), 2u);
    for (const auto& s : sent) {
        EXPECT_EQ(s.header.length, 326);
        EXPECT_EQ(s.payload, payload);
    }
    std::vector<std::uint8_t> tooLong(kMaxPayload + 1);
    EXPECT_FALSE(h.engine.SendCommand("192.168.1.20", kReboot, tooLong, kMac, true));
}

} // namespace
} // namespace rf
