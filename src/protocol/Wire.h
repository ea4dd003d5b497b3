#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// Every datagram between the PC and a radio is a 16-byte header and a payload; integers are little-endian.
inline constexpr uint16_t kMagic = 0x1986;
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kMaxDatagram = 1472;
inline constexpr size_t kMaxPayload = kMaxDatagram - kHeaderSize;

// Ports on the PC side.
inline constexpr uint16_t kSearchPort = 9786;    // search broadcasts go out from and to this port
inline constexpr uint16_t kAnnouncePort = 9785;  // devices answer a search here
inline constexpr uint16_t kHeartbeatPort = 9787; // heartbeats; also the local port of command sockets
inline constexpr uint16_t kReplyPort = 9788;     // replies to commands
// Commands to one device go to this group on kHeartbeatPort; the device picks them out by the header MAC.
inline constexpr const char* kMulticastGroup = "239.255.255.250";

enum class MessageType : uint16_t {
    Search = 1,
    GetInfo,
    SetIp,
    SetWireless,
    SetRebootSchedule,
    ScanAps,
    SetBridge,
    SetName,
    Reboot,
    Restore,
    Upgrade,
    UpgradeReport,
    SetVlan,
    Unused14,
    Heartbeat,
    UpgradePoll,
    Leave,
    SetTransparentBridge,
};

using MacAddress = std::array<uint8_t, 6>;
using Ipv4Bytes = std::array<uint8_t, 4>; // first octet first, as on the wire

// Little-endian loads and stores at an offset. The caller guarantees that the bytes exist.
uint16_t LoadU16(std::span<const uint8_t> bytes, size_t offset);
uint32_t LoadU32(std::span<const uint8_t> bytes, size_t offset);
void StoreU16(std::span<uint8_t> bytes, size_t offset, uint16_t value);
void StoreU32(std::span<uint8_t> bytes, size_t offset, uint32_t value);

MacAddress LoadMac(std::span<const uint8_t> bytes, size_t offset);
void StoreMac(std::span<uint8_t> bytes, size_t offset, const MacAddress& mac);
Ipv4Bytes LoadIpv4(std::span<const uint8_t> bytes, size_t offset);
void StoreIpv4(std::span<uint8_t> bytes, size_t offset, const Ipv4Bytes& ip);

// A fixed-width, zero-padded text with its length byte at lengthOffset. Reading takes
// min(length byte, width) bytes; writing cuts the text to width, zero-pads and sets the length byte.
std::string LoadText(std::span<const uint8_t> bytes, size_t offset, size_t width, size_t lengthOffset);
void StoreText(std::span<uint8_t> bytes, size_t offset, size_t width, size_t lengthOffset,
               std::string_view text);

// Copies min(source size, destination size) bytes and zeroes the rest of destination.
void CopyReceived(std::span<const uint8_t> source, std::span<uint8_t> destination);

} // namespace rf
