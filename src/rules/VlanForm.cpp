#include "rules/VlanForm.h"

#include "protocol/Wire.h"

#include <algorithm>
#include <charconv>

namespace rf {
namespace {

// The number of a digits-only text; -1 when it is none or too large to be an id.
long IdNumber(const std::string& text) {
    long value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? value : -1;
}

bool InRange(long id) {
    return id >= 1 && id <= 4094;
}

void PutId(VlanSettingsBlock& block, size_t recordOffset, long id) {
    StoreU16(block, recordOffset - DeviceInfo::kVlanSettingsOffset, static_cast<uint16_t>(id));
}

} // namespace

VlanForm OpenVlanForm(const DeviceInfo& stored) {
    return {stored.vlan_en() != 0, std::to_string(stored.vlan_id()), std::to_string(stored.vlan_id_wlan()),
            std::to_string(stored.vlan_id_lan())};
}

VlanCollect CollectVlanSettings(const VlanForm& form) {
    VlanCollect result;
    if (!form.enabled) {
        return result;
    }
    const long manage = IdNumber(form.manage);
    const long wlan = IdNumber(form.wlan);
    if (form.manage.empty()) {
        result.message = kVlanRangeMessage;
    } else if (form.wlan.empty()) {
        result.message = kWlanRangeMessage;
    } else if (!InRange(manage)) {
        result.message = kVlanRangeMessage;
    } else if (!InRange(wlan)) {
        result.message = kWlanRangeMessage;
    }
    if (!result.message.empty()) {
        return result;
    }
    result.block[0] = 1;
    PutId(result.block, DeviceInfo::kVlanIdOffset, manage);
    PutId(result.block, DeviceInfo::kVlanIdWlanOffset, wlan);
    PutId(result.block, DeviceInfo::kVlanIdLanOffset, std::max(0L, IdNumber(form.lan)));
    return result;
}

} // namespace rf
