#pragma once

#include "protocol/ApInfo.h"

#include <string>

namespace rf {

// A device's whole stored record, decoded: the fields of the device information record by their names,
// addresses as dotted text, other numbers as numbers, texts as UTF-8. Secret keys are never printed: a
// key shows as its length (wpapsk_key_value_length, wep_key_value0_length ..., wpa_key_length).

// One JSON object.
std::string RecordJson(const ap_info_stu& device);
// One "name: value" line per field, with the code tables' texts beside the codes.
std::string RecordText(const ap_info_stu& device);

} // namespace rf
