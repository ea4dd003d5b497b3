#include "relayd/TransferOptions.h"

#include <algorithm>
#include <charconv>

namespace rf::tftp {

TransferOptions TransferOptions::Negotiate(const RequestedOptions& requested, uint64_t fileSize,
                                           uint16_t blockSizeCap) {
    TransferOptions granted;
    if (requested.blockSize) {
        const auto cap = std::clamp<uint16_t>(blockSizeCap, kMinBlockSize, kMaxBlockSize);
        granted.blockSize_ = std::min(*requested.blockSize, cap);
        granted.Append("blksize", granted.blockSize_);
    }
    if (requested.transferSize) {
        granted.Append("tsize", fileSize);
    }
    if (requested.timeoutSeconds) {
        granted.timeoutSeconds_ = std::min(*requested.timeoutSeconds, kTimeoutCap);
        granted.Append("timeout", granted.timeoutSeconds_);
    }
    if (requested.windowSize) {
        granted.windowSize_ = std::min(*requested.windowSize, kWindowSizeCap);
        granted.Append("windowsize", granted.windowSize_);
    }
    return granted;
}

void TransferOptions::Append(std::string_view name, uint64_t value) {
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    const size_t valueLength = ec == std::errc() ? static_cast<size_t>(end - digits) : 0;
    const size_t start = oackSize_ == 0 ? 2 : oackSize_;
    const size_t needed = start + name.size() + 1 + valueLength + 1;
    if (valueLength == 0 || needed > oack_.size()) {
        return;
    }
    WriteU16(oack_.data(), kOptionAck);
    size_t at = start;
    at = static_cast<size_t>(std::copy(name.begin(), name.end(), oack_.begin() + at) - oack_.begin());
    oack_[at++] = 0;
    at = static_cast<size_t>(std::copy(digits, digits + valueLength, oack_.begin() + at) - oack_.begin());
    oack_[at++] = 0;
    oackSize_ = at;
}

} // namespace rf::tftp
