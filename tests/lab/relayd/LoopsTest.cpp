// The server with several event loops: transfers land on different loops, and what holds for one loop
// holds for all of them together.
#include "LabSupport.h"
#include "TftpClient.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <numeric>

namespace rf {
namespace {

using namespace std::chrono_literals;
using test::TftpClient;

// A peer that asked for a file, took block 1 and acknowledges nothing: it holds one transfer.
struct StalledPeer {
    std::unique_ptr<test::UdpPeer> socket;
    uint16_t transferPort = 0;
    uint16_t replyOpcode = 0;
};

size_t LoopsServing(const CRelaydServer& server) {
    const auto counts = server.ActiveTransfersByLoop();
    return static_cast<size_t>(std::count_if(counts.begin(), counts.end(), [](size_t n) { return n > 0; }));
}

size_t SumOverLoops(const CRelaydServer& server) {
    const auto counts = server.ActiveTransfersByLoop();
    return std::accumulate(counts.begin(), counts.end(), size_t{0});
}

class RelaydLoops : public ::testing::Test {
protected:
    void SetUp() override {
        served_ = root_.Path() / "served";
        std::filesystem::create_directory(served_);
        content_ = test::PatternData(512 * 20 + 3, 11);
        root_.Write("served/fw.bin", content_);
    }

    static StalledPeer Stall(uint16_t serverPort, const std::string& from = "127.0.0.1") {
        StalledPeer stalled;
        stalled.socket = std::make_unique<test::UdpPeer>(from);
        stalled.socket->SendTo("127.0.0.1", serverPort, test::MakeRequest(1, "fw.bin", "octet"));
        const auto reply = stalled.socket->Receive(5s, &stalled.transferPort);
        stalled.replyOpcode = reply ? test::Opcode(*reply) : 0;
        return stalled;
    }

    // Peers stall transfers until every loop serves at least one. The kernel spreads requests over the
    // loops by the client's address and port, so a few dozen peers reach every loop.
    static std::vector<StalledPeer> StallOnEveryLoop(CRelaydServer& server) {
        std::vector<StalledPeer> peers;
        while (LoopsServing(server) < server.LoopCount() && peers.size() < 64) {
            peers.push_back(Stall(server.Port()));
        }
        return peers;
    }

    static RelaydConfig WithLoops(size_t loops) {
        RelaydConfig config;
        config.loops = loops;
        config.maxTransfers = 64;
        config.maxTransfersPerAddress = 64;
        return config;
    }

