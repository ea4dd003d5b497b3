#pragma once

#include "operations/ConfigChanges.h"
#include "operations/IpBatch.h"
#include "protocol/ApInfo.h"
#include "rules/RebootScheduleForm.h"
#include "rules/VlanForm.h"
#include "rules/WirelessForm.h"

#include <functional>
#include <string>

namespace rf {

// Every tab of the configuration dialog as the user sees it.
struct ConfigForms {
    WirelessForm wireless;
    IpSettingsTexts ip;
    VlanForm vlan;
    RebootScheduleForm schedule;
};

// The tabs as the dialog opens on a device's stored record.
ConfigForms OpenConfigForms(const ap_info_stu& record);

// Which tab refused the input.
enum class ConfigTab { None, Wireless, Ip, Vlan, Schedule };

struct ConfigCollect {
    ConfigTab refusedBy = ConfigTab::None;
    std::string message; // the translated message of the refusal
    ConfigChanges changes;

    bool Accepted() const { return refusedBy == ConfigTab::None; }
};

// Save: collects the wireless, IP, VLAN and schedule tabs in that order and stops at the first refusal.
// A tab counts as changed only when the block it builds differs from the block it builds from the
// untouched opening forms, so a stored value that no list offers is not rewritten when nobody touched
// it (when the opening forms themselves are refused, the stored block is the reference). inUse tells
// whether another stored device has an address.
ConfigCollect CollectConfigChanges(const ap_info_stu& record, const ConfigForms& opening,
                                   const ConfigForms& current,
                                   const std::function<bool(const std::string&)>& inUse);

} // namespace rf
