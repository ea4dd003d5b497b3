#pragma once

#include "operations/IpBatch.h"
#include "rules/RebootScheduleForm.h"
#include "rules/VlanForm.h"
#include "rules/WirelessForm.h"

#include <optional>
#include <string>

namespace rf {

// What one Save of the configuration dialog changed: only the blocks that differ from those the untouched
// dialog would build. The name and the SSID are local texts; the send converts them for the device.
struct ConfigChanges {
    std::optional<std::string> name;
    std::optional<RadioSettingsBlock> wireless;
    std::optional<IpSettingsBlock> ip;
    std::optional<VlanSettingsBlock> vlan;
    std::optional<RebootScheduleBlock> schedule;

    bool Empty() const { return !name && !wireless && !ip && !vlan && !schedule; }
};

} // namespace rf
