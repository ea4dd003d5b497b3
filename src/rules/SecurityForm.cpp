#include "rules/SecurityForm.h"

#include "core/OperateCharacter.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace rf {
namespace {

constexpr const char* kWepHexMessage = "WEP key is invalid! Please enter 10 or 26 HEX characters!";
constexpr const char* kWepAsciiMessage = "WEP key is invalid! Please enter 5 or 13 ASCII characters!";
constexpr const char* kWepCharacterMessage =
    "WEP key includes invalid characters (It should only include 0-9,a-z,A-Z,@,*,- and _.)!";
constexpr std::array<const char*, 4> kWepMissingMessages{
    "Please enter the WEP key1!", "Please enter the WEP key2!", "Please enter the WEP key3!",
    "Please enter the WEP key4!"};
constexpr const char* kPskKeyMessage = "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!";
constexpr const char* kRenewalEmptyMessage = "The key update interval should not be empty!";
constexpr const char* kRenewalRangeMessage = "The key update interval range: 60~99999 or 0!";
constexpr const char* kRadiusServerMessage = "Please enter a valid RADIUS Server address!";
constexpr const char* kRadiusPortMessage = "Please specify a valid RADIUS Port!";
constexpr const char* kRadiusKeyMessage = "Please enter a key for 1~64 ASCII characters!";

constexpr std::array<const char*, kSecurityModeCount> kModeItems{
    "None", "WEP", "WPA-PSK", "WPA2-PSK", "Mixed WPA/WPA2-PSK", "WPA", "WPA2"};

// Characters of a UTF-8 text (bytes that are not the start of one count as characters too).
size_t CharacterCount(std::string_view text) {
    return static_cast<size_t>(
        std::ranges::count_if(text, [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
}

// The leading decimal number of a text, as "%d" reads it; none when it starts with no digit.
std::optional<long> LeadingNumber(std::string_view text) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? std::optional(value) : std::nullopt;
}

std::string RenewalRule(const std::string& text) {
    if (text.empty()) {
        return kRenewalEmptyMessage;
    }
    const std::optional<long> value = LeadingNumber(text);
    const bool valid = value && (*value == 0 || (*value >= 60 && *value <= 99999));
    return valid ? std::string() : kRenewalRangeMessage;
}

std::string WepKeyRule(const std::string& key, int type) {
    const size_t length = CharacterCount(key);
    if (type == 1) {
        return (length == 10 || length == 26) && IsHexText(key) ? std::string() : kWepHexMessage;
    }
    if (length != 5 && length != 13) {
        return kWepAsciiMessage;
    }
    return IsAsciiText(key) ? std::string() : kWepCharacterMessage;
}

// The four keys as they are checked and sent: the first without its leading white space.
std::array<std::string, SecurityBlock::kWepKeyCount> WepKeys(const SecurityForm& form) {
    std::array<std::string, SecurityBlock::kWepKeyCount> keys = form.wepKeys;
    const size_t first = keys[0].find_first_not_of(" \t\r\n\v\f");
    keys[0].erase(0, first == std::string::npos ? keys[0].size() : first);
    return keys;
}

std::string ValidateWep(const SecurityForm& form) {
    const std::array<std::string, SecurityBlock::kWepKeyCount> keys = WepKeys(form);
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].empty()) {
            if (std::string rule = WepKeyRule(keys[i], form.wepKeyTypes[i]); !rule.empty()) {
                return rule;
            }
        }
    }
    const size_t chosen = static_cast<size_t>(std::clamp(form.wepDefaultKey, 1, 4) - 1);
    return keys[chosen].empty() ? kWepMissingMessages[chosen] : std::string();
}

std::string ValidatePsk(const SecurityForm& form) {
    const size_t length = CharacterCount(form.pskKey);
    const bool valid =
        length >= 8 && length <= 64 && (length < 64 || IsHexText(form.pskKey)) && IsAsciiText(form.pskKey);
    return valid ? RenewalRule(form.pskRenewal) : kPskKeyMessage;
}

bool IsRadiusServer(const std::string& text) {
    if (!IsDottedAddress(text)) {
        return false;
    }
    const Ipv4Bytes ip = IpTextToBytes(text);
    return ip[0] != 0 && ip[0] != 127 && ip[0] < 224 && ip[3] != 0 && ip[3] != 255;
}

