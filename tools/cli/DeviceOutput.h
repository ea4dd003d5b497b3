#pragma once

#include "nicscan/Nicscan.h"
#include "operations/CheckResult.h"
#include "protocol/ApInfo.h"
#include "protocol/DeviceInfo.h"

#include <optional>
#include <string>
#include <string_view>

namespace rf {

// How the command-line tool prints devices and adapters: one JSON object per line, or one line of
// text per item. Texts that devices report are made safe for a terminal (no control characters).

// A JSON string; bytes that are not UTF-8 become U+FFFD.
std::string JsonText(std::string_view text);
// The text with every control character and every byte that is not UTF-8 replaced by '?'.
std::string PrintableText(std::string_view text);

// mac, ip, model, name, version, status, work_mode, ssid, channel, uptime, announced.
std::string DeviceJson(const ap_info_stu& device, bool announced);
std::string DeviceTextLine(const ap_info_stu& device, bool announced);
std::string DeviceTextHeader();

// A dry run's lines for one request: each setting that would change, indented, one per line.
std::string PlannedChangeLines(const DeviceInfo& before, const DeviceInfo& after);

// Why a command was not started: the devices concerned, then the translated message.
std::string RefusalText(const Refusal& refusal);

// id, description, mac, ip (the addresses joined by "--" as the adapter list shows them), addresses and
// devices: the online devices in the adapter's subnets, null (text "-") when they could not be counted.
std::string AdapterJson(int id, const AdapterRecord& adapter, std::optional<int> devices);
std::string AdapterTextLine(int id, const AdapterRecord& adapter, std::optional<int> devices);

} // namespace rf
