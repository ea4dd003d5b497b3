#include "operations/ConfigForms.h"

#include "core/Language.h"
#include "operations/OperationCatalogue.h"
#include "protocol/CodeTables.h"

#include <algorithm>

namespace rf {
namespace {

template <size_t N> std::array<uint8_t, N> Copy(std::span<const uint8_t> bytes) {
    std::array<uint8_t, N> block{};
    std::copy_n(bytes.begin(), N, block.begin());
    return block;
}

// The reference a tab's new block is compared with: what the untouched tab builds, or the stored block
// when the untouched tab is refused.
template <typename Block>
const Block& Reference(const std::string& openingMessage, const Block& opening, const Block& stored) {
    return openingMessage.empty() ? opening : stored;
}

bool CollectWireless(const ap_info_stu& record, const ConfigForms& opening, const ConfigForms& current,
                     ConfigCollect& out) {
    const DeviceInfo info = record.device_info();
    const int model = record.ap_type();
    const WirelessCollect now = CollectWirelessSettings(current.wireless, info, model);
    if (!now.message.empty()) {
        out.refusedBy = ConfigTab::Wireless;
        out.message = WirelessMessageText(now.message, info);
        return false;
    }
    const WirelessCollect before = CollectWirelessSettings(opening.wireless, info, model);
    if (now.name != Reference(before.message, before.name, info.ap_name())) {
        out.changes.name = now.name;
    }
    DeviceInfo counted = info;
    counted.set_rf_count(1);
    counted.set_ssid_count(1);
    const auto stored = Copy<DeviceInfo::kRadioSettingsSize>(counted.radio_settings_block());
    if (now.radio != Reference(before.message, before.radio, stored)) {
        out.changes.wireless = now.radio;
    }
    return true;
}

bool CollectIp(const ap_info_stu& record, const ConfigForms& opening, const ConfigForms& current,
               const std::function<bool(const std::string&)>& inUse, ConfigCollect& out) {
    const auto stored = Copy<DeviceInfo::kIpSettingsSize>(record.device_info().ip_settings_block());
    const IpSettingsCheck now = CheckIpSettings(stored, current.ip, inUse);
    if (!now.accepted) {
        out.refusedBy = ConfigTab::Ip;
        out.message = Translate(now.message);
        return false;
    }
    const IpSettingsCheck before = CheckIpSettings(stored, opening.ip, inUse);
    if (now.block != Reference(before.message, before.block, stored)) {
        out.changes.ip = now.block;
    }
    return true;
}

bool CollectVlan(const ap_info_stu& record, const ConfigForms& opening, const ConfigForms& current,
                 ConfigCollect& out) {
    const VlanCollect now = CollectVlanSettings(current.vlan);
    if (!now.message.empty()) {
        out.refusedBy = ConfigTab::Vlan;
        out.message = Translate(now.message);
        return false;
    }
    const VlanCollect before = CollectVlanSettings(opening.vlan);
    const auto stored = Copy<DeviceInfo::kVlanSettingsSize>(record.device_info().vlan_settings_block());
    if (now.block != Reference(before.message, before.block, stored)) {
        out.changes.vlan = now.block;
    }
    return true;
}

bool CollectSchedule(const ap_info_stu& record, const ConfigForms& opening, const ConfigForms& current,
                     ConfigCollect& out) {
    const auto stored = Copy<DeviceInfo::kRebootScheduleSize>(record.device_info().reboot_schedule_block());
    const RebootScheduleCollect now = CollectRebootSchedule(current.schedule, stored);
    if (!now.message.empty()) {
        out.refusedBy = ConfigTab::Schedule;
        out.message = Translate(now.message);
        return false;
    }
    const RebootScheduleCollect before = CollectRebootSchedule(opening.schedule, stored);
    if (now.block != Reference(before.message, before.block, stored)) {
        out.changes.schedule = now.block;
    }
    return true;
}

} // namespace

ConfigForms OpenConfigForms(const ap_info_stu& record) {
    const DeviceInfo info = record.device_info();
    ConfigForms forms;
    forms.wireless = OpenWirelessForm(info);
    forms.ip = StoredIpTexts(info);
    forms.vlan = OpenVlanForm(info);
    forms.schedule =
        OpenRebootScheduleForm(Copy<DeviceInfo::kRebootScheduleSize>(info.reboot_schedule_block()));
    return forms;
}

ConfigCollect CollectConfigChanges(const ap_info_stu& record, const ConfigForms& opening,
                                   const ConfigForms& current,
                                   const std::function<bool(const std::string&)>& inUse) {
    ConfigCollect out;
    if (CollectWireless(record, opening, current, out) && CollectIp(record, opening, current, inUse, out) &&
        CollectVlan(record, opening, current, out)) {
        CollectSchedule(record, opening, current, out);
    }
    if (!out.Accepted()) {
        out.changes = {};
    }
    return out;
}

} // namespace rf
