#include "protocol/SettingsPayloads.h"

#include "core/OperateCharacter.h"

#include <algorithm>

namespace rf {
namespace {

template <size_t N> std::array<uint8_t, N> CopyOf(std::span<const uint8_t> block) {
    std::array<uint8_t, N> out{};
    std::ranges::copy(block.first(N), out.begin());
    return out;
}

std::string ToDevice(std::string_view localText) {
    std::string deviceText;
    return COperateCharacter::LocalTextToDevice(localText, deviceText) ? deviceText : std::string(localText);
}

} // namespace

std::array<uint8_t, DeviceInfo::kIpSettingsSize> BuildSetIpPayload(const DeviceInfo& info, bool applyFlag) {
    DeviceInfo copy = info;
    copy.set_ip_apply_flag(applyFlag ? 1 : 0);
    return CopyOf<DeviceInfo::kIpSettingsSize>(copy.ip_settings_block());
}

std::array<uint8_t, DeviceInfo::kRadioSettingsSize> BuildSetWirelessPayload(const DeviceInfo& info) {
    DeviceInfo copy = info;
    copy.set_rf_count(1);
    copy.set_rf_en(1);
    copy.set_ssid_count(1);
    copy.set_ssid_id(0);
    copy.set_ssid(ToDevice(info.ssid()));
    return CopyOf<DeviceInfo::kRadioSettingsSize>(copy.radio_settings_block());
}

std::array<uint8_t, DeviceInfo::kRebootScheduleSize> BuildSetRebootSchedulePayload(const DeviceInfo& info) {
    return CopyOf<DeviceInfo::kRebootScheduleSize>(info.reboot_schedule_block());
}

std::array<uint8_t, kSetBridgePayloadSize> BuildSetBridgePayload(const DeviceInfo& info) {
    DeviceInfo copy = info;
    copy.set_bridge_ssid(ToDevice(info.bridge_ssid()));
    std::array<uint8_t, kSetBridgePayloadSize> out{};
    const auto bridge = copy.bridge_settings_block();
    const auto ip = copy.ip_settings_block();
    std::ranges::copy(ip, std::ranges::copy(bridge, out.begin()).out);
    return out;
}

std::array<uint8_t, DeviceInfo::kVlanSettingsSize> BuildSetVlanPayload(const DeviceInfo& info,
                                                                       bool applyFlag) {
    DeviceInfo copy = info;
    copy.set_vlan_apply_flag(applyFlag ? 1 : 0);
    return CopyOf<DeviceInfo::kVlanSettingsSize>(copy.vlan_settings_block());
}

std::array<uint8_t, 1> BuildSetTransparentBridgePayload(bool on) {
    return {static_cast<uint8_t>(on ? 1 : 0)};
}

} // namespace rf
