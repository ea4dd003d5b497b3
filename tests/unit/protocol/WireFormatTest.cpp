#include "protocol/PacketHeader.h"
#include "protocol/Wire.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace rf {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Built(MessageType type, const MacAddress& mac, bool addressed, const Bytes& payload) {
    Bytes out(kMaxDatagram, 0xAA);
    const size_t size = BuildPacket(out, type, mac, addressed, payload);
    EXPECT_TRUE(std::all_of(out.begin() + static_cast<long>(size), out.end(), [](uint8_t b) {
        return b == 0;
    })) << "the rest of the buffer is zeroed";
    out.resize(size);
    return out;
}

TEST(WireFormat, SearchBroadcastIsExactlyTheSixteenHeaderBytes) {
    const Bytes expected = {0x86, 0x19, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Built(MessageType::Search, MacAddress{}, false, {}), expected);
}

TEST(WireFormat, CommandCarriesTargetMacAddressedFlagAndPayloadLength) {
    const MacAddress target = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    const Bytes reboot = {0x86, 0x19, 0x00, 0x00, 0x09, 0x00, 0x01, 0x00,
                          0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, 0x00};
    EXPECT_EQ(Built(MessageType::Reboot, target, true, {}), reboot);

    const Bytes bridge = Built(MessageType::SetTransparentBridge, target, true, {0x01});
    const Bytes expected = {0x86, 0x19, 0x00, 0x00, 0x12, 0x00, 0x01, 0x00, 0x00,
                            0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x01, 0x00, 0x01};
    EXPECT_EQ(bridge, expected);
}

TEST(WireFormat, PayloadLimitIsEnforced) {
    Bytes out(kMaxDatagram);
    const Bytes largest(kMaxPayload, 0x5A);
    EXPECT_EQ(BuildPacket(out, MessageType::Upgrade, {}, true, largest), 1472u);
    EXPECT_EQ(out[14], 0xB0);
    EXPECT_EQ(out[15], 0x05) << "1456 little-endian";
    EXPECT_EQ(out[1471], 0x5A);

    const Bytes tooLarge(kMaxPayload + 1, 0x5A);
    EXPECT_EQ(BuildPacket(out, MessageType::Upgrade, {}, true, tooLarge), 0u);
    Bytes small(20);
    EXPECT_EQ(BuildPacket(small, MessageType::SetName, {}, true, Bytes(33)), 0u) << "does not fit";
    EXPECT_EQ(BuildPacket(small, MessageType::SetTransparentBridge, {}, true, Bytes{1}), 17u);
}

TEST(WireFormat, DecodeReadsEveryHeaderField) {
    const Bytes datagram = {0x86, 0x19, 0x05, 0x01, 0x0F, 0x00, 0x00, 0x07, 0xDE, 0xAD,
                            0xBE, 0xEF, 0x00, 0x42, 0x03, 0x00, 0x0a, 0x0b, 0x0c};
    const auto header = PacketHeader::Decode(datagram);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->model, 0x0105);
    EXPECT_EQ(header->messageType(), MessageType::Heartbeat);
    EXPECT_EQ(header->addressed, 0);
    EXPECT_EQ(header->reserved, 7);
    EXPECT_EQ(header->mac, (MacAddress{0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x42}));
    EXPECT_EQ(header->length, 3);
    const auto encoded = header->Encode();
    EXPECT_EQ(Bytes(encoded.begin(), encoded.end()), Bytes(datagram.begin(), datagram.begin() + 16));
}

TEST(WireFormat, DecodeAcceptsOnlySixteenToMaxBytesWithTheMagic) {
    Bytes datagram(16, 0);
    datagram[0] = 0x86;
    datagram[1] = 0x19;
    EXPECT_TRUE(PacketHeader::Decode(datagram)) << "16 bytes with length 0";
    EXPECT_FALSE(PacketHeader::Decode(std::span(datagram).first(15))) << "15 bytes";
    datagram.resize(kMaxDatagram);
    EXPECT_TRUE(PacketHeader::Decode(datagram));
    datagram.push_back(0);
    EXPECT_FALSE(PacketHeader::Decode(datagram)) << "1473 bytes";

    Bytes swapped(16, 0);
    swapped[0] = 0x19;
    swapped[1] = 0x86;
    EXPECT_FALSE(PacketHeader::Decode(swapped)) << "magic in the wrong byte order";
    EXPECT_FALSE(PacketHeader::Decode({}));
}

TEST(WireFormat, PayloadIsBoundedByReceivedBytesAndLengthField) {
    Bytes datagram = {0x86, 0x19, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE8, 0x02, 1, 2, 3};
    EXPECT_EQ(PacketPayload(datagram).size(), 3u) << "length 744 claimed, 3 bytes received";
    datagram[14] = 0x02;
    datagram[15] = 0x00;
    const auto payload = PacketPayload(datagram);
    ASSERT_EQ(payload.size(), 2u) << "trailing bytes beyond the length are not payload";
    EXPECT_EQ(payload[0], 1);
    EXPECT_TRUE(PacketPayload(std::span(datagram).first(10)).empty());
}

TEST(WireFormat, LittleEndianHelpersMatchHandWrittenBytes) {
    const std::array<uint8_t, 6> bytes = {0xFF, 0x78, 0x56, 0x34, 0x12, 0xFF};
    EXPECT_EQ(LoadU32(bytes, 1), 0x12345678u);
    EXPECT_EQ(LoadU16(bytes, 0), 0x78FFu);
    std::array<uint8_t, 6> out{};
    StoreU32(out, 2, 0xA1B2C3D4);
    StoreU16(out, 0, 0x0102);
    EXPECT_EQ(out, (std::array<uint8_t, 6>{0x02, 0x01, 0xD4, 0xC3, 0xB2, 0xA1}));
}

TEST(WireFormat, MessageTypesKeepTheirNumbersAroundTheUnusedOne) {
    EXPECT_EQ(static_cast<uint16_t>(MessageType::SetIp), 3);
    EXPECT_EQ(static_cast<uint16_t>(MessageType::ScanAps), 6);
    EXPECT_EQ(static_cast<uint16_t>(MessageType::SetVlan), 13);
    EXPECT_EQ(static_cast<uint16_t>(MessageType::Heartbeat), 15);
    EXPECT_EQ(static_cast<uint16_t>(MessageType::SetTransparentBridge), 18);
}

} // namespace
} // namespace rf
