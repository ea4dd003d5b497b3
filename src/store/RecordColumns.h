#pragma once

#include "protocol/ApInfo.h"
#include "protocol/ScanEntry.h"
#include "protocol/ScanReply.h"
#include "store/SqliteStatement.h"

#include <cstdint>

namespace rf {

// Conversions between the records and the rows of data.mdb. A row read here has the columns of its table
// in file order (column 0 is ID); a statement bound here has parameter n for column n.

// Every column of ap_info from the device, which is stored as "Online"; the _str columns get the texts
// the user sees in the current language.
void BindDeviceColumns(CSqliteStatement& statement, const ap_info_stu& device);
// The record of an ap_info row. The _str columns, ip_num, the bridge columns and everything the table does
// not hold (the bridge link's security, apply flags, reserved bytes) stay zero.
ap_info_stu DeviceFromRow(const CSqliteStatement& row);

// Every column of ap_other_info for one entry of a scan reply.
void BindScanColumns(CSqliteStatement& statement, const ScanReply& reply, const ScanEntry& entry);
ScanEntry ScannedApFromRow(const CSqliteStatement& row);

// The ip_num column: the address bytes in wire order read as a little-endian number, so that the last
// octet weighs most.
double IpNumber(const Ipv4Bytes& ip);

} // namespace rf
