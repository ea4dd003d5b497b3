#include "protocol/DeviceInfo.h"

#include "core/OperateCharacter.h"

#include <algorithm>

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
