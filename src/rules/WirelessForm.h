#pragma once

#include "protocol/DeviceInfo.h"
#include "rules/SecurityForm.h"
#include "rules/WirelessChoices.h"

#include <array>
#include <cstdint>
#include <string>

namespace rf {

// The 328-byte radio block of SetWireless, with the SSID as local text.
using RadioSettingsBlock = std::array<uint8_t, DeviceInfo::kRadioSettingsSize>;

inline constexpr const char* kNameEmptyMessage = "The device name can not be empty!";
inline constexpr const char* kSsidEmptyMessage = "The ssid can not be empty!";
inline constexpr const char* kStrictSsidMessage =
    "SSID maximum allowed 32 bytes, only support combination of Chinese, letters (capital or small), digits "
    "and punctuation marks, no spaces";
inline constexpr const char* kLooseSsidMessage =
    "SSID maximum allowed 32 bytes, only support combination of Chinese, ASCII characters";
inline constexpr const char* kPowerRangeMessage = "Power value range:%d-%d";
inline constexpr const char* kRadioFromAccessPointMessage =
    "A station takes its radio settings from its access point";

// The wireless tab as the user sees it: the device name, the radio and its security.
struct WirelessForm {
    std::string name;
    std::string ssid;
    bool hideSsid = false;
    std::string power;
    WirelessChoices choices;
    SecurityForm security;
};

WirelessForm OpenWirelessForm(const DeviceInfo& stored);

// A station or a repeater (work modes 2-4) takes its radio settings from its access point: the tab only
// shows them.
bool IsWirelessTabEditable(const DeviceInfo& stored);

struct WirelessCollect {
    std::string message; // the key of the refusal; empty when accepted
    std::string name;    // the name as local text
    RadioSettingsBlock radio{};
};

// The tab's checks in order (name, SSID, power within the device's limits, security), then the name and
// the radio block built over the stored one: what the lists chose, the power, the SSID and its hiding,
// and the security of the chosen mode. A list without a selection keeps the stored value. A tab that is
// not editable is not checked, since nobody can correct it; a form that would change it is refused.
WirelessCollect CollectWirelessSettings(const WirelessForm& form, const DeviceInfo& stored, int model);

// The refusal for the user: the translated message, the power range filled in from the stored limits.
std::string WirelessMessageText(const std::string& key, const DeviceInfo& stored);

} // namespace rf
