#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace rf::tftp {

// Options a client asked for. An option is present only when its first occurrence carried a value in
// range; later occurrences and unknown options are ignored.
struct RequestedOptions {
    std::optional<uint16_t> blockSize;     // 8 ... 65464
    std::optional<uint8_t> timeoutSeconds; // 1 ... 255
    std::optional<uint64_t> transferSize;  // any decimal that fits 64 bits
    std::optional<uint16_t> windowSize;    // 1 ... 65535
};

// A read or write request: opcode, file name, mode, options.
struct TftpRequest {
    enum class Status {
        Ok,
        NotARequest, // too short, or an opcode other than 1 and 2
        Malformed,   // a string runs past the end of the packet, or an option has no value
    };

    Status status = Status::Malformed;
    uint16_t opcode = 0;
    std::string fileName;
    std::string mode; // as sent
    RequestedOptions options;

    bool Ok() const { return status == Status::Ok; }
    bool ModeIsOctet() const;

    // Reads a request strictly from the bytes of one datagram; never reads past its end.
    static TftpRequest Parse(std::span<const uint8_t> packet);
};

// A decimal number of at most 20 digits without sign or blanks that fits 64 bits.
std::optional<uint64_t> ParseDecimal(std::string_view text);

} // namespace rf::tftp
