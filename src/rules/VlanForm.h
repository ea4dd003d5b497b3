#pragma once

#include "protocol/DeviceInfo.h"

#include <array>
#include <cstdint>
#include <string>

namespace rf {

// The 10-byte VLAN block: vlan_en, reserved, vlan_id, vlan_id_wlan, vlan_id_lan (16-bit little-endian),
// apply_flag, reserved.
using VlanSettingsBlock = std::array<uint8_t, DeviceInfo::kVlanSettingsSize>;
inline constexpr size_t kVlanBlockApplyOffset =
    DeviceInfo::kVlanApplyFlagOffset - DeviceInfo::kVlanSettingsOffset;

inline constexpr const char* kVlanRangeMessage = "VLAN range:1-4094";
inline constexpr const char* kWlanRangeMessage = "WLAN range:1-4094";

// The VLAN tab as the user sees it: the check box and the three id texts (the wired one is never shown).
struct VlanForm {
    bool enabled = false;
    std::string manage;
    std::string wlan;
    std::string lan;
};

VlanForm OpenVlanForm(const DeviceInfo& stored);

struct VlanCollect {
    std::string message; // the key of the refusal; empty when accepted
    VlanSettingsBlock block{};
};

// Ticked: both shown ids must be 1-4094; the wired id is taken as it is (empty gives 0). Unticked: an
// all-zero block. apply_flag is 0; the configuration send sets it when an IP change goes with it.
VlanCollect CollectVlanSettings(const VlanForm& form);

} // namespace rf
