#include "relayd/Transfer.h"
#include "relayd/RttEstimator.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace rf {
namespace {

using namespace std::chrono_literals;

// A transfer of a real file whose packets are collected instead of sent.
class TransferHarness {
public:
    TransferHarness(const std::string& content, tftp::RequestedOptions requested = {},
                    std::chrono::milliseconds giveUp = CTransfer::kDefaultGiveUp)
        : content_(content) {
        const auto path = dir_.Write("file", content);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const auto options = tftp::TransferOptions::Negotiate(requested, content.size(), 65464);
        transfer_ = std::make_unique<CTransfer>(
            fd, content.size(), options,
            [this](std::span<const uint8_t> p) { sent_.emplace_back(p.begin(), p.end()); }, giveUp);
    }

    CTransfer& operator*() { return *transfer_; }
    CTransfer* operator->() { return transfer_.get(); }
    void Ack(uint16_t block, CTransfer::TimePoint at) {
        const uint8_t packet[4] = {0, 4, static_cast<uint8_t>(block >> 8),
                                   static_cast<uint8_t>(block & 0xFF)};
        transfer_->OnPacket(packet, at);
    }
    // Wire numbers of the data packets sent since the last call.
    std::vector<uint16_t> TakeBlocks() {
        std::vector<uint16_t> blocks;
        for (const auto& p : sent_) {
            blocks.push_back(p[0] == 0 && p[1] == 3 ? static_cast<uint16_t>((p[2] << 8) | p[3]) : 0xFFFF);
        }
        for (const auto& p : sent_) {
            received_.push_back(p);
        }
        sent_.clear();
        return blocks;
    }
    const std::vector<std::vector<uint8_t>>& Pending() const { return sent_; }
    // Windows go out in batches from now on; the size of every batch is recorded.
    void Batch() {
        transfer_->SetBatchSender([this](std::span<const std::span<const uint8_t>> packets) {
            batches_.push_back(packets.size());
            for (const auto p : packets) {
                sent_.emplace_back(p.begin(), p.end());
            }
        });
    }
    std::vector<size_t> TakeBatches() { return std::exchange(batches_, {}); }
    std::string Reassemble() const {
        std::string data;
        for (const auto& p : received_) {
            if (p[1] == 3) {
                data.append(p.begin() + 4, p.end());
            }
        }
        return data;
    }
    test::TempDir& Dir() { return dir_; }

private:
    test::TempDir dir_;
    std::string content_;
    std::vector<std::vector<uint8_t>> sent_;
    std::vector<std::vector<uint8_t>> received_;
    std::vector<size_t> batches_;
    std::unique_ptr<CTransfer> transfer_;
};

const CTransfer::TimePoint t0{};

TEST(Transfer, LockStepSendsEachBlockOnceAndIgnoresDuplicateAcks) {
    TransferHarness t(std::string(1024, 'a') + "tail"); // blocks of 512, 512, 4
    t->Start(t0);
    EXPECT_EQ(t.TakeBlocks(), std::vector<uint16_t>{1});
    t.Ack(1, t0 + 1ms);
    EXPECT_EQ(t.TakeBlocks(), std::vector<uint16_t>{2});
    t.Ack(1, t0 + 2ms);
    t.Ack(1, t0 + 2ms);
    EXPECT_TRUE(t.TakeBlocks().empty()) << "duplicate ACKs send nothing";
    t.Ack(9, t0 + 2ms);
    EXPECT_TRUE(t.TakeBlocks().empty()) << "an ACK for a block never sent is ignored";
    t.Ack(2, t0 + 3ms);
    EXPECT_EQ(t.TakeBlocks(), std::vector<uint16_t>{3});
    t.Ack(3, t0 + 4ms);
    EXPECT_EQ(t->GetState(), CTransfer::State::Completed);
    EXPECT_EQ(t.Reassemble(), std::string(1024, 'a') + "tail");
}

TEST(Transfer, AFileOfWholeBlocksEndsWithAnEmptyBlock) {
    TransferHarness t(std::string(512, 'z'));
    t->Start(t0);
    t.TakeBlocks();
    t.Ack(1, t0);
    ASSERT_EQ(t.Pending().size(), 1u);
    EXPECT_EQ(t.Pending()[0].size(), 4u);
    EXPECT_EQ(t.TakeBlocks(), std::vector<uint16_t>{2});
}

TEST(Transfer, WindowGapResendsFromTheBlockAfterTheAckAtOnce) {
    tftp::RequestedOptions requested;
    requested.windowSize = 4;
    TransferHarness t(std::string(512 * 10, 'w'), requested);
    t->Start(t0);
    EXPECT_EQ(t.TakeBlocks(), std::vector<uint16_t>{0xFFFF}) << "option acknowledgement first";
    t.Ack(0, t0 + 1ms);
    EXPECT_EQ(t.TakeBlocks(), (std::vector<uint16_t>{1, 2, 3, 4}));
    t.Ack(2, t0 + 2ms);
    EXPECT_EQ(t.TakeBlocks(), (std::vector<uint16_t>{3, 4, 5, 6}));
    t.Ack(2, t0 + 3ms);
    EXPECT_TRUE(t.TakeBlocks().empty()) << "the same gap reported twice";
    t.Ack(6, t0 + 4ms);
    EXPECT_EQ(t.TakeBlocks(), (std::vector<uint16_t>{7, 8, 9, 10}));
    t.Ack(10, t0 + 5ms);
    EXPECT_EQ(t.TakeBlocks(), (std::vector<uint16_t>{11}));
    t.Ack(11, t0 + 6ms);
    EXPECT_EQ(t->GetState(), CTransfer::State::Completed);
}

TEST(Transfer, WindowsGoOutInBatchesOfAtMost256KiBWithTheSameBytes) {
    tftp::RequestedOptions requested;
    requested.windowSize = 16;
    requested.blockSize = 65464; // four such blocks fill a batch
    std::string content(65464 * 20 + 77, '\0');
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 7 + i / 65464);
    }
    TransferHarness t(content, requested);
    t.Batch();
    t->Start(t0);
    t.TakeBlocks();
    EXPECT_TRUE(t.TakeBatches().empty()) << "the option acknowledgement is one packet";
    t.Ack(0, t0 + 1ms);
    EXPECT_EQ(t.TakeBlocks().size(), 16u);
    EXPECT_EQ(t.TakeBatches(), (std::vector<size_t>{4, 4, 4, 4}));
    EXPECT_TRUE(t.Reassemble() == content.substr(0, 16 * 65464)) << "the bytes of the blocks, in order";
    t.Ack(14, t0 + 2ms);
    EXPECT_EQ(t.TakeBlocks(), (std::vector<uint16_t>{15, 16, 17, 18, 19, 20, 21}));
    EXPECT_EQ(t.TakeBatches(), (std::vector<size_t>{4, 3}));
    t.Ack(21, t0 + 3ms);
    EXPECT_EQ(t->GetState(), CTransfer::State::Completed);
}

