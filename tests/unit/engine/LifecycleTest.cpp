#include "protocol/AnnounceRecord.h"
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

namespace rf {
namespace {

// A device on the loopback network: its own address, listening to the command group.
struct LoopbackDevice {
    explicit LoopbackDevice(const std::string& ip) {
        // Bound to the group address, so the unicast heartbeats for the PC are not ours.
        socket = UdpSocket::Make({kHeartbeatPort, false, 0, 1 << 22, *ParseIpv4(kMulticastGroup)});
        ip_mreqn membership{};
        membership.imr_multiaddr.s_addr = *ParseIpv4(kMulticastGroup);
        membership.imr_ifindex = 1; // lo
        ::setsockopt(socket->Fd(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership);
        sender = UdpSocket::Make({0, false, 0, 0, *ParseIpv4(ip)});
    }
    // Datagrams of a type waiting on the command group, without blocking.
    int Drain(MessageType type) {
        int count = 0;
        std::array<std::uint8_t, 2048> buffer{};
        while (true) {
            const ssize_t n = ::recv(socket->Fd(), buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n <= 0) {
                return count;
            }
            const auto header = PacketHeader::Decode(std::span(buffer).first(static_cast<size_t>(n)));
            count += header && header->messageType() == type ? 1 : 0;
        }
    }
    std::optional<UdpSocket> socket;
    std::optional<UdpSocket> sender;
};

TEST(EngineSocketsLab, HeartbeatsArrivingDuringABurstOfSendsAreAllHandled) {
    if (!test::EnterPrivateNetwork()) {
        GTEST_SKIP() << "needs root for a network namespace of its own";
    }
    test::TempDir dir;
    CSqlManagement store(dir.Dir());
    CNetManagement engine(store, std::make_unique<test::FixedAdapters>(std::vector<AdapterRecord>{
                                     test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})}));
    ASSERT_TRUE(engine.Start(0, 60000));
    LoopbackDevice device("127.0.0.20");
    ASSERT_TRUE(device.socket && device.sender);
    const std::string mac = "00:1a:2b:3c:4d:5e";
    engine.OnAnnounce(test::FromDevice("127.0.0.20", MessageType::Search, mac, {}, 257, kAnnouncePort));
    DeviceInfo info;
    info.set_ip(IpTextToBytes("127.0.0.20"));
    engine.DispatchReply(test::FromDevice("127.0.0.20", MessageType::GetInfo, mac, info.bytes()));
    ASSERT_EQ(store.GetDeviceStatus(mac), 1);
    device.Drain(MessageType::GetInfo);

    constexpr int kBeats = 40;
    std::jthread burst([&] {
        for (int i = 0; i < 1000; ++i) {
            engine.SendCommand("127.0.0.20", static_cast<int>(MessageType::Reboot), {}, mac, false);
        }
    });
    const auto loopback = *ParseIpv4("127.0.0.1");
    for (int beat = 1; beat <= kBeats; ++beat) {
        AnnounceRecord record;
        record.set_up_time(static_cast<std::uint32_t>(beat));
        const auto packet = test::FromDevice("127.0.0.20", MessageType::Heartbeat, mac, record.bytes(), 257);
        ASSERT_TRUE(device.sender->SendTo(loopback, kHeartbeatPort, packet.Bytes()));
    }
    burst.join();
    int acks = 0;
    EXPECT_TRUE(test::WaitFor([&] {
        acks += device.Drain(MessageType::Heartbeat);
        return acks >= kBeats;
    })) << "heartbeats handled: "
        << acks;
    EXPECT_EQ(acks, kBeats);
    EXPECT_TRUE(test::WaitFor([&] {
        ap_info_stu row;
        store.GetDevice(mac, row);
        return row.device_info().up_time() == static_cast<std::uint32_t>(kBeats);
    }));
    engine.Stop();
}

} // namespace
} // namespace rf
