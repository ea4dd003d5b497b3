#include "relayd/Transfer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace rf {

CTransfer::CTransfer(int fileFd, uint64_t fileSize, const tftp::TransferOptions& options, Sender send,
                     std::chrono::milliseconds giveUp)
    : fd_(fileFd), fileSize_(fileSize), totalBlocks_(fileSize / options.BlockSize() + 1), options_(options),
      send_(std::move(send)), buffer_(tftp::kHeaderSize + options.BlockSize()),
      cache_(std::max<size_t>(1, kCacheBytes / options.BlockSize()) * options.BlockSize()) {
    const std::chrono::milliseconds fixed{std::chrono::seconds(options.TimeoutSeconds())};
    giveUp_ = std::max(giveUp, fixed * 3);
}

CTransfer::~CTransfer() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::chrono::nanoseconds CTransfer::Rto() const {
    if (options_.TimeoutSeconds() > 0) {
        return std::chrono::seconds(options_.TimeoutSeconds());
    }
    return rtt_.Rto();
}

bool CTransfer::AnswerExpectedWithin(std::chrono::nanoseconds limit) const {
    return Running() && rtt_.Measured() && rtt_.Smoothed() < limit;
}

void CTransfer::Start(TimePoint now) {
    lastProgress_ = now;
    if (!options_.Oack().empty()) {
        awaitingOackAck_ = true;
        send_(options_.Oack());
        ++packetsSent_;
        roundStart_ = now;
        roundResent_ = false;
        Arm(now);
        return;
    }
    SendWindow(now, false);
}

void CTransfer::OnPacket(std::span<const uint8_t> packet, TimePoint now) {
    if (!Running() || packet.size() < tftp::kHeaderSize) {
        return;
    }
    const uint16_t opcode = tftp::ReadU16(packet, 0);
    if (opcode == tftp::kError) {
        state_ = State::PeerError;
        deadline_ = TimePoint::max();
    } else if (opcode == tftp::kAck) {
        HandleAck(tftp::ReadU16(packet, 2), now);
    }
}

void CTransfer::HandleAck(uint16_t block, TimePoint now) {
    if (awaitingOackAck_) {
        if (block != 0) {
            return;
        }
        awaitingOackAck_ = false;
        answered_ = true;
        if (!roundResent_) {
            rtt_.Sample(now - roundStart_);
        }
        lastProgress_ = now;
        SendWindow(now, false);
        return;
    }
    // Which of the blocks in flight this wire number confirms. Zero distance is a duplicate; anything
    // beyond the last block sent is stale or bogus. Neither causes a send.
    const auto distance = static_cast<uint16_t>(block - static_cast<uint16_t>(acked_ & 0xFFFF));
    if (distance == 0 || acked_ + distance > sent_) {
        return;
    }
    acked_ += distance;
    answered_ = true;
    lastProgress_ = now;
    if (acked_ == sent_ && !roundResent_) {
        rtt_.Sample(now - roundStart_);
    }
    if (acked_ == totalBlocks_) {
        state_ = State::Completed;
        deadline_ = TimePoint::max();
        return;
    }
    // An acknowledgement short of the window's end shows a gap: go on from the block after it at once.
    SendWindow(now, acked_ < sent_);
}

void CTransfer::SendWindow(TimePoint now, bool resend) {
    const uint64_t last = std::min(acked_ + options_.WindowSize(), totalBlocks_);
    const bool sent = batch_ && last > acked_ + 1 ? SendBatch(acked_ + 1, last) : [&] {
        for (uint64_t block = acked_ + 1; block <= last; ++block) {
            if (!SendBlock(block)) {
                return false;
            }
        }
        return true;
    }();
    if (!sent) {
        Fail(State::ReadFailed, tftp::kNotDefined, "Read error");
        return;
    }
    sent_ = last;
    roundStart_ = now;
    roundResent_ = resend;
    Arm(now);
}

