#include "TftpFetch.h"

#include <algorithm>
#include <charconv>

namespace rf {
namespace {

constexpr uint16_t kReadRequest = 1;
constexpr uint16_t kData = 3;
constexpr uint16_t kAck = 4;
constexpr uint16_t kError = 5;
constexpr uint16_t kOptionAck = 6;
constexpr uint16_t kErrorNotDefined = 0;
constexpr uint16_t kErrorUnknownTransfer = 5;
constexpr uint16_t kErrorOptionRefused = 8;
constexpr size_t kHeader = 4;

uint16_t Word(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}

void PutWord(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

std::vector<uint8_t> ErrorPacket(uint16_t code, const std::string& message) {
    std::vector<uint8_t> packet;
    PutWord(packet, kError);
    PutWord(packet, code);
    PutText(packet, message);
    return packet;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::optional<uint64_t> Number(const std::string& text) {
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// The zero-terminated texts of a packet from offset on; nullopt when the last one is not terminated.
std::optional<std::vector<std::string>> Texts(std::span<const uint8_t> packet, size_t offset) {
    std::vector<std::string> texts;
    while (offset < packet.size()) {
        const auto end = std::find(packet.begin() + static_cast<ptrdiff_t>(offset), packet.end(), uint8_t{0});
        if (end == packet.end()) {
            return std::nullopt;
        }
        texts.emplace_back(packet.begin() + static_cast<ptrdiff_t>(offset), end);
        offset = static_cast<size_t>(end - packet.begin()) + 1;
    }
    return texts;
}

} // namespace

uint64_t TftpFetch::Checksum(std::span<const uint8_t> bytes, uint64_t start) {
    uint64_t hash = start;
    for (const uint8_t b : bytes) {
        hash = (hash ^ b) * 0x100000001b3ULL;
    }
    return hash;
}

TftpFetch::TftpFetch(std::string fileName, uint16_t serverPort, Options options, Sender send)
    : fileName_(std::move(fileName)), requestPort_(serverPort), options_(options), send_(std::move(send)) {}

void TftpFetch::Start(int64_t nowMs) {
    last_.clear();
    PutWord(last_, kReadRequest);
    PutText(last_, fileName_);
    PutText(last_, "octet");
    PutText(last_, "blksize");
    PutText(last_, std::to_string(options_.blockSize));
    PutText(last_, "tsize");
    PutText(last_, "0");
    if (options_.windowSize > 0) {
        PutText(last_, "windowsize");
        PutText(last_, std::to_string(options_.windowSize));
    }
    Send(requestPort_, last_);
    Progress(nowMs);
}

void TftpFetch::OnDatagram(uint16_t fromPort, std::span<const uint8_t> packet, int64_t nowMs) {
    if (!Running() || packet.size() < kHeader) {
        return;
    }
    if (!started_) {
        started_ = true;
        serverPort_ = fromPort; // the server answers from the transfer's own port
    } else if (fromPort != serverPort_) {
        if (Word(packet, 0) != kError) {
            Send(fromPort, ErrorPacket(kErrorUnknownTransfer, "Unknown transfer ID"));
        }
        return;
    }
    switch (Word(packet, 0)) {
    case kError: {
        const auto texts = Texts(packet, kHeader);
        Fail("server error " + std::to_string(Word(packet, 2)) +
                 (texts && !texts->empty() ? ": " + texts->front() : std::string()),
             std::nullopt);
        break;
    }
    case kOptionAck:
        OnOptionAck(packet, nowMs);
        break;
    case kData:
        OnData(packet, nowMs);
        break;
    default:
        Fail("unexpected packet from the server", kErrorNotDefined);
    }
}

void TftpFetch::OnOptionAck(std::span<const uint8_t> packet, int64_t nowMs) {
    if (received_ > 0) {
        return; // a late copy; data is flowing already
    }
    if (acked_ == 0 && !last_.empty() && Word(last_, 0) == kAck) {
        Send(serverPort_, last_); // our acknowledgement of the options was lost
        return;
    }
    const auto texts = Texts(packet, 2);
    if (!texts || texts->size() % 2 != 0) {
        Fail("malformed option acknowledgement", kErrorOptionRefused);
        return;
    }
    for (size_t i = 0; i < texts->size(); i += 2) {
        if (!TakeOption(Lower((*texts)[i]), (*texts)[i + 1])) {
            return;
        }
    }
    Acknowledge(0);
    Progress(nowMs);
}

// A server may grant less than asked, never more, and nothing that was not asked.
bool TftpFetch::TakeOption(const std::string& name, const std::string& value) {
    const auto number = Number(value);
    if (name == "blksize" && number && *number >= 8 && *number <= options_.blockSize) {
        blockSize_ = static_cast<uint16_t>(*number);
        return true;
    }
    if (name == "windowsize" && options_.windowSize > 0 && number && *number >= 1 &&
        *number <= options_.windowSize) {
        window_ = static_cast<uint16_t>(*number);
        return true;
    }
    if (name == "tsize" && number) {
        if (options_.expectedSize && *number != *options_.expectedSize) {
            Fail("the server offers " + value + " bytes, " + std::to_string(*options_.expectedSize) +
                     " were announced",
                 kErrorNotDefined);
            return false;
        }
        return true;
    }
    Fail("option not granted as asked: " + name + "=" + value, kErrorOptionRefused);
    return false;
}

void TftpFetch::OnData(std::span<const uint8_t> packet, int64_t nowMs) {
    const size_t length = packet.size() - kHeader;
    if (length > blockSize_) {
        Fail("data block longer than the block size", kErrorNotDefined);
        return;
    }
    const uint16_t wire = Word(packet, 2);
    if (wire != static_cast<uint16_t>((received_ + 1) & 0xFFFF)) {
        const auto behind = static_cast<uint16_t>(static_cast<uint16_t>(received_ & 0xFFFF) - wire);
        // A block we hold means our acknowledgement was lost; one further ahead means blocks were. Either
        // way the server learns where we are, once a round (every time in lock-step, where a repeated
        // block is the server's retransmission).
        if (!resynced_ || (behind < 0x8000 && window_ == 1)) {
            resynced_ = true;
            Acknowledge(received_);
        }
        return;
    }
    if (options_.expectedSize && bytes_ + length > *options_.expectedSize) {
        Fail("more data than announced", kErrorNotDefined);
        return;
    }
    resynced_ = false;
    ++received_;
    bytes_ += length;
    checksum_ = Checksum(packet.subspan(kHeader), checksum_);
    const auto data = packet.subspan(kHeader);
    head_.append(reinterpret_cast<const char*>(data.data()), std::min(data.size(), kHeadSize - head_.size()));
    Progress(nowMs);
    const bool last = length < blockSize_;
    if (last || received_ - acked_ >= window_) {
        Acknowledge(received_);
    }
    if (last) {
        state_ = State::Complete;
        deadline_ = INT64_MAX;
    }
}

void TftpFetch::OnTimer(int64_t nowMs) {
    if (!Running() || nowMs < deadline_) {
        return;
    }
    if (nowMs - lastProgressMs_ >= options_.giveUpMs) {
        Fail("timed out", kErrorNotDefined);
        return;
    }
    Send(started_ ? serverPort_ : requestPort_, last_);
    deadline_ = nowMs + options_.retransmitMs;
}

void TftpFetch::Acknowledge(uint64_t block) {
    last_.clear();
    PutWord(last_, kAck);
    PutWord(last_, static_cast<uint16_t>(block & 0xFFFF));
    acked_ = block;
    Send(serverPort_, last_);
}

void TftpFetch::Progress(int64_t nowMs) {
    lastProgressMs_ = nowMs;
    deadline_ = nowMs + options_.retransmitMs;
}

void TftpFetch::Fail(std::string why, std::optional<uint16_t> tellServer) {
    state_ = State::Failed;
    deadline_ = INT64_MAX;
    error_ = std::move(why);
    if (tellServer && started_) {
        Send(serverPort_, ErrorPacket(*tellServer, error_));
    }
}

void TftpFetch::Send(uint16_t port, const std::vector<uint8_t>& packet) {
    send_(port, packet);
}

} // namespace rf
