#include "support/EngineHarness.h"

#include <future>
#include <gtest/gtest.h>
#include <utility>

namespace rf {
namespace {

constexpr auto kReboot = static_cast<int>(MessageType::Reboot);
using test::kMac;

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

using namespace std::chrono_literals;
using How = RequestEnd::How;

TEST(EngineSending, SilentDeviceIsResentEachIntervalAfterItsLastSendThenEndsWithNoAnswer) {
    auto h = TwoAdapters();
    test::RequestEnds ends;
    ASSERT_TRUE(h.engine.SendCommand("10.0.0.5", kReboot, {}, kMac, true, ends.Track(1)));
    h.clock->Advance(1999ms);
    h.engine.RetransmitPass();
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 1) << "resent before its interval had passed";
    for (int resend = 1; resend <= 3; ++resend) {
        h.clock->Advance(resend == 1 ? 1ms : 2000ms);
        h.engine.RetransmitPass();
        EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 1 + resend);
    }
    EXPECT_EQ(h.engine.PendingRequests().size(), 1u);
    EXPECT_EQ(ends.Count(), 0u) << "still waiting one interval after its last resend";
    h.clock->Advance(2000ms);
    h.engine.RetransmitPass();
    EXPECT_TRUE(h.engine.PendingRequests().empty());
    ASSERT_EQ(ends.Count(), 1u);
    EXPECT_EQ(ends.All()[0].end.how, How::NoAnswer);
    h.clock->Advance(2000ms);
    h.engine.RetransmitPass();
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 4);
    EXPECT_EQ(ends.Count(), 1u) << "ended once";
}

TEST(EngineSending, EachRequestIsResentOnItsOwnIntervalNotOnThePassAfterIt) {
    test::EngineHarness h;
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", kReboot, {}, kMac, true));
    h.clock->Advance(1500ms);
    const int restore = static_cast<int>(MessageType::Restore);
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", restore, {}, kMac, true));
    h.clock->Advance(500ms);
    const auto next = h.engine.RetransmitPass();
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 2);
    EXPECT_EQ(h.sender->Count(MessageType::Restore, kMac), 1) << "sent 500 ms ago, not due";
    EXPECT_EQ(next, h.clock->Now() + 1500ms) << "the pass says when the restore is due";
    h.clock->Advance(1500ms);
    h.engine.RetransmitPass();
    EXPECT_EQ(h.sender->Count(MessageType::Restore, kMac), 2);
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 2) << "resent 1500 ms ago, not due";
}

TEST(EngineSending, ReplyAfterTheSecondTransmissionStopsTheRestAndTellsItsResult) {
    auto h = TwoAdapters();
    test::RequestEnds ends;
    ASSERT_TRUE(h.engine.SendCommand("10.0.0.5", kReboot, {}, kMac, true, ends.Track(1)));
    h.clock->Advance(2000ms);
    h.engine.RetransmitPass();
    const std::uint8_t refused[] = {1};
    h.engine.DispatchReply(test::FromDevice("10.0.0.5", MessageType::Reboot, kMac, refused));
    for (int tick = 0; tick < 4; ++tick) {
        h.clock->Advance(2000ms);
        h.engine.RetransmitPass();
    }
    EXPECT_EQ(h.sender->Count(MessageType::Reboot, kMac), 2);
    ASSERT_EQ(ends.Count(), 1u);
    EXPECT_EQ(ends.All()[0].end.how, How::Answered);
    EXPECT_EQ(ends.All()[0].end.result, 1);
}

TEST(EngineSending, NothingIsToldForWhatWasNotSentOrNotRecorded) {
    test::EngineHarness h;
    test::RequestEnds ends;
    h.engine.scanComplete = true;
    for (auto type :
         {MessageType::ScanAps, MessageType::Leave, MessageType::Search, MessageType::Heartbeat}) {
        ASSERT_TRUE(
            h.engine.SendCommand("192.168.1.20", static_cast<int>(type), {}, kMac, true, ends.Track(1)));
    }
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", kReboot, {}, kMac, false, ends.Track(2)));
    EXPECT_FALSE(h.engine.SendCommand("172.16.0.5", kReboot, {}, kMac, true, ends.Track(3)));
    EXPECT_TRUE(h.engine.PendingRequests().empty());
    EXPECT_FALSE(h.engine.scanComplete) << "sending ScanAps clears the flag";
    for (int tick = 0; tick < 5; ++tick) {
        h.clock->Advance(2000ms);
        h.engine.RetransmitPass();
    }
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Reboot, kMac));
    h.engine.Stop();
    EXPECT_EQ(h.sender->Count(MessageType::ScanAps, kMac), 1);
    EXPECT_EQ(ends.Count(), 0u);
}

TEST(EngineSending, StopEndsWhatIsPendingAsStoppedAndACallbackMaySendAgain) {
    test::EngineHarness h;
    test::RequestEnds ends;
    int resent = 0;
    const auto sendAgain = [&](const RequestEnd& end) {
        EXPECT_EQ(end.how, How::Answered);
        resent += h.engine.SendCommand("192.168.1.20", kReboot, {}, kMac, true, ends.Track(2)) ? 1 : 0;
    };
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", kReboot, {}, kMac, true, sendAgain));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Reboot, kMac));
    EXPECT_EQ(resent, 1) << "a callback may send with the engine's locks free";
    ASSERT_EQ(h.engine.PendingRequests().size(), 1u);
    h.engine.Stop();
    EXPECT_TRUE(h.engine.PendingRequests().empty());
    ASSERT_EQ(ends.Count(), 1u);
    EXPECT_EQ(ends.All()[0].end.how, How::Stopped);
}

