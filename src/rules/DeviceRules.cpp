#include "rules/DeviceRules.h"

#include "core/OperateCharacter.h"
#include "protocol/CodeTables.h"
#include "store/SqlManagement.h"

#include <algorithm>
#include <vector>

namespace rf {
namespace {

constexpr size_t kMaxNameBytes = 32;
constexpr std::string_view kStrictPunctuation = "!#$%&()*+-./<=>?@^_~";

bool IsStrictAscii(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kStrictPunctuation.find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsLooseAscii(char32_t c) {
    return c >= 0x01 && c <= 0x7F;
}

// Every character passes allowedAscii or is a CJK ideograph, and the name fits the device's field. Bytes
// that are not UTF-8 fail.
template <typename Allowed> bool NameFits(std::string_view name, Allowed allowedAscii) {
    for (size_t pos = 0; pos < name.size();) {
        const Utf8Char c = DecodeUtf8(name, pos);
        if (c.length == 0 || !(allowedAscii(c.codePoint) || IsCjk(c.codePoint))) {
            return false;
        }
        pos += c.length;
    }
    return NameByteLength(name) <= kMaxNameBytes;
}

// The mask an address is judged by when its own is not known.
constexpr uint32_t kUnknownSubnetMask = 0xFFFFFF00;

bool IsEmptyAddress(std::string_view text) {
    return text.empty() || text == "0.0.0.0";
}

} // namespace

size_t NameByteLength(std::string_view name) {
    size_t characters = 0;
    for (size_t pos = 0; pos < name.size(); ++characters) {
        const Utf8Char c = DecodeUtf8(name, pos);
        pos += c.length == 0 ? 1 : c.length;
    }
    return characters + 2 * COperateCharacter::CountCjk(name);
}

bool IsValidNameStrict(std::string_view name) {
    return NameFits(name, IsStrictAscii);
}

bool IsValidNameLoose(std::string_view name) {
    return NameFits(name, IsLooseAscii);
}

bool IsValidName(std::string_view name, int model) {
    return model == 4 || model == 261 ? IsValidNameStrict(name) : IsValidNameLoose(name);
}

const char* NameRuleMessage(int model) {
    return model == 4 || model == 261 ? kStrictNameMessage : kLooseNameMessage;
}

uint32_t IpOrder(const Ipv4Bytes& ip) {
    return (uint32_t{ip[0]} << 24) | (uint32_t{ip[1]} << 16) | (uint32_t{ip[2]} << 8) | uint32_t{ip[3]};
}

// Each part must be a decimal number up to 255: "10.0.0.261" is refused rather than read as 10.0.0.5.
bool IsDottedAddress(std::string_view text) {
    return ParseIpText(text).has_value();
}

bool IsValidHostAddress(std::string_view text, bool optional, std::string_view mask) {
    if (IsEmptyAddress(text)) {
        return optional;
    }
    const auto ip = ParseIpText(text);
    if (!ip) {
        return false;
    }
    const uint8_t first = (*ip)[0];
    return first != 0 && first != 127 && first < 224 && IsSubnetHost(*ip, IpTextToBytes(mask));
}

bool IsSubnetHost(const Ipv4Bytes& ip, const Ipv4Bytes& mask) {
    const uint32_t bits = IsValidMask(mask) ? IpOrder(mask) : kUnknownSubnetMask;
    const uint32_t host = IpOrder(ip) & ~bits;
    return ~bits == 1 || (host != 0 && host != ~bits);
}

bool IsValidMask(std::string_view text) {
    const auto bytes = ParseIpText(text);
    return bytes && IsValidMask(*bytes);
}

bool IsValidMask(const Ipv4Bytes& bytes) {
    const uint32_t mask = IpOrder(bytes);
    const uint32_t hostBits = ~mask;
    const bool contiguous = (hostBits & (hostBits + 1)) == 0;
    return contiguous && mask != 0 && hostBits != 0;
}

bool IsSameSubnet(std::string_view a, std::string_view b, std::string_view mask) {
    const auto x = ParseIpText(a);
    const auto y = ParseIpText(b);
    const auto m = ParseIpText(mask);
    if (!x || !y || !m) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (((*x)[i] & (*m)[i]) != ((*y)[i] & (*m)[i])) {
            return false;
        }
    }
    return true;
}

bool IsAddressInUse(CSqlManagement& store, std::string_view ipText) {
    std::vector<std::string> ips;
    store.ListDeviceIps(ips);
    return std::find(ips.begin(), ips.end(), ipText) != ips.end();
}

std::string ValidateIpSettings(std::string_view ip, std::string_view mask, std::string_view gateway,
                               std::string_view dns1, std::string_view dns2) {
    if (!IsValidHostAddress(ip, false, mask)) {
        return kInvalidIpMessage;
    }
    if (!IsValidMask(mask)) {
        return kInvalidMaskMessage;
    }
    if (!IsValidHostAddress(gateway, true, mask)) {
        return kInvalidGatewayMessage;
    }
    if (ip == gateway) {
        return kIpIsGatewayMessage;
    }
    if (!IsEmptyAddress(gateway) && !IsSameSubnet(ip, gateway, mask)) {
        return kGatewaySubnetMessage;
    }
    if (!IsValidHostAddress(dns1, true)) {
        return kInvalidDns1Message;
    }
    if (!IsValidHostAddress(dns2, true)) {
        return kInvalidDns2Message;
    }
    return {};
}

} // namespace rf
