#pragma once

#include "operations/ConfigChanges.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Wire.h"

#include <string>
#include <vector>

namespace rf {

// What a request would do to a device, told before anything is sent (a dry run, a confirmation).

// One line per setting that differs between the record before and after: "field: old -> new", fields named
// as the record names them. A key is never shown: it appears only as "field: (changed)".
std::vector<std::string> DescribeSettingChanges(const DeviceInfo& before, const DeviceInfo& after);

// The record as it would be once the block that this request of a configuration Save carries applied
// (SetName, SetWireless, SetRebootSchedule, SetVlan or SetIp; any other type leaves it unchanged).
DeviceInfo WithConfigBlock(DeviceInfo info, const ConfigChanges& changes, MessageType type);

// The request's name as the protocol calls it: "SetName", "Reboot", ...
const char* RequestName(MessageType type);

} // namespace rf
