#include "support/EngineHarness.h"
#include "support/PrivateNetwork.h"
#include "support/WaitFor.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace rf {
namespace {

// Threads of the engine: they are named "rf-...".
size_t EngineThreads() {
    size_t count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        count += name.starts_with("rf-") ? 1 : 0;
    }
    return count;
}

class EngineLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::EnterPrivateNetwork()) {
            GTEST_SKIP() << "needs root for a network namespace of its own";
        }
    }
};

TEST_F(EngineLifecycle, StopEndsEveryWorkerAndSendsOneLeavePerOnlineDevice) {
    test::EngineHarness h({test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_EQ(EngineThreads(), 0u);
    ASSERT_TRUE(h.engine.Start(3, 2000));
    EXPECT_TRUE(test::WaitFor([] { return EngineThreads() == 8; }));
    ASSERT_TRUE(h.engine.Start(3, 2000)) << "a second start replaces the first";
    EXPECT_TRUE(test::WaitFor([] { return EngineThreads() == 8; }));
    EXPECT_EQ(EngineThreads(), 8u) << "the first start's workers are gone";

    h.engine.OnAnnounce(
        test::FromDevice("127.0.0.20", MessageType::Search, "00:00:00:00:00:01", {}, 1, 9785));
    h.engine.OnAnnounce(
        test::FromDevice("127.0.0.21", MessageType::Search, "00:00:00:00:00:02", {}, 1, 9785));
    h.sender->Clear();
    h.engine.Stop();
    EXPECT_EQ(EngineThreads(), 0u);
    EXPECT_EQ(h.sender->Count(MessageType::Leave), 2);
    EXPECT_EQ(h.sender->Count(MessageType::Leave, "00:00:00:00:00:01"), 1);
    h.engine.Stop();
    EXPECT_EQ(h.sender->Count(MessageType::Leave), 2) << "no Leave is repeated";
}

TEST_F(EngineLifecycle, DatagramsOnRealSocketsAreHandledInArrivalOrder) {
    test::EngineHarness h({test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_TRUE(h.engine.Start(3, 2000));
    auto device = UdpSocket::Make({0, false, 0, 0, *ParseIpv4("127.0.0.20")});
    ASSERT_TRUE(device);
    const auto loopback = *ParseIpv4("127.0.0.1");
    for (int i = 0; i < 20; ++i) {
        const std::string mac =
            "00:00:00:00:01:" + std::string(i < 16 ? "0" : "1") + "0123456789abcdef"[i % 16];
        const auto packet = test::FromDevice("127.0.0.20", MessageType::Search, mac, {}, 1, 9785);
        ASSERT_TRUE(device->SendTo(loopback, kAnnouncePort, packet.Bytes()));
    }
    // Dropped by the acceptance rules: a heartbeat on the announce port and a short datagram.
    ASSERT_TRUE(
        device->SendTo(loopback, kAnnouncePort,
                       test::FromDevice("127.0.0.20", MessageType::Heartbeat, "00:00:00:00:09:09").Bytes()));
    const std::uint8_t shortDatagram[] = {0x86, 0x19, 1};
    ASSERT_TRUE(device->SendTo(loopback, kAnnouncePort, shortDatagram));
    ASSERT_TRUE(test::WaitFor([&] { return h.engine.OnlineList().size() >= 20; }));
    const auto list = h.engine.OnlineList();
    ASSERT_EQ(list.size(), 20u);
    EXPECT_EQ(list.front().mac, "00:00:00:00:01:00");
    EXPECT_EQ(list.back().mac, "00:00:00:00:01:13");
    EXPECT_EQ(list.front().ip, "127.0.0.20");
    h.engine.Stop();
}

TEST_F(EngineLifecycle, RetransmissionWorkerResendsOnItsOwnRhythm) {
    test::EngineHarness h({test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_TRUE(h.engine.Start(2, 20));
    ASSERT_TRUE(h.engine.SendCommand("127.0.0.20", static_cast<int>(MessageType::Reboot), {},
                                     "00:00:00:00:00:01", true));
    ASSERT_TRUE(test::WaitFor([&] { return h.engine.PendingRequests().empty(); }));
    EXPECT_EQ(h.sender->Count(MessageType::Reboot), 3);
    h.engine.Stop();
}

} // namespace
} // namespace rf