// A device whose reply is handled while the request's first send is still under way.
class OvertakingSender : public test::RecordingSender {
public:
    std::function<void()> duringSend;
    bool fail = false;
    bool SendToDevice(const LocalAddress& via, std::span<const std::uint8_t> datagram) override {
        const bool sent = RecordingSender::SendToDevice(via, datagram);
        if (duringSend) {
            std::exchange(duringSend, nullptr)();
        }
        return sent && !fail;
    }
};

TEST(EngineSending, AReplyThatOvertakesItsSendEndsTheRequest) {
    test::TempDir dir;
    CSqlManagement store(dir.Dir());
    auto* sender = new OvertakingSender;
    auto clock = std::make_shared<ManualEngineClock>();
    CNetManagement engine(store,
                          std::make_unique<test::FixedAdapters>(std::vector<AdapterRecord>{
                              test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}})}),
                          std::unique_ptr<IPacketSender>(sender), clock);
    std::vector<AdapterRecord> list;
    engine.RefreshAdapters(list);
    test::RequestEnds ends;
    std::future<void> reply;
    sender->duringSend = [&] {
        reply = std::async(std::launch::async, [&] {
            engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Reboot, kMac));
        });
        // Gives the reply the chance to be handled before the send returns.
        reply.wait_for(50ms);
    };
    ASSERT_TRUE(engine.SendCommand("192.168.1.20", kReboot, {}, kMac, true, ends.Track(1)));
    reply.wait();
    EXPECT_TRUE(engine.PendingRequests().empty());
    ASSERT_EQ(ends.Count(), 1u);
    EXPECT_EQ(ends.All()[0].end.how, How::Answered);
    clock->Advance(2000ms);
    engine.RetransmitPass();
    EXPECT_EQ(sender->Count(MessageType::Reboot, kMac), 1) << "an answered request was resent";
}

TEST(EngineSending, ARequestIsRecordedBeforeItLeavesAndForgottenWhenItCannotLeave) {
    test::TempDir dir;
    CSqlManagement store(dir.Dir());
    auto* sender = new OvertakingSender;
    CNetManagement engine(store,
                          std::make_unique<test::FixedAdapters>(std::vector<AdapterRecord>{
                              test::MakeAdapter({{"192.168.1.10", "255.255.255.0"}})}),
                          std::unique_ptr<IPacketSender>(sender), std::make_shared<ManualEngineClock>());
    std::vector<AdapterRecord> list;
    engine.RefreshAdapters(list);
    test::RequestEnds ends;
    size_t seenDuringSend = 0;
    sender->fail = true;
    sender->duringSend = [&] { seenDuringSend = engine.PendingRequests().size(); };
    EXPECT_FALSE(engine.SendCommand("192.168.1.20", kReboot, {}, kMac, true, ends.Track(1)));
    EXPECT_EQ(seenDuringSend, 1u) << "recorded before it left";
    EXPECT_TRUE(engine.PendingRequests().empty()) << "forgotten when it could not leave";
    engine.Stop();
    EXPECT_EQ(ends.Count(), 0u) << "nothing is told for what was not sent";
}

TEST(EngineSending, OneReplyEndsOnlyTheOlderOfTwoRequests) {
    test::EngineHarness h;
    test::RequestEnds ends;
    const std::uint8_t first[] = {'a'};
    const std::uint8_t second[] = {'b'};
    const int setName = static_cast<int>(MessageType::SetName);
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", setName, first, kMac, true, ends.Track(1)));
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", setName, second, kMac, true, ends.Track(2)));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::SetName, kMac));
    const auto pending = h.engine.PendingRequests();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].payload, std::vector<std::uint8_t>{'b'});
    ASSERT_EQ(ends.Count(), 1u);
    EXPECT_EQ(ends.All()[0].tag, 1);
}

TEST(EngineSending, RepliesMatchOnTypeMacAndTheAddressAsked) {
    test::EngineHarness h;
    ASSERT_TRUE(h.engine.SendCommand("192.168.1.20", kReboot, {}, kMac, true));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Reboot, "00:1a:2b:3c:4d:5f"));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Restore, kMac));
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Leave, kMac));
    EXPECT_EQ(h.engine.PendingRequests().size(), 1u);
    h.engine.DispatchReply(test::FromDevice("192.168.1.21", MessageType::Reboot, kMac));
    EXPECT_EQ(h.engine.PendingRequests().size(), 1u) << "another host naming the device";
    h.engine.DispatchReply(test::FromDevice("192.168.1.20", MessageType::Reboot, kMac));
    EXPECT_TRUE(h.engine.PendingRequests().empty());
}

TEST(EngineSending, PayloadTravelsWithTheRequestAndItsResends) {
    test::EngineHarness h;
    std::vector<std::uint8_t> payload(326, 0x5A);
    ASSERT_TRUE(
        h.engine.SendCommand("192.168.1.20", static_cast<int>(MessageType::SetBridge), payload, kMac, true));
    h.clock->Advance(2000ms);
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