TEST(Transfer, LockStepDoesNotBatch) {
    TransferHarness t(std::string(2000, 'l'));
    t.Batch();
    t->Start(t0);
    t.Ack(1, t0 + 1ms);
    EXPECT_EQ(t.TakeBlocks(), (std::vector<uint16_t>{1, 2}));
    EXPECT_TRUE(t.TakeBatches().empty());
}

TEST(Transfer, LostOptionAckResendsTheOptionAcknowledgement) {
    tftp::RequestedOptions requested;
    requested.blockSize = 1024;
    TransferHarness t(std::string(3000, 'o'), requested);
    t->Start(t0);
    ASSERT_EQ(t.Pending().size(), 1u);
    const auto oack = t.Pending()[0];
    EXPECT_EQ(oack[1], 6);
    t.TakeBlocks();
    t.Ack(1, t0 + 10ms);
    EXPECT_TRUE(t.TakeBlocks().empty()) << "data ACKs mean nothing before ACK 0";
    t->OnTimer(t->Deadline());
    ASSERT_EQ(t.Pending().size(), 1u);
    EXPECT_EQ(t.Pending()[0], oack);
    t.TakeBlocks();
    t.Ack(0, t->Deadline() - 1ms);
    EXPECT_EQ(t.TakeBlocks(), std::vector<uint16_t>{1});
}

TEST(Transfer, TimerAdaptsToTheRoundTripAndGivesUpOnlyAfterTheBudget) {
    TransferHarness t(std::string(512 * 4, 'r'));
    auto now = t0;
    t->Start(now);
    EXPECT_EQ(t->Rto(), CRttEstimator::kInitial);
    for (uint16_t block = 1; block <= 3; ++block) {
        now += 200us;
        t.Ack(block, now);
    }
    EXPECT_EQ(t->Rto(), CRttEstimator::kFloor) << "fast path: the floor holds";
    t.TakeBlocks();

    // Silence: resends back off, and the transfer ends only when 30 s have passed without progress.
    const auto lastProgress = now;
    int resends = 0;
    while (t->Running()) {
        now = t->Deadline();
        t->OnTimer(now);
        resends += static_cast<int>(t.Pending().size());
        t.TakeBlocks();
    }
    EXPECT_EQ(t->GetState(), CTransfer::State::TimedOut);
    EXPECT_GE(now - lastProgress, 30s);
    EXPECT_LT(now - lastProgress, 30s + CRttEstimator::kCeiling);
    EXPECT_GE(resends, 5);
    EXPECT_LE(resends, 14) << "backoff, not a resend every 100 ms";
}

