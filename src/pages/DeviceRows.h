#pragma once

#include "protocol/ApInfo.h"
#include "protocol/OnlineEntry.h"
#include "store/SortKey.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rf {

// What a device list can show of a device. The status page shows the first thirteen, in this order; the
// other pages choose theirs (DeviceListLayout).
enum DeviceField : int {
    kFieldTick = 0,
    kFieldSerial,
    kFieldLocation,
    kFieldType,
    kFieldIp,
    kFieldMac,
    kFieldMode,
    kFieldSsid,
    kFieldChannel,
    kFieldVersion,
    kFieldBridge,
    kFieldTime,
    kFieldOperate, // a button picture, no text
    kFieldSecureMode,
    kFieldPower,
    kFieldStatus,
    kDeviceFieldCount
};

// What the list is sorted by for a field; fields that do not sort give none.
std::optional<SortKey> SortKeyOfField(DeviceField field);

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

// One shown row: what the pages decide by, and the text of every field the grid may show. Decisions read
// the record, never the texts, which follow the language and the page's columns.
struct DeviceRow {
    std::string mac;
    std::string ip;
    std::string name;
    int32_t model = 0;
    int32_t workMode = 0;
    int32_t status = 0;
    bool bridgeTransparent = false;
    bool announced = false; // answered the search, details not yet stored
    std::string tip;        // shown over the whole row when not empty

    std::array<std::string, kDeviceFieldCount> texts;
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
// Gives every row of a device in address conflict a tip naming both addresses that answer for its MAC.
void AddConflictTips(std::vector<DeviceRow>& rows, const std::vector<OnlineEntry>& online);

} // namespace rf
