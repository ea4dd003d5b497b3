#include "protocol/CodeTables.h"

#include "core/Language.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <utility>

namespace rf {
namespace {

// Indexed by status code; Announced (10) has no text.
constexpr std::array<std::string_view, 12> kStatusKeys = {
    "Outline",      "Online",    "Bridge success",  "Bridge fail",  "Restarting", "Reseting",
    "Upgrade wait", "Upgrading", "Upgrade success", "Upgrade fail", "",           "Address conflict",
};

constexpr std::array<std::pair<uint16_t, std::string_view>, 14> kModels = {{
    {1, "Rasko"},
    {2, "Zaret"},
    {3, "Pemli"},
    {4, "Tolva"},
    {5, "RaskoV2.0"},
    {6, "NuvenV1.0"},
    {7, "TolvaV1.0"},
    {257, "Horsk"},
    {258, "Hirta"},
    {259, "Hevan"},
    {260, "Halim"},
    {261, "Lumio"},
    {262, "OstraV1.0"},
    {263, "HorskV2.0"},
}};

// Work modes start at code 1, security modes at code 0.
constexpr std::array<std::string_view, 7> kWorkModeKeys = {
    "AP", "Station", "Universal Repeater", "Repeater", "P2MP", "WISP", "Router",
};
constexpr std::array<std::string_view, 7> kSecureModeKeys = {
    "Disable", "WEP", "WPA_PSK", "WPA2_PSK", "WPAWPA2_PSK", "WPA", "WPA2",
};

template <size_t N> std::string TranslatedEntry(const std::array<std::string_view, N>& keys, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(N) || keys[static_cast<size_t>(index)].empty()) {
        return {};
    }
    return Translate(keys[static_cast<size_t>(index)]);
}

// One decimal or hex number of 1..maxDigits digits at pos, at most maxValue; pos moves past it.
std::optional<unsigned> ReadNumber(std::string_view text, size_t& pos, int base, size_t maxDigits,
                                   unsigned maxValue) {
    size_t end = pos;
    while (end < text.size() && end - pos < maxDigits + 1 &&
           (base == 10 ? std::isdigit(static_cast<unsigned char>(text[end]))
                       : std::isxdigit(static_cast<unsigned char>(text[end])))) {
        ++end;
    }
    if (end == pos || end - pos > maxDigits) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto result = std::from_chars(text.data() + pos, text.data() + end, value, base);
    if (result.ec != std::errc() || value > maxValue) {
        return std::nullopt;
    }
    pos = end;
    return value;
}

// Groups of numbers separated by one separator character, filling every element of out.
template <size_t N>
bool ReadGroups(std::string_view text, char separator, int base, size_t maxDigits,
                std::array<uint8_t, N>& out) {
    size_t pos = 0;
    for (size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != separator) {
                return false;
            }
            ++pos;
        }
        const auto value = ReadNumber(text, pos, base, maxDigits, 255);
        if (!value) {
            return false;
        }
        out[i] = static_cast<uint8_t>(*value);
    }
    return pos == text.size();
}

} // namespace

std::string StatusText(DeviceStatus status) {
    return TranslatedEntry(kStatusKeys, ToCode(status));
}

std::string StatusText(int32_t statusCode) {
    return TranslatedEntry(kStatusKeys, statusCode);
}

std::string ModelText(int32_t model) {
    for (const auto& [code, text] : kModels) {
        if (code == model) {
            return std::string(text);
        }
    }
    return std::string(kModels.front().second);
}

std::vector<std::string> ModelTexts() {
    std::vector<std::string> names;
    for (const auto& model : kModels) {
        names.emplace_back(model.second);
    }
    return names;
}

uint16_t ModelCode(std::string_view text) {
    for (const auto& [code, name] : kModels) {
        if (name == text) {
            return code;
        }
    }
    return kDefaultModelCode;
}

std::string WorkModeText(int32_t workMode) {
    return TranslatedEntry(kWorkModeKeys, int64_t{workMode} - 1);
}

std::string SecureModeText(int32_t secureMode) {
    return TranslatedEntry(kSecureModeKeys, secureMode);
}

std::string ChannelText(int32_t channel) {
    return channel == 0 ? Translate("Auto") : std::to_string(channel);
}

bool HasTransparentBridge(int32_t model, int32_t workMode) {
    const bool noBridgeModel = model == 4 || model == 261;
    const bool noBridgeMode = workMode >= 4 && workMode <= 7;
    return !noBridgeModel && !noBridgeMode;
}

std::string TransparentBridgeText(int32_t model, int32_t workMode, int32_t bridgeTransparent) {
    if (!HasTransparentBridge(model, workMode)) {
        return Translate(kNotApplicableText);
    }
    return Translate(bridgeTransparent != 0 ? "On2" : "Off2");
}

std::string UptimeText(uint32_t seconds) {
    const uint32_t days = seconds / 86400;
    const uint32_t hours = seconds / 3600 % 24;
    const uint32_t minutes = seconds / 60 % 60;
    const uint32_t secs = seconds % 60;
    std::string clock = std::to_string(hours) + ":" + std::to_string(minutes) + ":" + std::to_string(secs);
    return days > 0 ? std::to_string(days) + " " + clock : clock;
}

std::string UptimeDisplayText(uint32_t seconds) {
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02u:%02u:%02u", seconds / 3600 % 24, seconds / 60 % 60,
                  seconds % 60);
    const uint32_t days = seconds / 86400;
    if (days == 0) {
        return clock;
    }
    std::string text = Translate("%1 d %2");
    for (const auto& [mark, value] :
         {std::pair{"%1", std::to_string(days)}, std::pair{"%2", std::string(clock)}}) {
        if (const size_t at = text.find(mark); at != std::string::npos) {
            text.replace(at, 2, value);
        }
    }
    return text;
}

std::string IpBytesToText(const Ipv4Bytes& ip) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", ip[0], ip[1], ip[2], ip[3]);
    return text;
}

std::string MacBytesToText(const MacAddress& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return text;
}

std::optional<Ipv4Bytes> ParseIpText(std::string_view text) {
    Ipv4Bytes ip{};
    if (!ReadGroups(text, '.', 10, 3, ip)) {
        return std::nullopt;
    }
    return ip;
}

std::optional<MacAddress> ParseMacText(std::string_view text) {
    MacAddress mac{};
    if (!ReadGroups(text, ':', 16, 2, mac)) {
        return std::nullopt;
    }
    return mac;
}

Ipv4Bytes IpTextToBytes(std::string_view text) {
    return ParseIpText(text).value_or(Ipv4Bytes{});
}

MacAddress MacTextToBytes(std::string_view text) {
    return ParseMacText(text).value_or(MacAddress{});
}

} // namespace rf
