#pragma once

#include "protocol/ApInfo.h"
#include "store/SortKey.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rf {

// The columns of the device lists.
enum DeviceColumn : int {
    kColumnTick = 0,
    kColumnSerial,
    kColumnLocation,
    kColumnType,
    kColumnIp,
    kColumnMac,
    kColumnMode,
    kColumnSsid,
    kColumnChannel,
    kColumnVersion,
    kColumnBridge,
    kColumnTime,
    kColumnOperate,
    kDeviceColumnCount
};

struct DeviceColumnSpec {
    const char* header; // language key
    int width;          // pixels
};
extern const std::array<DeviceColumnSpec, kDeviceColumnCount> kDeviceListColumns;

// What the list is sorted by for a grid column; columns that do not sort give the IP address.
SortKey SortKeyOfColumn(int column);
// Header clicks on these columns reorder the list; the tick, serial and operate columns do not.
bool IsSortableColumn(int column);

// Column widths for a grid area of `available` pixels: each column's own width, and the room beyond their
// sum shared among the columns that grow, in proportion to their widths, so that a larger window shows
// more of every text. With no room to spare the widths stay as they are.
std::vector<int> SpreadColumnWidths(const std::vector<int>& widths, const std::vector<bool>& grows,
                                    int available);

// The running number of a row: rows already in the grid (header included) plus the rows of the pages
// before this one, so that numbers continue across pages.
int SerialNumber(int rowsInGrid, int pageSize, int page);

// How many announced devices may fill up the page: only the last page (or a list with no pages) that the
// store left short has room for them.
int AnnouncedRoom(int rowsReturned, int pageSize, int page, int pageCount);

// One shown row: what the pages decide by, and the texts the grid shows (columns 0-12). Decisions read
// the fields, never the texts, which follow the language and the column layout.
struct DeviceRow {
    std::string mac;
    std::string ip;
    std::string name;
    int32_t model = 0;
    int32_t workMode = 0;
    int32_t status = 0;
    bool bridgeTransparent = false;
    bool announced = false; // answered the search, details not yet stored

    std::array<std::string, kDeviceColumnCount> cells;
};

// A stored device: every column, the web button's column left empty (it shows a picture).
DeviceRow BuildStoredRow(const ap_info_stu& device, int serial);
// A device that answered the search but has not sent its details: Serial, Type, IP, MAC and Version,
// and the wireless columns only when it reported an SSID.
DeviceRow BuildAnnouncedRow(const ap_info_stu& device, int serial);

// The rows of one page: the stored devices first, then the announced ones, numbered from the page's
// first serial.
std::vector<DeviceRow> BuildDeviceRows(const std::vector<ap_info_stu>& stored,
                                       const std::vector<ap_info_stu>& announced, int pageSize, int page);

} // namespace rf