// The server polls instead of sleeping only for a peer that has shown it answers fast, and only while the
// transfer runs: a slow or finished one must never keep the loop busy.
TEST(Transfer, AnAnswerIsExpectedSoonOnlyFromAFastPeerWhileRunning) {
    TransferHarness fast(std::string(1600, 'f')); // four blocks
    fast->Start(t0);
    EXPECT_FALSE(fast->AnswerExpectedWithin(100us)) << "nothing measured yet";
    fast.Ack(1, t0 + 30us);
    EXPECT_TRUE(fast->AnswerExpectedWithin(100us));
    fast.Ack(2, t0 + 60us);
    fast.Ack(3, t0 + 90us);
    EXPECT_EQ(fast->GetState(), CTransfer::State::Running);
    fast.Ack(4, t0 + 120us);
    EXPECT_EQ(fast->GetState(), CTransfer::State::Completed);
    EXPECT_FALSE(fast->AnswerExpectedWithin(100us)) << "a finished transfer expects nothing";

    TransferHarness slow(std::string(1500, 's'));
    slow->Start(t0);
    slow.Ack(1, t0 + 2ms);
    EXPECT_FALSE(slow->AnswerExpectedWithin(100us)) << "a radio link's round trip is milliseconds";
    EXPECT_TRUE(slow->AnswerExpectedWithin(10ms));
}

// A client names the timeout, but at most 10 s, and fixes the timer with it once it has answered. Until
// it first answers, the answer goes out at most three times, a second apart, and then its place is freed.
TEST(Transfer, TimeoutIsCappedFixesTheTimerAndASilentClientIsDroppedAfterThreeSends) {
    tftp::RequestedOptions requested;
    requested.timeoutSeconds = 255;
    TransferHarness silent("x", requested);
    silent->Start(t0);
    const std::string oack(silent.Pending()[0].begin(), silent.Pending()[0].end());
    EXPECT_EQ(oack, std::string("\0\6timeout\0"
                                "10\0",
                                13));
    int sends = 0;
    auto now = t0;
    while (silent->Running()) {
        EXPECT_LE(silent->Deadline() - now, 1s);
        now = silent->Deadline();
        sends += static_cast<int>(silent.Pending().size());
        silent.TakeBlocks();
        silent->OnTimer(now);
    }
    EXPECT_EQ(sends, CTransfer::kFirstAnswerSends);
    EXPECT_EQ(silent->GetState(), CTransfer::State::Unanswered);
    EXPECT_EQ(silent.Pending().size(), 1u) << "an error tells the client";

    requested.timeoutSeconds = 2;
    TransferHarness t("x", requested);
    t->Start(t0);
    t.Ack(0, t0 + 5ms);
    EXPECT_EQ(t->Deadline(), t0 + 5ms + 2s);
    t->OnTimer(t0 + 5ms + 2s);
    EXPECT_EQ(t->Deadline(), t0 + 5ms + 4s) << "no backoff with a fixed timeout";
    t->OnTimer(t0 + 5ms + 4s);
    t->OnTimer(t0 + 5ms + 6s);
    EXPECT_TRUE(t->Running()) << "a client that answered once is not dropped after three sends";
}

TEST(Transfer, BlockNumbersRollOverSoLongFilesArriveWhole) {
    tftp::RequestedOptions requested;
    requested.blockSize = 8;
    requested.windowSize = 64;
    std::string content(8 * 70000 + 3, '\0');
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 7 + i / 8);
    }
    TransferHarness t(content, requested);
    auto now = t0;
    t->Start(now);
    t.TakeBlocks();
    t.Ack(0, now);
    while (t->Running()) {
        const auto blocks = t.TakeBlocks();
        ASSERT_FALSE(blocks.empty());
        now += 1ms;
        t.Ack(blocks.back(), now);
    }
    EXPECT_EQ(t->GetState(), CTransfer::State::Completed);
    EXPECT_EQ(t.Reassemble(), content);
}

TEST(Transfer, AFileThatShrinksEndsWithAnError) {
    TransferHarness t(std::string(600 * 1024, 's')); // more than is read ahead at once
    t->Start(t0);
    ASSERT_EQ(::truncate((t.Dir().Path() / "file").c_str(), 600), 0);
    auto now = t0;
    uint16_t block = 0;
    while (t->Running() && block < 2000) {
        now += 1ms;
        t.Ack(++block, now);
    }
    EXPECT_EQ(t->GetState(), CTransfer::State::ReadFailed);
    EXPECT_LT(block, 1200) << "noticed when the next part of the file is read";
    ASSERT_FALSE(t.Pending().empty());
    EXPECT_EQ(t.Pending().back()[1], 5) << "the client is told";
}

TEST(RttEstimator, FollowsSamplesBetweenFloorAndCeiling) {
    CRttEstimator rtt;
    EXPECT_EQ(rtt.Rto(), 1s);
    rtt.Sample(50us);
    EXPECT_EQ(rtt.Rto(), 100ms);
    rtt.Sample(400ms);
    EXPECT_GT(rtt.Rto(), 400ms) << "a jump in delay raises the timer above the new delay";
    rtt.Backoff();
    const auto doubled = rtt.Rto();
    rtt.Backoff();
    EXPECT_EQ(rtt.Rto(), std::min<CRttEstimator::Duration>(doubled * 2, CRttEstimator::kCeiling));
    for (int i = 0; i < 10; ++i) {
        rtt.Backoff();
    }
    EXPECT_EQ(rtt.Rto(), CRttEstimator::kCeiling);
    for (int i = 0; i < 100; ++i) {
        rtt.Sample(1ms);
    }
    EXPECT_EQ(rtt.Rto(), 100ms);
}

} // namespace
} // namespace rf
