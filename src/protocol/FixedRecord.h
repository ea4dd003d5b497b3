#pragma once

#include "protocol/Wire.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// Storage shared by every record with a fixed byte layout: N bytes, zero until set, with typed access at
// named offsets. Records are plain values; copying one copies its bytes.
template <size_t N> class FixedRecord {
public:
    static constexpr size_t kSize = N;

    std::span<const uint8_t, N> bytes() const { return bytes_; }
    std::span<uint8_t, N> mutable_bytes() { return bytes_; }

    friend bool operator==(const FixedRecord&, const FixedRecord&) = default;

protected:
    // What was received (at most N bytes) goes to the front; the rest stays zero.
    void Assign(std::span<const uint8_t> received) { CopyReceived(received, bytes_); }

    uint8_t U8(size_t offset) const { return bytes_[offset]; }
    void SetU8(size_t offset, uint8_t value) { bytes_[offset] = value; }
    uint16_t U16(size_t offset) const { return LoadU16(bytes_, offset); }
    void SetU16(size_t offset, uint16_t value) { StoreU16(bytes_, offset, value); }
    uint32_t U32(size_t offset) const { return LoadU32(bytes_, offset); }
    void SetU32(size_t offset, uint32_t value) { StoreU32(bytes_, offset, value); }
    MacAddress Mac(size_t offset) const { return LoadMac(bytes_, offset); }
    void SetMac(size_t offset, const MacAddress& mac) { StoreMac(bytes_, offset, mac); }
    Ipv4Bytes Ip(size_t offset) const { return LoadIpv4(bytes_, offset); }
    void SetIp(size_t offset, const Ipv4Bytes& ip) { StoreIpv4(bytes_, offset, ip); }
    std::string Text(size_t offset, size_t width, size_t lengthOffset) const {
        return LoadText(bytes_, offset, width, lengthOffset);
    }
    void SetText(size_t offset, size_t width, size_t lengthOffset, std::string_view text) {
        StoreText(bytes_, offset, width, lengthOffset, text);
    }
    std::span<const uint8_t> Slice(size_t offset, size_t size) const {
        return std::span<const uint8_t>(bytes_).subspan(offset, size);
    }
    std::span<uint8_t> MutableSlice(size_t offset, size_t size) {
        return std::span<uint8_t>(bytes_).subspan(offset, size);
    }

private:
    std::array<uint8_t, N> bytes_{};
};

} // namespace rf
