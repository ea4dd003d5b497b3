#pragma once

#include "protocol/Wire.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// A device's status, stored as its code in ap_status (and carried as that int32 in device records).
enum class DeviceStatus : int32_t {
    Outline = 0, // not online, or not stored at all
    Online = 1,
    BridgeSuccess = 2,
    BridgeFail = 3,
    Restarting = 4,
    Resetting = 5,
    UpgradeWait = 6, // the device has fetched its image and waits to be told to flash it
    Upgrading = 7,
    UpgradeSuccess = 8,
    UpgradeFail = 9,
    Announced = 10,       // announced itself but has not yet sent its details; it has no text
    AddressConflict = 11, // another host answers for its MAC too
};

constexpr int32_t ToCode(DeviceStatus status) {
    return static_cast<int32_t>(status);
}
// Any code, also one outside the table: it is kept as it is (its StatusText is then empty).
constexpr DeviceStatus DeviceStatusFromCode(int32_t code) {
    return static_cast<DeviceStatus>(code);
}

// The model shown for codes outside the table.
inline constexpr uint16_t kDefaultModelCode = 1;

// Translated status text; empty for Announced and for codes outside the table.
std::string StatusText(DeviceStatus status);
std::string StatusText(int32_t statusCode);
// Model name (never translated); the name of code 1 for codes outside the table.
std::string ModelText(int32_t model);
// Every model name of the table.
std::vector<std::string> ModelTexts();
// The code of a model name compared exactly; 1 when no model has that name.
uint16_t ModelCode(std::string_view text);
// Translated work mode (1..7); empty for other codes.
std::string WorkModeText(int32_t workMode);
// Translated security mode (0..6); empty for other codes.
std::string SecureModeText(int32_t secureMode);
// Translated "Auto" for 0, otherwise the channel number.
std::string ChannelText(int32_t channel);
// A device the transparent-bridge switch applies to: not models 4 and 261, nor work modes 4-7.
bool HasTransparentBridge(int32_t model, int32_t workMode);
// The key of the text shown where a model or work mode has no transparent bridge.
inline constexpr std::string_view kNotApplicableText = "N/A";

// Translated kNotApplicableText where a model or work mode has no transparent bridge, otherwise translated
// "On2" or "Off2".
std::string TransparentBridgeText(int32_t model, int32_t workMode, int32_t bridgeTransparent);
// "d h:m:s" from one day on, otherwise "h:m:s", numbers without leading zeros.
std::string UptimeText(uint32_t seconds);
// What the lists show: "13 d 01:02:06" from one day on (the days as the language file writes them, key
// "%1 d %2"), otherwise "01:02:06". The store keeps UptimeText, which its filter matches.
std::string UptimeDisplayText(uint32_t seconds);

// "%d.%d.%d.%d", first octet first.
std::string IpBytesToText(const Ipv4Bytes& ip);
// "%02x:%02x:%02x:%02x:%02x:%02x", lower case.
std::string MacBytesToText(const MacAddress& mac);

// Four decimal numbers 0..255 separated by dots and nothing else; nullopt otherwise.
std::optional<Ipv4Bytes> ParseIpText(std::string_view text);
// Six groups of one or two hex digits separated by colons and nothing else; nullopt otherwise.
std::optional<MacAddress> ParseMacText(std::string_view text);
// As ParseIpText, giving 0.0.0.0 for an empty or malformed text.
Ipv4Bytes IpTextToBytes(std::string_view text);
// As ParseMacText, giving six zero bytes for an empty or malformed text.
MacAddress MacTextToBytes(std::string_view text);

} // namespace rf