// The blocks first..last in batches of at most kBatchBytes.
bool CTransfer::SendBatch(uint64_t first, uint64_t last) {
    const size_t packetRoom = tftp::kHeaderSize + options_.BlockSize();
    const size_t perBatch = std::max<size_t>(1, kBatchBytes / packetRoom);
    if (batchBuffer_.empty()) {
        batchBuffer_.resize(std::min<size_t>(perBatch, options_.WindowSize()) * packetRoom);
    }
    const size_t capacity = batchBuffer_.size() / packetRoom;
    for (uint64_t block = first; block <= last;) {
        batchPackets_.clear();
        for (size_t slot = 0; slot < capacity && block <= last; ++slot, ++block) {
            uint8_t* out = batchBuffer_.data() + slot * packetRoom;
            const auto size = BuildBlock(block, out);
            if (!size) {
                return false;
            }
            batchPackets_.emplace_back(out, *size);
        }
        batch_(batchPackets_);
        packetsSent_ += batchPackets_.size();
    }
    return true;
}

bool CTransfer::SendBlock(uint64_t block) {
    const auto size = BuildBlock(block, buffer_.data());
    if (!size) {
        return false;
    }
    send_(std::span<const uint8_t>(buffer_.data(), *size));
    ++packetsSent_;
    return true;
}

std::optional<size_t> CTransfer::BuildBlock(uint64_t block, uint8_t* out) {
    const uint64_t offset = (block - 1) * options_.BlockSize();
    const size_t length = static_cast<size_t>(std::min<uint64_t>(options_.BlockSize(), fileSize_ - offset));
    if (length > 0 && !Cached(offset, length) && !Fill(offset)) {
        return std::nullopt;
    }
    tftp::WriteU16(out, tftp::kData);
    tftp::WriteU16(out + 2, static_cast<uint16_t>(block & 0xFFFF));
    if (length > 0) {
        std::memcpy(out + tftp::kHeaderSize, cache_.data() + (offset - cacheOffset_), length);
    }
    return tftp::kHeaderSize + length;
}

bool CTransfer::Cached(uint64_t offset, size_t length) const {
    return offset >= cacheOffset_ && offset + length <= cacheOffset_ + cacheLength_;
}

// Reads ahead from offset as much as the cache holds (whole blocks), so most blocks cost no system call.
bool CTransfer::Fill(uint64_t offset) {
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(cache_.size(), fileSize_ - offset));
    size_t done = 0;
    while (done < wanted) {
        const ssize_t n =
            ::pread(fd_, cache_.data() + done, wanted - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            cacheLength_ = 0;
            return false; // the file shrank or cannot be read
        }
        done += static_cast<size_t>(n);
    }
    cacheOffset_ = offset;
    cacheLength_ = done;
    return true;
}

void CTransfer::OnRepeatedRequest(TimePoint now) {
    if (Running() && (awaitingOackAck_ || acked_ == 0)) {
        Resend(now);
    }
}

void CTransfer::OnTimer(TimePoint now) {
    if (!Running() || now < deadline_) {
        return;
    }
    if (FirstAnswerPending() && firstAnswerSends_ >= kFirstAnswerSends) {
        Fail(State::Unanswered, tftp::kNotDefined, "No acknowledgement");
        return;
    }
    if (now - lastProgress_ >= giveUp_) {
        Fail(State::TimedOut, tftp::kNotDefined, "Timed out");
        return;
    }
    rtt_.Backoff();
    Resend(now);
}

void CTransfer::Resend(TimePoint now) {
    if (awaitingOackAck_) {
        send_(options_.Oack());
        ++packetsSent_;
        roundStart_ = now;
        roundResent_ = true;
        Arm(now);
        return;
    }
    SendWindow(now, true);
}

void CTransfer::Fail(State state, tftp::ErrorCode code, std::string_view message) {
    state_ = state;
    deadline_ = TimePoint::max();
    const auto packet = tftp::BuildError(code, message);
    send_(packet);
}

void CTransfer::Arm(TimePoint now) {
    if (FirstAnswerPending()) {
        ++firstAnswerSends_;
        deadline_ = now + std::min<std::chrono::nanoseconds>(Rto(), kFirstAnswerInterval);
        return;
    }
    deadline_ = now + Rto();
}

} // namespace rf
