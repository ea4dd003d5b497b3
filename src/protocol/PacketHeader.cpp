#include "protocol/PacketHeader.h"

#include <algorithm>

namespace rf {

void PacketHeader::Encode(std::span<uint8_t, kHeaderSize> out) const {
    StoreU16(out, kMagicOffset, magic);
    StoreU16(out, kModelOffset, model);
    StoreU16(out, kTypeOffset, type);
    out[kAddressedOffset] = addressed;
    out[kReservedOffset] = reserved;
    StoreMac(out, kMacOffset, mac);
    StoreU16(out, kLengthOffset, length);
}

std::array<uint8_t, kHeaderSize> PacketHeader::Encode() const {
    std::array<uint8_t, kHeaderSize> out{};
    Encode(std::span<uint8_t, kHeaderSize>(out));
    return out;
}

std::optional<PacketHeader> PacketHeader::Decode(std::span<const uint8_t> datagram) {
    if (datagram.size() < kHeaderSize || datagram.size() > kMaxDatagram) {
        return std::nullopt;
    }
    PacketHeader header;
    header.magic = LoadU16(datagram, kMagicOffset);
    if (header.magic != kMagic) {
        return std::nullopt;
    }
    header.model = LoadU16(datagram, kModelOffset);
    header.type = LoadU16(datagram, kTypeOffset);
    header.addressed = datagram[kAddressedOffset];
    header.reserved = datagram[kReservedOffset];
    header.mac = LoadMac(datagram, kMacOffset);
    header.length = LoadU16(datagram, kLengthOffset);
    return header;
}

std::optional<PacketHeader> PacketHeader::DecodeReceived(std::span<const uint8_t> datagram) {
    auto header = Decode(datagram);
    if (header && header->length != datagram.size() - kHeaderSize) {
        return std::nullopt;
    }
    return header;
}

std::span<const uint8_t> PacketPayload(std::span<const uint8_t> datagram) {
    if (datagram.size() < kHeaderSize) {
        return {};
    }
    const auto rest = datagram.subspan(kHeaderSize);
    return rest.first(std::min<size_t>(rest.size(), LoadU16(datagram, PacketHeader::kLengthOffset)));
}

size_t BuildPacket(std::span<uint8_t> out, MessageType type, const MacAddress& mac, bool addressed,
                   std::span<const uint8_t> payload) {
    if (payload.size() > kMaxPayload || out.size() < kHeaderSize + payload.size()) {
        return 0;
    }
    std::ranges::fill(out.first(std::min(out.size(), kMaxDatagram)), uint8_t{0});
    PacketHeader header;
    header.type = static_cast<uint16_t>(type);
    header.addressed = addressed ? 1 : 0;
    header.mac = mac;
    header.length = static_cast<uint16_t>(payload.size());
    header.Encode(out.first<kHeaderSize>());
    std::ranges::copy(payload, out.begin() + kHeaderSize);
    return kHeaderSize + payload.size();
}

} // namespace rf
