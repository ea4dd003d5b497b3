#include "relayd/TftpRequest.h"

#include "core/IniDocument.h"
#include "relayd/TftpPacket.h"

#include <cstring>
#include <string_view>

namespace rf::tftp {

namespace {

// Walks the NUL-terminated strings of a packet.
class StringReader {
public:
    explicit StringReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    // The next string, or nullopt when no NUL ends it inside the packet.
    std::optional<std::string_view> Next() {
        const auto rest = bytes_.subspan(offset_);
        const void* nul = std::memchr(rest.data(), 0, rest.size());
        if (nul == nullptr) {
            return std::nullopt;
        }
        const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - rest.data());
        std::string_view text(reinterpret_cast<const char*>(rest.data()), length);
        offset_ += length + 1;
        return text;
    }
    bool AtEnd() const { return offset_ >= bytes_.size(); }
    // Some clients pad a request with NUL bytes.
    bool OnlyPaddingLeft() const {
        for (size_t i = offset_; i < bytes_.size(); ++i) {
            if (bytes_[i] != 0) {
                return false;
            }
        }
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t offset_ = 0;
};

template <typename T>
void TakeFirst(std::optional<T>& slot, bool& seen, std::string_view value, uint64_t low, uint64_t high) {
    if (seen) {
        return;
    }
    seen = true;
    const auto number = ParseDecimal(value);
    if (number && *number >= low && *number <= high) {
        slot = static_cast<T>(*number);
    }
}

} // namespace

std::optional<uint64_t> ParseDecimal(std::string_view text) {
    if (text.empty() || text.size() > 20) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

bool TftpRequest::ModeIsOctet() const {
    return EqualsIgnoreAsciiCase(mode, "octet");
}

TftpRequest TftpRequest::Parse(std::span<const uint8_t> packet) {
    TftpRequest request;
    if (packet.size() < 2) {
        request.status = Status::NotARequest;
        return request;
    }
    request.opcode = ReadU16(packet, 0);
    if (request.opcode != kReadRequest && request.opcode != kWriteRequest) {
        request.status = Status::NotARequest;
        return request;
    }
    StringReader reader(packet.subspan(2));
    const auto name = reader.Next();
    const auto mode = name ? reader.Next() : std::nullopt;
    if (!mode) {
        return request;
    }
    request.fileName = *name;
    request.mode = *mode;

    bool seenBlock = false, seenTimeout = false, seenSize = false, seenWindow = false;
    auto& options = request.options;
    while (!reader.AtEnd() && !reader.OnlyPaddingLeft()) {
        const auto option = reader.Next();
        const auto value = option ? reader.Next() : std::nullopt;
        if (!value) {
            return request;
        }
        if (EqualsIgnoreAsciiCase(*option, "blksize")) {
            TakeFirst(options.blockSize, seenBlock, *value, kMinBlockSize, kMaxBlockSize);
        } else if (EqualsIgnoreAsciiCase(*option, "timeout")) {
            TakeFirst(options.timeoutSeconds, seenTimeout, *value, 1, 255);
        } else if (EqualsIgnoreAsciiCase(*option, "tsize")) {
            TakeFirst(options.transferSize, seenSize, *value, 0, UINT64_MAX);
        } else if (EqualsIgnoreAsciiCase(*option, "windowsize")) {
            TakeFirst(options.windowSize, seenWindow, *value, 1, 65535);
        }
    }
    request.status = Status::Ok;
    return request;
}

} // namespace rf::tftp
