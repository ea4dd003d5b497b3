#pragma once

#include "store/SortKey.h"

#include <array>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// ap_list: one narrow row per ap_info row (same ID) holding what a device list filters, counts and sorts
// by, so that a filtered page reads a few hundred bytes per device instead of every column. list_text joins
// the texts of the filter columns, ASCII letters lowered as LIKE compares them, with a unit separator
// (0x1f). A filter that holds no separator is then contained in one of those columns exactly when it is
// contained in list_text: LIKE decodes list_text's characters as it decodes each column's, because 0x1f is
// never part of a multi-byte character, and a filter of ASCII bytes alone matches the same bytes whether
// they are compared as bytes (in the store's copy of these texts in memory, far quicker) or as characters.
// Triggers on ap_info keep the table current through every write, whichever statement makes it.

// The columns a device-list filter looks in, as the lists show them.
inline constexpr std::array kFilterColumns{"ap_name",
                                           "ip",
                                           "mac",
                                           "ssid",
                                           "version",
                                           "work_mode_str",
                                           "channel",
                                           "ap_type_str",
                                           "tx_power",
                                           "bridge_transparent_str",
                                           "up_time_str",
                                           "ap_status_str",
                                           "secure_mode_str"};

inline constexpr std::string_view kListTable = "ap_list";
inline constexpr std::string_view kListTextColumn = "list_text";

// The address as a number with its first octet most significant, made from an ip_num column (in which the
// last octet weighs most), so that 10.98.3.1 sorts before 10.99.1.1 and 10.99.1.2. NULL for NULL.
std::string IpKeySql(std::string_view ipNum);
// ap_list's column of a sort key: the ap_info column of the same name, or ip_key (IpKeySql of ip_num) for
// the address; empty for a value that is no key.
std::string ListKeyColumn(SortKey key);

// Statements that create ap_list, fill it from the rows ap_info already has and add the triggers, in order.
std::vector<std::string> DeviceListIndexSql();
// True when the index answers a filter exactly: the text holds neither the separator nor a NUL.
bool DeviceListIndexServes(std::string_view filter);
// True when a byte search for the lowered filter in list_text answers it: every byte is ASCII.
bool IsAsciiFilter(std::string_view filter);
// The filter with ASCII letters lowered, as list_text holds its texts.
std::string LowerAscii(std::string_view filter);
// Adds to the connection the aggregate list_ids(ID, cap), the IDs of a group as "3,17,42" or NULL when there
// are more than cap.
bool AddListFunctions(sqlite3* db);

} // namespace rf
