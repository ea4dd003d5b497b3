#pragma once

#include "core/ExportText.h"
#include "nicscan/Nicscan.h"
#include "operations/CheckResult.h"
#include "protocol/ApInfo.h"
#include "protocol/DeviceInfo.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// How the command-line tool prints devices and adapters: one JSON object per line, one CSV record per
// line, or one row of a text table per item. Texts that devices report are made safe for a terminal (no
// control characters).

// One field of a device in JSON and CSV: a text, or a number or true/false written as it is.
struct DeviceField {
    std::string_view name;
    std::string value;
    bool text = false;
};
// mac, ip, model, name, version, status, work_mode, ssid, channel, uptime, announced.
std::vector<DeviceField> DeviceFields(const ap_info_stu& device, bool announced);
std::string DeviceJson(const ap_info_stu& device, bool announced);
// The field names, then one record per device; each line ends in CR LF.
std::string DeviceCsvHeader();
std::string DeviceCsv(const ap_info_stu& device, bool announced);
// The columns of the device table and one device's cells.
std::vector<std::string> DeviceTextHeader();
std::vector<std::string> DeviceTextRow(const ap_info_stu& device, bool announced);

// A dry run's lines for one request: each setting that would change, indented, one per line.
std::string PlannedChangeLines(const DeviceInfo& before, const DeviceInfo& after);

// Why a command was not started: the devices concerned, then the translated message.
std::string RefusalText(const Refusal& refusal);

// id, description, mac, ip (the addresses joined by "--" as the adapter list shows them), addresses and
// devices: the online devices in the adapter's subnets, null (text "-") when they could not be counted.
std::string AdapterJson(int id, const AdapterRecord& adapter, std::optional<int> devices);
std::vector<std::string> AdapterTextHeader();
std::vector<std::string> AdapterTextRow(int id, const AdapterRecord& adapter, std::optional<int> devices);

} // namespace rf