std::string ValidateRadius(const SecurityForm& form) {
    if (!IsRadiusServer(form.radiusServer)) {
        return kRadiusServerMessage;
    }
    const long port = form.radiusPort.empty() ? 0 : LeadingNumber(form.radiusPort).value_or(0);
    if (port < 1 || port > 65535) {
        return kRadiusPortMessage;
    }
    const size_t length = CharacterCount(form.radiusKey);
    if (length < 1 || length > 64 || !IsAsciiText(form.radiusKey)) {
        return kRadiusKeyMessage;
    }
    return RenewalRule(form.radiusRenewal);
}

int Within(int value, int last) {
    return value >= 0 && value <= last ? value : 0;
}

uint32_t RenewalValue(const std::string& text) {
    return static_cast<uint32_t>(LeadingNumber(text).value_or(0));
}

} // namespace

bool IsEditableSecurityMode(int mode) {
    return mode >= 0 && mode < kSecurityModeCount;
}

const char* SecurityModeItem(int mode) {
    return IsEditableSecurityMode(mode) ? kModeItems[static_cast<size_t>(mode)] : "";
}

SecurityForm OpenSecurityForm(const SecurityBlock& stored) {
    SecurityForm form;
    form.mode = stored.secure_mode();
    form.pskCipher = Within(stored.wpapsk_auth_type(), 2);
    form.pskKey = stored.wpapsk_key_value();
    form.pskRenewal = std::to_string(stored.wpapsk_key_time());
    form.wepAuth = Within(stored.wep_auth_type(), 1);
    form.wepDefaultKey =
        stored.wep_key_index() >= 1 && stored.wep_key_index() <= 4 ? stored.wep_key_index() : 1;
    for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
        form.wepKeys[i] = stored.wep_key_value(i);
        form.wepKeyTypes[i] = Within(stored.wep_key_type(i), 1);
    }
    form.radiusCipher = Within(stored.wpa_auth_type(), 2);
    form.radiusServer = IpBytesToText(stored.wpa_radius_ip());
    form.radiusPort = std::to_string(stored.wpa_radius_port());
    form.radiusKey = stored.wpa_key();
    form.radiusRenewal = std::to_string(stored.wpa_key_time());
    return form;
}

void ChooseSecurityMode(SecurityForm& form, int mode) {
    form.mode = mode;
    if (mode == 2 && form.pskCipher == 2) {
        form.pskCipher = 0;
    }
}

std::string ValidateSecurity(const SecurityForm& form) {
    if (!IsEditableSecurityMode(form.mode)) {
        return {};
    }
    switch (form.mode) {
    case 0:
        return {};
    case 1:
        return ValidateWep(form);
    case 2:
    case 3:
    case 4:
        return ValidatePsk(form);
    default:
        return ValidateRadius(form);
    }
}

void WriteSecurity(const SecurityForm& form, SecurityBlock& block) {
    if (!IsEditableSecurityMode(form.mode)) {
        return;
    }
    block.set_secure_mode(static_cast<uint8_t>(form.mode));
    if (form.mode == 1) {
        block.set_wep_auth_type(static_cast<uint8_t>(form.wepAuth));
        block.set_wep_key_index(static_cast<uint8_t>(form.wepDefaultKey));
        const std::array<std::string, SecurityBlock::kWepKeyCount> keys = WepKeys(form);
        for (size_t i = 0; i < SecurityBlock::kWepKeyCount; ++i) {
            block.set_wep_key_value(i, keys[i]);
            block.set_wep_key_type(i, static_cast<uint8_t>(form.wepKeyTypes[i]));
        }
    } else if (form.mode >= 2 && form.mode <= 4) {
        block.set_wpapsk_auth_type(static_cast<uint8_t>(form.pskCipher));
        block.set_wpapsk_key_value(form.pskKey);
        block.set_wpapsk_key_time(RenewalValue(form.pskRenewal));
    } else if (form.mode >= 5) {
        block.set_wpa_auth_type(static_cast<uint8_t>(form.radiusCipher));
        block.set_wpa_key(form.radiusKey);
        block.set_wpa_key_time(RenewalValue(form.radiusRenewal));
        block.set_wpa_radius_ip(IpTextToBytes(form.radiusServer));
        block.set_wpa_radius_port(static_cast<uint16_t>(LeadingNumber(form.radiusPort).value_or(0)));
    }
}

} // namespace rf
