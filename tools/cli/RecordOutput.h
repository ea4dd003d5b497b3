#pragma once

#include "protocol/ApInfo.h"

#include <string>

namespace rf {

// A device's whole stored record, decoded: the fields of the device information record by their names,
// addresses as dotted text, other numbers as numbers, texts as UTF-8. Secret keys are never printed: a
// key shows as its length (wpapsk_key_value_length, wep_key_value0_length ..., wpa_key_length).

// One JSON object.
std::string RecordJson(const ap_info_stu& device);
// One "name: value" line per field: codes by their meanings (secure_mode: WPA2-PSK, restart_type:
// Monday, Friday), or raw as the codes, with the meaning beside those that always carried it.
std::string RecordText(const ap_info_stu& device, bool raw);

} // namespace rf
