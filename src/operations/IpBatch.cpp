#include "operations/IpBatch.h"

#include "protocol/CodeTables.h"
#include "protocol/SettingsPayloads.h"
#include "rules/DeviceRules.h"

namespace rf {
namespace {

// A field that is not a whole address ("8.8.8") would otherwise be read as 0.0.0.0.
std::string MalformedFieldMessage(const IpSettingsTexts& texts) {
    const std::pair<const std::string&, const char*> fields[] = {
        {texts.ip, kInvalidIpMessage},           {texts.mask, kInvalidMaskMessage},
        {texts.gateway, kInvalidGatewayMessage}, {texts.dns1, kInvalidDns1Message},
        {texts.dns2, kInvalidDns2Message},
    };
    for (const auto& [text, message] : fields) {
        if (!text.empty() && !IsDottedAddress(text)) {
            return message;
        }
    }
    return {};
}

} // namespace

Ipv4Bytes BlockAddress(const IpSettingsBlock& block, size_t offset) {
    return LoadIpv4(block, offset);
}

void SetBlockAddress(IpSettingsBlock& block, size_t offset, const Ipv4Bytes& ip) {
    StoreIpv4(block, offset, ip);
}

Ipv4Bytes IpFromOrder(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

std::string ValidateIpRange(std::string_view start, std::string_view end, std::string_view mask,
                            std::string_view gateway, std::string_view dns1, std::string_view dns2,
                            size_t deviceCount) {
    std::string rule = ValidateIpSettings(start, mask, gateway, dns1, dns2);
    if (!rule.empty() || deviceCount < 2) {
        return rule;
    }
    // Every address between two valid ends of one subnet is valid too.
    rule = ValidateIpSettings(end, mask, gateway, dns1, dns2);
    if (!rule.empty()) {
        return rule;
    }
    return IpOrder(IpTextToBytes(start)) < IpOrder(IpTextToBytes(end)) ? std::string{} : kInvalidIpMessage;
}

std::vector<Ipv4Bytes> AssignIpRange(const IpBatch& batch, size_t deviceCount,
                                     const std::function<bool(const Ipv4Bytes&)>& inUse) {
    std::vector<Ipv4Bytes> addresses;
    if (deviceCount == 0) {
        return addresses;
    }
    if (deviceCount == 1) {
        addresses.push_back(batch.start);
        return addresses;
    }
    const uint32_t first = IpOrder(batch.start);
    const uint32_t last = IpOrder(batch.end);
    // A 64-bit counter: the range may end at 255.255.255.255 without wrapping round.
    for (uint64_t value = first; value <= last && addresses.size() < deviceCount; ++value) {
        const Ipv4Bytes ip = IpFromOrder(static_cast<uint32_t>(value));
        if (IsSubnetHost(ip, batch.mask) && !(inUse && inUse(ip))) {
            addresses.push_back(ip);
        }
    }
    return addresses;
}

IpSettingsCheck CheckIpSettings(IpSettingsBlock opening, const IpSettingsTexts& texts,
                                const std::function<bool(const std::string&)>& inUse) {
    opening[0] = 1;
    IpSettingsCheck result;
    result.message = MalformedFieldMessage(texts);
    if (!result.message.empty()) {
        return result;
    }
    result.block = opening;
    SetBlockAddress(result.block, kBlockIpOffset, IpTextToBytes(texts.ip));
    SetBlockAddress(result.block, kBlockMaskOffset, IpTextToBytes(texts.mask));
    SetBlockAddress(result.block, kBlockGatewayOffset, IpTextToBytes(texts.gateway));
    SetBlockAddress(result.block, kBlockDns1Offset, IpTextToBytes(texts.dns1));
    SetBlockAddress(result.block, kBlockDns2Offset, IpTextToBytes(texts.dns2));
    result.changed = result.block != opening;
    if (result.changed) {
        result.message = ValidateIpSettings(texts.ip, texts.mask, texts.gateway, texts.dns1, texts.dns2);
        if (result.message.empty() && inUse(texts.ip)) {
            result.message = kAddressInUseMessage;
        }
        if (!result.message.empty()) {
            return result;
        }
    }
    result.block[kBlockApplyOffset] = 1;
    result.accepted = true;
    return result;
}

IpSettingsBlock BuildStaticIpBlock(const Ipv4Bytes& ip, const Ipv4Bytes& mask, const Ipv4Bytes& gateway,
                                   const Ipv4Bytes& dns1, const Ipv4Bytes& dns2) {
    DeviceInfo info;
    info.set_ip_mode(1);
    info.set_ip(ip);
    info.set_ip_mask(mask);
    info.set_ip_gateway(gateway);
    info.set_ip_dns1(dns1);
    info.set_ip_dns2(dns2);
    return BuildSetIpPayload(info, true);
}

IpSettingsBlock BuildBatchIpBlock(const IpBatch& batch, const Ipv4Bytes& ip) {
    return BuildStaticIpBlock(ip, batch.mask, batch.gateway, batch.dns1, batch.dns2);
}

} // namespace rf
