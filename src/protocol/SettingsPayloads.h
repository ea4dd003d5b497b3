#pragma once

#include "protocol/DeviceInfo.h"

#include <array>
#include <cstdint>
#include <span>

namespace rf {

// Payloads of the configuration requests, cut from an edited copy of a device's DeviceInfo with the
// fields the PC always fills in itself. SetName and Upgrade have their own blocks (DeviceNameBlock,
// UpgradeFileInfo).

inline constexpr size_t kSetBridgePayloadSize = DeviceInfo::kBridgeSettingsSize + DeviceInfo::kIpSettingsSize;

// SetIp: the IP block with apply_flag 1, or 0 when the same batch sends a SetVlan that applies both.
std::array<uint8_t, DeviceInfo::kIpSettingsSize> BuildSetIpPayload(const DeviceInfo& info, bool applyFlag);

// SetWireless: the radio block with rf_count, rf_en and ssid_count 1, ssid_id 0, and the SSID in device
// encoding (LocalTextToDevice, length byte set to the converted length).
std::array<uint8_t, DeviceInfo::kRadioSettingsSize> BuildSetWirelessPayload(const DeviceInfo& info);

// SetRebootSchedule: restart_en, restart_type, restart_time as held.
std::array<uint8_t, DeviceInfo::kRebootScheduleSize> BuildSetRebootSchedulePayload(const DeviceInfo& info);

// SetBridge: the bridge block (bridge_ssid in device encoding) followed by the IP block as held, its
// apply_flag included.
std::array<uint8_t, kSetBridgePayloadSize> BuildSetBridgePayload(const DeviceInfo& info);

// SetVlan: the VLAN block with apply_flag 1 only when it applies an IP change sent in the same batch.
std::array<uint8_t, DeviceInfo::kVlanSettingsSize> BuildSetVlanPayload(const DeviceInfo& info,
                                                                       bool applyFlag);

// SetTransparentBridge: one byte, 1 for on and 0 for off.
std::array<uint8_t, 1> BuildSetTransparentBridgePayload(bool on);

} // namespace rf