    test::TempDir root_;
    std::filesystem::path served_;
    std::string content_;
};

TEST_F(RelaydLoops, ConcurrentTransfersOnAllLoopsArriveWholeAndAreCountedOnce) {
    constexpr size_t kClients = 12;
    std::vector<std::string> contents;
    for (size_t i = 0; i < kClients; ++i) {
        contents.push_back(test::PatternData(200000 + i * 1013, static_cast<uint32_t>(100 + i)));
        root_.Write("served/f" + std::to_string(i) + ".bin", contents.back());
    }
    test::ServerThread server(served_.string(), WithLoops(2));
    ASSERT_EQ(server.Server().LoopCount(), 2u);

    std::vector<TftpClient::Result> results(kClients);
    {
        std::vector<std::jthread> clients;
        for (size_t i = 0; i < kClients; ++i) {
            clients.emplace_back([&, i] {
                TftpClient client("127.0.0.1", server.Port());
                TftpClient::Options options;
                options.blockSize = 1468;
                options.windowSize = i % 2 == 0 ? 1 : 8;
                results[i] = client.Get("f" + std::to_string(i) + ".bin", options);
            });
        }
    }
    for (size_t i = 0; i < kClients; ++i) {
        ASSERT_TRUE(results[i].complete) << "client " << i << ": " << results[i].errorMessage;
        EXPECT_EQ(results[i].data, contents[i]) << "client " << i;
        EXPECT_EQ(results[i].duplicatePackets, 0u) << "client " << i;
    }
    ASSERT_TRUE(test::WaitFor([&] { return server.Server().ActiveTransfers() == 0; }));
    EXPECT_EQ(server.Server().TransfersCompleted(), kClients);
    EXPECT_EQ(SumOverLoops(server.Server()), 0u);
}

TEST_F(RelaydLoops, StrangerToATransferOfAnyLoopGetsUnknownTransferIdAndTheTransferGoesOn) {
    test::ServerThread server(served_.string(), WithLoops(2));
    auto peers = StallOnEveryLoop(server.Server());
    ASSERT_EQ(LoopsServing(server.Server()), 2u);
    test::UdpPeer stranger;
    for (auto& peer : peers) {
        ASSERT_EQ(peer.replyOpcode, 3);
        stranger.SendTo("127.0.0.1", peer.transferPort, test::Ack(1));
        const auto answer = stranger.Receive(5s);
        ASSERT_TRUE(answer);
        EXPECT_EQ(test::Opcode(*answer), 5);
        EXPECT_EQ(test::Word(*answer, 2), 5);

        peer.socket->SendTo("127.0.0.1", peer.transferPort, test::Ack(1));
        const auto next = peer.socket->Receive(5s);
        ASSERT_TRUE(next);
        EXPECT_EQ(test::Opcode(*next), 3);
        EXPECT_EQ(test::Word(*next, 2), 2) << "the stranger's ACK moved nothing; the owner's did";
    }
}

TEST_F(RelaydLoops, LimitsHoldForAllLoopsTogether) {
    RelaydConfig config = WithLoops(4);
    config.maxTransfers = 3;
    config.maxTransfersPerAddress = 2;
    test::ServerThread server(served_.string(), config);
    std::vector<StalledPeer> peers;
    for (int i = 0; i < 8; ++i) {
        peers.push_back(Stall(server.Port(), "127.0.0.1"));
    }
    const auto served = [&] {
        return std::count_if(peers.begin(), peers.end(), [](const auto& p) { return p.replyOpcode == 3; });
    };
    EXPECT_EQ(served(), 2) << "two from one address, whichever loops their requests reached";
    for (int i = 0; i < 3; ++i) {
        peers.push_back(Stall(server.Port(), "127.0.0.2"));
    }
    EXPECT_EQ(served(), 3) << "three in total";
    EXPECT_EQ(std::count_if(peers.begin(), peers.end(), [](const auto& p) { return p.replyOpcode == 5; }), 8);
    EXPECT_EQ(server.Server().ActiveTransfers(), 3u);
    EXPECT_EQ(SumOverLoops(server.Server()), 3u);

    // An error from the peer ends its transfer, on whichever loop it ran, and frees its place.
    const auto first =
        std::find_if(peers.begin(), peers.end(), [](const auto& p) { return p.replyOpcode == 3; });
    first->socket->SendTo("127.0.0.1", first->transferPort, std::string("\0\5\0\0stop\0", 9));
    ASSERT_TRUE(test::WaitFor([&] { return server.Server().ActiveTransfers() == 2; }));
    EXPECT_EQ(SumOverLoops(server.Server()), 2u);
    TftpClient late("127.0.0.1", server.Port(), "127.0.0.3");
    EXPECT_TRUE(late.Get("fw.bin").complete) << "room again once a transfer ended";
}

TEST_F(RelaydLoops, StopEndsEveryLoopWhileTransfersRun) {
    RelaydConfig config = WithLoops(3);
    config.directory = served_.string();
    config.bindAddress = "127.0.0.1";
    config.port = 0;
    CRelaydServer server(config);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    std::atomic<bool> returned{false};
    std::jthread thread([&](std::stop_token stop) {
        server.Run(stop);
        returned = true;
    });
    const auto peers = StallOnEveryLoop(server);
    ASSERT_EQ(LoopsServing(server), 3u);

    thread.request_stop();
    // Run returns only once every loop's thread has ended.
    EXPECT_TRUE(test::WaitFor([&] { return returned.load(); }));
    EXPECT_EQ(server.ActiveTransfers(), peers.size()) << "stopped, not finished";
}

} // namespace
} // namespace rf
