#include "protocol/Wire.h"

#include <algorithm>

namespace rf {

uint16_t LoadU16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t LoadU32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

void StoreU16(std::span<uint8_t> bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void StoreU32(std::span<uint8_t> bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

MacAddress LoadMac(std::span<const uint8_t> bytes, size_t offset) {
    MacAddress mac{};
    std::ranges::copy(bytes.subspan(offset, mac.size()), mac.begin());
    return mac;
}

void StoreMac(std::span<uint8_t> bytes, size_t offset, const MacAddress& mac) {
    std::ranges::copy(mac, bytes.subspan(offset, mac.size()).begin());
}

Ipv4Bytes LoadIpv4(std::span<const uint8_t> bytes, size_t offset) {
    Ipv4Bytes ip{};
    std::ranges::copy(bytes.subspan(offset, ip.size()), ip.begin());
    return ip;
}

void StoreIpv4(std::span<uint8_t> bytes, size_t offset, const Ipv4Bytes& ip) {
    std::ranges::copy(ip, bytes.subspan(offset, ip.size()).begin());
}

std::string LoadText(std::span<const uint8_t> bytes, size_t offset, size_t width, size_t lengthOffset) {
    const size_t length = std::min<size_t>(bytes[lengthOffset], width);
    const auto field = bytes.subspan(offset, length);
    return std::string(field.begin(), field.end());
}

void StoreText(std::span<uint8_t> bytes, size_t offset, size_t width, size_t lengthOffset,
               std::string_view text) {
    const size_t length = std::min(text.size(), std::min<size_t>(width, 255));
    auto field = bytes.subspan(offset, width);
    std::ranges::fill(field, uint8_t{0});
    std::ranges::transform(text.substr(0, length), field.begin(),
                           [](char c) { return static_cast<uint8_t>(c); });
    bytes[lengthOffset] = static_cast<uint8_t>(length);
}

void CopyReceived(std::span<const uint8_t> source, std::span<uint8_t> destination) {
    const size_t count = std::min(source.size(), destination.size());
    std::ranges::copy(source.first(count), destination.begin());
    std::ranges::fill(destination.subspan(count), uint8_t{0});
}

} // namespace rf
