#include "pages/DeviceRows.h"

#include "protocol/CodeTables.h"

#include <algorithm>
#include <optional>

namespace rf {

const std::array<DeviceColumnSpec, kDeviceColumnCount> kDeviceListColumns{{
    {"", 20},
    {"Serial", 40},
    {"Location", 90},
    {"Type", 50},
    {"IP", 102},
    {"MAC", 112},
    {"OperationMode", 66},
    {"SSID", 100},
    {"Channel", 60},
    {"Version", 60},
    {"Transparent bridge", 120},
    {"Time", 70},
    {"Operate", 60},
}};

namespace {

// The sort key of each column; none where the column does not sort.
constexpr std::array<std::optional<SortKey>, kDeviceColumnCount> kSortKeys{std::nullopt,
                                                                           std::nullopt,
                                                                           SortKey::Name,
                                                                           SortKey::Model,
                                                                           SortKey::IpAddress,
                                                                           SortKey::Mac,
                                                                           SortKey::WorkMode,
                                                                           SortKey::Ssid,
                                                                           SortKey::Channel,
                                                                           SortKey::Version,
                                                                           SortKey::TransparentBridge,
                                                                           SortKey::UpTime,
                                                                           std::nullopt};

// A version may hold a line break ("V3.1.0\nbuild 2211"); the cell shows it on one line.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::erase(text, '\r');
    return text;
}

void FillWireless(DeviceRow& row, const ap_info_stu& device, const DeviceInfo& info) {
    row.cells[kColumnLocation] = info.ap_name();
    row.cells[kColumnMode] = WorkModeText(info.work_mode());
    row.cells[kColumnSsid] = info.ssid();
    row.cells[kColumnChannel] = ChannelText(info.channel());
    row.cells[kColumnBridge] =
        TransparentBridgeText(device.ap_type(), info.work_mode(), info.bridge_transparent());
    row.cells[kColumnTime] = UptimeText(info.up_time());
}

void FillRecord(DeviceRow& row, const ap_info_stu& device, const DeviceInfo& info) {
    row.mac = device.mac();
    row.ip = IpBytesToText(info.ip());
    row.name = info.ap_name();
    row.model = device.ap_type();
    row.workMode = info.work_mode();
    row.bridgeTransparent = info.bridge_transparent() != 0;
}

void FillIdentity(DeviceRow& row, const ap_info_stu& device, const DeviceInfo& info, int serial) {
    FillRecord(row, device, info);
    row.cells[kColumnSerial] = std::to_string(serial);
    row.cells[kColumnType] = ModelText(device.ap_type());
    row.cells[kColumnIp] = IpBytesToText(info.ip());
    row.cells[kColumnMac] = device.mac();
    row.cells[kColumnVersion] = OneLine(info.version());
}

} // namespace

SortKey SortKeyOfColumn(int column) {
    return IsSortableColumn(column) ? *kSortKeys[static_cast<size_t>(column)] : SortKey::IpAddress;
}

bool IsSortableColumn(int column) {
    return column >= 0 && column < kDeviceColumnCount && kSortKeys[static_cast<size_t>(column)].has_value();
}

std::vector<int> SpreadColumnWidths(const std::vector<int>& widths, const std::vector<bool>& grows,
                                    int available) {
    std::vector<int> spread = widths;
    int total = 0;
    int growing = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        total += widths[i];
        growing += i < grows.size() && grows[i] ? widths[i] : 0;
    }
    const int spare = available - total;
    if (spare <= 0 || growing <= 0) {
        return spread;
    }
    int given = 0;
    size_t last = widths.size();
    for (size_t i = 0; i < widths.size(); ++i) {
        if (i < grows.size() && grows[i]) {
            const int share = static_cast<int>(static_cast<long long>(spare) * widths[i] / growing);
            spread[i] += share;
            given += share;
            last = i;
        }
    }
    spread[last] += spare - given; // what rounding left over
    return spread;
}

int SerialNumber(int rowsInGrid, int pageSize, int page) {
    return rowsInGrid + pageSize * (page - 1);
}

int AnnouncedRoom(int rowsReturned, int pageSize, int page, int pageCount) {
    if (rowsReturned >= pageSize || (page != pageCount && pageCount != 0)) {
        return 0;
    }
    return pageSize - rowsReturned;
}

DeviceRow BuildStoredRow(const ap_info_stu& device, int serial) {
    DeviceRow row;
    const DeviceInfo info = device.device_info();
    FillIdentity(row, device, info, serial);
    FillWireless(row, device, info);
    row.status = device.ap_status();
    return row;
}

DeviceRow BuildAnnouncedRow(const ap_info_stu& device, int serial) {
    DeviceRow row;
    const DeviceInfo info = device.device_info();
    FillIdentity(row, device, info, serial);
    if (!info.ssid().empty()) {
        FillWireless(row, device, info);
    }
    row.status = ToCode(DeviceStatus::Announced);
    row.announced = true;
    return row;
}

std::vector<DeviceRow> BuildDeviceRows(const std::vector<ap_info_stu>& stored,
                                       const std::vector<ap_info_stu>& announced, int pageSize, int page) {
    std::vector<DeviceRow> rows;
    rows.reserve(stored.size() + announced.size());
    const auto serial = [&] { return SerialNumber(static_cast<int>(rows.size()) + 1, pageSize, page); };
    for (const auto& device : stored) {
        rows.push_back(BuildStoredRow(device, serial()));
    }
    for (const auto& device : announced) {
        rows.push_back(BuildAnnouncedRow(device, serial()));
    }
    return rows;
}

} // namespace rf
