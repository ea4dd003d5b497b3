#include "protocol/AnnounceRecord.h"
#include "support/EngineHarness.h"
#include "support/PrivateNetwork.h"
#include "support/WaitFor.h"

#include <cstring>
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
    void SetUp() override { ENTER_PRIVATE_NETWORK_OR_SKIP(); }
};

TEST_F(EngineLifecycle, StopEndsEveryWorkerAndSendsOneLeavePerOnlineDevice) {
    test::EngineHarness h({test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_EQ(EngineThreads(), 0u);
    ASSERT_TRUE(h.engine.Start(3, 2000));
    EXPECT_TRUE(test::WaitFor([] { return EngineThreads() == 8; }));
    ASSERT_TRUE(h.engine.Start(3, 2000)) << "a second start replaces the first";
    EXPECT_TRUE(test::WaitFor([] { return EngineThreads() == 8; }));
    EXPECT_EQ(EngineThreads(), 8u) << "the first start's workers are gone";

    h.engine.OnAnnounce(test::FromDevice("127.0.0.20", MessageType::Search, "00:00:00:00:00:01",
                                         AnnounceRecord().bytes(), 1, 9785));
    h.engine.OnAnnounce(test::FromDevice("127.0.0.21", MessageType::Search, "00:00:00:00:00:02",
                                         AnnounceRecord().bytes(), 1, 9785));
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
        const auto packet =
            test::FromDevice("127.0.0.20", MessageType::Search, mac, AnnounceRecord().bytes(), 1, 9785);
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

TEST_F(EngineLifecycle, RetransmissionWorkerResendsOneIntervalAfterEachSendOfItsClock) {
    using namespace std::chrono_literals;
    test::EngineHarness h({test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_TRUE(h.engine.Start(2, 2000));
    ASSERT_TRUE(h.clock->WaitForWaiters(2)) << "the timed workers wait on the engine's clock";
    test::RequestEnds ends;
    ASSERT_TRUE(h.engine.SendCommand("127.0.0.20", static_cast<int>(MessageType::Reboot), {},
                                     "00:00:00:00:00:01", true, ends.Track(1)));
    ASSERT_TRUE(h.Advance(1999ms));
    EXPECT_EQ(h.sender->Count(MessageType::Reboot), 1);
    ASSERT_TRUE(h.Advance(1ms));
    EXPECT_EQ(h.sender->Count(MessageType::Reboot), 2);
    ASSERT_TRUE(h.Advance(2000ms));
    EXPECT_EQ(h.sender->Count(MessageType::Reboot), 3);
    EXPECT_EQ(ends.Count(), 0u);
    ASSERT_TRUE(h.Advance(2000ms));
    ASSERT_EQ(ends.Count(), 1u) << "ended by the worker one interval after the last resend";
    EXPECT_EQ(ends.All()[0].end.how, RequestEnd::How::NoAnswer);
    EXPECT_EQ(h.sender->Count(MessageType::Reboot), 3);
    h.engine.Stop();
    EXPECT_EQ(ends.Count(), 1u) << "not ended twice";
}

TEST_F(EngineLifecycle, AnIntervalBelowAHundredMillisecondsIsRaisedToItAndSaidOnce) {
    using namespace std::chrono_literals;
    for (int interval : {0, -5}) {
        test::EngineHarness h({test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(h.engine.Start(3, interval));
        const std::string said = ::testing::internal::GetCapturedStderr();
        const std::string line =
            "retransmission_interval " + std::to_string(interval) + " ms is below 100 ms; using 100 ms\n";
        EXPECT_NE(said.find(line), std::string::npos) << said;
        EXPECT_EQ(said.find(line), said.rfind(line)) << "said once";
        ASSERT_TRUE(h.clock->WaitForWaiters(2)) << "the retransmission worker waits instead of spinning";
        ASSERT_TRUE(h.engine.SendCommand("127.0.0.20", static_cast<int>(MessageType::Reboot), {},
                                         "00:00:00:00:00:01", true));
        ASSERT_TRUE(h.Advance(99ms));
        EXPECT_EQ(h.sender->Count(MessageType::Reboot), 1);
        ASSERT_TRUE(h.Advance(1ms));
        EXPECT_EQ(h.sender->Count(MessageType::Reboot), 2);
        h.engine.Stop();
    }
}

TEST_F(EngineLifecycle, AgeingRunsEveryTenSecondsOfTheClockAndDropsASilentDeviceOnTheFourthPass) {
    using namespace std::chrono_literals;
    test::EngineHarness h({test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})});
    ASSERT_TRUE(h.engine.Start(3, 2000));
    ASSERT_TRUE(h.clock->WaitForWaiters(2));
    const std::string mac = "00:1a:2b:3c:4d:5e";
    h.engine.OnAnnounce(test::FromDevice("127.0.0.20", MessageType::Search, mac, AnnounceRecord().bytes(),
                                         257, kAnnouncePort));
    DeviceInfo info;
    info.set_ip(IpTextToBytes("127.0.0.20"));
    h.engine.DispatchReply(test::FromDevice("127.0.0.20", MessageType::GetInfo, mac, info.bytes()));
    ASSERT_EQ(h.store.GetDeviceStatus(mac), DeviceStatus::Online);

    ASSERT_TRUE(h.Advance(9999ms));
    ASSERT_EQ(h.engine.OnlineList().size(), 1u);
    EXPECT_EQ(h.engine.OnlineList()[0].ttl, OnlineEntry::kFreshTtl) << "no pass before ten seconds";
    for (int pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(h.Advance(pass == 1 ? 1ms : 10000ms));
        ASSERT_EQ(h.engine.OnlineList().size(), 1u) << "pass " << pass;
        EXPECT_EQ(h.engine.OnlineList()[0].ttl, OnlineEntry::kFreshTtl - pass);
    }
    ASSERT_TRUE(h.Advance(10000ms));
    EXPECT_TRUE(h.engine.OnlineList().empty());
    EXPECT_EQ(h.store.GetDeviceStatus(mac), DeviceStatus::Outline) << "deleted from the store too";
    h.engine.Stop();
}

} // namespace
} // namespace rf

namespace rf {
namespace {

// A device on the loopback network: its own address, hearing the command group. The engine holds port
// 9787 for itself, so the device listens with a raw socket, which sees every UDP datagram that arrives.
struct LoopbackDevice {
    explicit LoopbackDevice(const std::string& ip)
        : raw(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_UDP)) {
        const int buffer = 1 << 22;
        ::setsockopt(raw, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer);
        ip_mreqn membership{};
        membership.imr_multiaddr.s_addr = *ParseIpv4(kMulticastGroup);
        membership.imr_ifindex = 1; // lo
        joined =
            raw >= 0 && ::setsockopt(raw, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) == 0;
        sender = UdpSocket::Make({0, false, 0, 0, *ParseIpv4(ip)});
    }
    ~LoopbackDevice() {
        if (raw >= 0) {
            ::close(raw);
        }
    }
    LoopbackDevice(const LoopbackDevice&) = delete;
    LoopbackDevice& operator=(const LoopbackDevice&) = delete;

    // Datagrams of a type that reached the command group, without blocking.
    int Drain(MessageType type) {
        int count = 0;
        std::array<std::uint8_t, 2048> buffer{};
        const auto group = *ParseIpv4(kMulticastGroup);
        while (true) {
            const ssize_t n = ::recv(raw, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n <= 0) {
                return count;
            }
            const auto packet = std::span(buffer).first(static_cast<size_t>(n));
            const size_t ipHeader = (packet[0] & 0x0Fu) * 4u;
            in_addr_t destination = 0;
            std::memcpy(&destination, &packet[16], sizeof destination);
            const size_t udpEnd = ipHeader + 8;
            if (destination != group || packet.size() < udpEnd ||
                packet[ipHeader + 2] != (kHeartbeatPort >> 8) ||
                packet[ipHeader + 3] != (kHeartbeatPort & 0xFF)) {
                continue;
            }
            const auto header = PacketHeader::Decode(packet.subspan(udpEnd));
            count += header && header->messageType() == type ? 1 : 0;
        }
    }
    int raw;
    bool joined = false;
    std::optional<UdpSocket> sender;
};

TEST(EngineSocketsLab, HeartbeatsArrivingDuringABurstOfSendsAreAllHandled) {
    ENTER_PRIVATE_NETWORK_OR_SKIP();
    test::TempDir dir;
    CSqlManagement store(dir.Dir());
    CNetManagement engine(store, std::make_unique<test::FixedAdapters>(std::vector<AdapterRecord>{
                                     test::MakeAdapter({{"127.0.0.1", "255.0.0.0"}})}));
    ASSERT_TRUE(engine.Start(0, 60000));
    LoopbackDevice device("127.0.0.20");
    ASSERT_TRUE(device.joined && device.sender);
    const std::string mac = "00:1a:2b:3c:4d:5e";
    engine.OnAnnounce(test::FromDevice("127.0.0.20", MessageType::Search, mac, AnnounceRecord().bytes(), 257,
                                       kAnnouncePort));
    DeviceInfo info;
    info.set_ip(IpTextToBytes("127.0.0.20"));
    engine.DispatchReply(test::FromDevice("127.0.0.20", MessageType::GetInfo, mac, info.bytes()));
    ASSERT_EQ(store.GetDeviceStatus(mac), DeviceStatus::Online);
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
