#include "protocol/DeviceInfo.h"

#include "core/OperateCharacter.h"

#include <algorithm>
#include <array>

namespace rf {
namespace {

std::string ToLocal(const std::string& deviceText) {
    std::string local;
    if (!COperateCharacter::DeviceTextToLocal(deviceText, local)) {
        return deviceText;
    }
    return local;
}

} // namespace

DeviceInfo DeviceInfo::FromBytes(std::span<const uint8_t> payload) {
    DeviceInfo info;
    info.Assign(payload);
    return info;
}

size_t DeviceInfo::CarriedSize(size_t receivedSize) {
    static constexpr std::array kBlockEnds = {
        kMinSize,
        kRebootScheduleOffset + kRebootScheduleSize,
        kRadioSettingsOffset + kRadioSettingsSize,
        kBridgeSettingsOffset + kBridgeSettingsSize,
        kVlanSettingsOffset + kVlanSettingsSize,
        kBridgeTransparentOffset + 1,
        kSize,
    };
    size_t carried = 0;
    for (const size_t end : kBlockEnds) {
        if (end <= receivedSize) {
            carried = end;
        }
    }
    return carried;
}

DeviceInfo DeviceInfo::WithCarried(const DeviceInfo& received, size_t receivedSize) const {
    DeviceInfo merged = *this;
    const size_t carried = CarriedSize(receivedSize);
    std::ranges::copy(received.bytes().first(carried), merged.mutable_bytes().begin());
    return merged;
}

void DeviceInfo::set_security(const SecurityBlock& v) {
    std::ranges::copy(v.bytes(), mutable_security_block().begin());
}

void DeviceInfo::set_bridge_security(const SecurityBlock& v) {
    std::ranges::copy(v.bytes(), mutable_bridge_security_block().begin());
}

void DeviceInfo::ConvertTextsToLocal() {
    set_ap_name(ToLocal(ap_name()));
    set_ssid(ToLocal(ssid()));
    set_bridge_ssid(ToLocal(bridge_ssid()));
}

} // namespace rf
