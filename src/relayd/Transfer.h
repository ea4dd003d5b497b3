#pragma once

#include "relayd/RttEstimator.h"
#include "relayd/TransferOptions.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace rf {

// One read transfer, without sockets: packets come in through OnPacket, the timer through OnTimer, and
// everything to send goes out through the sender. Blocks are counted from 1 without limit; on the wire
// the number wraps from 65535 to 0, so files of any length transfer whole.
class CTransfer {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Sender = std::function<void(std::span<const uint8_t>)>;
    // Sends several packets at once (one system call for a window); each one lost on its own if it fails.
    using BatchSender = std::function<void(std::span<const std::span<const uint8_t>>)>;
    static constexpr std::chrono::milliseconds kDefaultGiveUp{30000};
    // A client that has not acknowledged the first answer after this many sends of it is not listening:
    // its transfer ends so that it holds no place.
    static constexpr int kFirstAnswerSends = 3;
    static constexpr std::chrono::milliseconds kFirstAnswerInterval{1000};

    enum class State { Running, Completed, PeerError, TimedOut, Unanswered, ReadFailed };

    // Takes ownership of fileFd. giveUp is how long the peer may stay silent before the transfer ends; it
    // does not depend on the retransmission timer.
    CTransfer(int fileFd, uint64_t fileSize, const tftp::TransferOptions& options, Sender send,
              std::chrono::milliseconds giveUp = kDefaultGiveUp);
    ~CTransfer();
    CTransfer(const CTransfer&) = delete;
    CTransfer& operator=(const CTransfer&) = delete;

    // With a batch sender, the blocks of a window go out through it instead of one by one.
    void SetBatchSender(BatchSender batch) { batch_ = std::move(batch); }

    // Sends the option acknowledgement, or the first window when no option was granted.
    void Start(TimePoint now);
    // A packet from the peer's own address and port.
    void OnPacket(std::span<const uint8_t> packet, TimePoint now);
    // The peer sent its request again: it missed our first answer, which is sent again while the
    // transfer has made no progress.
    void OnRepeatedRequest(TimePoint now);
    // Call once now has reached Deadline().
    void OnTimer(TimePoint now);

    TimePoint Deadline() const { return deadline_; }
    State GetState() const { return state_; }
    bool Running() const { return state_ == State::Running; }
    uint64_t PacketsSent() const { return packetsSent_; }
    uint64_t FileSize() const { return fileSize_; }
    // The bytes of the file the peer has confirmed.
    uint64_t BytesAcknowledged() const { return std::min(acked_ * options_.BlockSize(), fileSize_); }
    std::chrono::nanoseconds Rto() const;
    // True while the transfer runs and its measured round trip is shorter than limit: the peer's next
    // packet is due within about that time.
    bool AnswerExpectedWithin(std::chrono::nanoseconds limit) const;

private:
    void HandleAck(uint16_t block, TimePoint now);
    void SendWindow(TimePoint now, bool resend);
    bool SendBatch(uint64_t first, uint64_t last);
    bool SendBlock(uint64_t block);
    // Writes the data packet of block into out (room for a header and a block); its size, or nullopt when
    // the file cannot be read.
    std::optional<size_t> BuildBlock(uint64_t block, uint8_t* out);
    bool Cached(uint64_t offset, size_t length) const;
    bool Fill(uint64_t offset);
    void Resend(TimePoint now);
    void Fail(State state, tftp::ErrorCode code, std::string_view message);
    void Arm(TimePoint now);
    bool FirstAnswerPending() const { return !answered_; }

    int fd_;
    uint64_t fileSize_;
    uint64_t totalBlocks_; // the last block is always shorter than a full one, possibly empty
    tftp::TransferOptions options_;
    Sender send_;
    BatchSender batch_;
    std::chrono::milliseconds giveUp_;
    CRttEstimator rtt_;

    State state_ = State::Running;
    bool awaitingOackAck_ = false;
    bool answered_ = false; // the peer has confirmed something
    uint64_t acked_ = 0;    // highest block the peer has confirmed
    uint64_t sent_ = 0;     // highest block sent in the current round
    bool roundResent_ = false;
    TimePoint roundStart_{};
    TimePoint lastProgress_{};
    TimePoint deadline_ = TimePoint::max();
    uint64_t packetsSent_ = 0;
    int firstAnswerSends_ = 0;    // sends of the first answer, until the peer confirms it
    std::vector<uint8_t> buffer_; // the packet being sent
    static constexpr size_t kBatchBytes = 256 * 1024;
    std::vector<uint8_t> batchBuffer_; // the packets of one batch, back to back
    std::vector<std::span<const uint8_t>> batchPackets_;
    static constexpr size_t kCacheBytes = 256 * 1024;
    std::vector<uint8_t> cache_; // file content read ahead, whole blocks
    uint64_t cacheOffset_ = 0;
    size_t cacheLength_ = 0;
};

} // namespace rf
