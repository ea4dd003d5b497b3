#pragma once

#include "protocol/DeviceInfo.h"
#include "protocol/Wire.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// The 22-byte IP settings block: mode, address, mask, gateway, DNS 1, DNS 2 (four bytes each, first octet
// first) and the apply flag.
using IpSettingsBlock = std::array<uint8_t, DeviceInfo::kIpSettingsSize>;
// Offsets inside the block: the record's own, counted from where the block starts.
inline constexpr size_t kBlockIpOffset = DeviceInfo::kIpOffset - DeviceInfo::kIpSettingsOffset;
inline constexpr size_t kBlockMaskOffset = DeviceInfo::kIpMaskOffset - DeviceInfo::kIpSettingsOffset;
inline constexpr size_t kBlockGatewayOffset = DeviceInfo::kIpGatewayOffset - DeviceInfo::kIpSettingsOffset;
inline constexpr size_t kBlockDns1Offset = DeviceInfo::kIpDns1Offset - DeviceInfo::kIpSettingsOffset;
inline constexpr size_t kBlockDns2Offset = DeviceInfo::kIpDns2Offset - DeviceInfo::kIpSettingsOffset;
inline constexpr size_t kBlockApplyOffset = DeviceInfo::kIpApplyFlagOffset - DeviceInfo::kIpSettingsOffset;

// One address of a block, and its dotted text.
Ipv4Bytes BlockAddress(const IpSettingsBlock& block, size_t offset);
void SetBlockAddress(IpSettingsBlock& block, size_t offset, const Ipv4Bytes& ip);

// The settings the multi-device IP dialog hands to its worker: a range of addresses and what every
// device of the batch shares.
struct IpBatch {
    Ipv4Bytes start{};
    Ipv4Bytes end{};
    Ipv4Bytes mask{};
    Ipv4Bytes gateway{};
    Ipv4Bytes dns1{};
    Ipv4Bytes dns2{};
};

// The address of a number with the first octet most significant (the inverse of IpOrder).
Ipv4Bytes IpFromOrder(uint32_t value);

// The range and shared settings of the multi-device dialog: for one device exactly ValidateIpSettings with
// the start; for two or more, the end by the same rules too, and the start below the end. Empty when
// valid, else the message key of the first failure.
std::string ValidateIpRange(std::string_view start, std::string_view end, std::string_view mask,
                            std::string_view gateway, std::string_view dns1, std::string_view dns2,
                            size_t deviceCount);

// The addresses handed out: for one device the start address; for several, the addresses from start to
// end in ascending order that are neither the network nor the broadcast address of the batch's mask (see
// IsSubnetHost) and are not in use by another device (inUse, may be empty), one per device in order, until
// either runs out. Devices beyond the result get nothing.
std::vector<Ipv4Bytes> AssignIpRange(const IpBatch& batch, size_t deviceCount,
                                     const std::function<bool(const Ipv4Bytes&)>& inUse = {});

// The SetIp payload that puts a device on static settings, applied at once: the one builder of SetIp
// blocks for every caller.
IpSettingsBlock BuildStaticIpBlock(const Ipv4Bytes& ip, const Ipv4Bytes& mask, const Ipv4Bytes& gateway,
                                   const Ipv4Bytes& dns1, const Ipv4Bytes& dns2);
// The SetIp payload for one device of the batch: its address and the shared settings.
IpSettingsBlock BuildBatchIpBlock(const IpBatch& batch, const Ipv4Bytes& ip);

// The five address fields of one device's IP form, as typed.
struct IpSettingsTexts {
    std::string ip, mask, gateway, dns1, dns2;
};

struct IpSettingsCheck {
    bool accepted = false;
    bool changed = false;
    IpSettingsBlock block{}; // the block to send, static mode and applied at once
    std::string message;     // when refused: the key of the message to show
};

// What one device's IP form gives: the opening block with the five fields written over it. An unchanged
// form is accepted as it is; a changed one must pass ValidateIpSettings and must not take an address in
// use for this device (inUse: AddressUsedByOthers, for which its own current address is free).
IpSettingsCheck CheckIpSettings(IpSettingsBlock opening, const IpSettingsTexts& texts,
                                const std::function<bool(const std::string&)>& inUse);

} // namespace rf
