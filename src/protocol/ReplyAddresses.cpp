#include "protocol/ReplyAddresses.h"

#include "protocol/CodeTables.h"
#include "protocol/DeviceInfo.h"

#include <algorithm>

namespace rf {
namespace {

constexpr size_t kIpInIpBlock = DeviceInfo::kIpOffset - DeviceInfo::kIpSettingsOffset;

// The address field of the IP settings block at blockOffset in payload; empty when the payload is too
// short or the address is 0.0.0.0 (the device takes one by DHCP).
std::string NewAddress(std::span<const std::uint8_t> payload, size_t blockOffset) {
    const size_t at = blockOffset + kIpInIpBlock;
    if (payload.size() < at + 4) {
        return {};
    }
    const Ipv4Bytes ip = LoadIpv4(payload, at);
    if (std::ranges::all_of(ip, [](std::uint8_t b) { return b == 0; })) {
        return {};
    }
    return IpBytesToText(ip);
}

} // namespace

std::vector<std::string> AnswerAddresses(int type, const std::string& sentTo,
                                         std::span<const std::uint8_t> payload) {
    std::vector<std::string> addresses{sentTo};
    std::string moved;
    switch (static_cast<MessageType>(type)) {
    case MessageType::SetIp:
        moved = NewAddress(payload, 0);
        break;
    case MessageType::SetBridge:
        moved = NewAddress(payload, DeviceInfo::kBridgeSettingsSize);
        break;
    default:
        break;
    }
    if (!moved.empty() && moved != sentTo) {
        addresses.push_back(moved);
    }
    return addresses;
}

bool MayAnswer(const PendingRequest& request, const std::string& senderIp) {
    const auto addresses = AnswerAddresses(request.type, request.ip, request.payload);
    return std::ranges::find(addresses, senderIp) != addresses.end();
}

bool IsDeviceAddress(const OnlineEntry& entry, const std::string& senderIp) {
    return entry.ip == senderIp || (!entry.pendingIp.empty() && entry.pendingIp == senderIp);
}

} // namespace rf
