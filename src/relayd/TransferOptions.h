#pragma once

#include "relayd/TftpPacket.h"
#include "relayd/TftpRequest.h"

#include <array>
#include <cstdint>
#include <span>

namespace rf::tftp {

// What the server grants for one transfer, and the option acknowledgement that tells the client.
class TransferOptions {
public:
    static constexpr uint16_t kWindowSizeCap = 64;
    // A client may not make the server wait longer than this between two sends of a block.
    static constexpr uint8_t kTimeoutCap = 10;
    // Room for all four options with their longest values.
    static constexpr size_t kMaxOackSize = 128;

    // blockSizeCap is what one datagram on the path carries (1468 on Ethernet).
    static TransferOptions Negotiate(const RequestedOptions& requested, uint64_t fileSize,
                                     uint16_t blockSizeCap);

    uint16_t BlockSize() const { return blockSize_; }
    uint16_t WindowSize() const { return windowSize_; }
    uint8_t TimeoutSeconds() const { return timeoutSeconds_; } // 0: not negotiated
    // Empty when the client asked for nothing the server grants: the transfer then starts with data.
    std::span<const uint8_t> Oack() const { return {oack_.data(), oackSize_}; }

private:
    void Append(std::string_view name, uint64_t value);

    uint16_t blockSize_ = kDefaultBlockSize;
    uint16_t windowSize_ = 1;
    uint8_t timeoutSeconds_ = 0;
    std::array<uint8_t, kMaxOackSize> oack_{};
    size_t oackSize_ = 0;
};

} // namespace rf::tftp
