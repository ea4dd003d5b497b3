#include "pages/DeviceRows.h"

#include "protocol/CodeTables.h"

#include <algorithm>
#include <optional>

namespace rf {

namespace {

// A version may hold a line break ("V3.1.0\nbuild 2211"); the cell shows it on one line.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::erase(text, '\r');
    return text;
}

void FillWireless(DeviceRow& row, const ap_info_stu& device, const DeviceInfo& info) {
    row.texts[kFieldLocation] = info.ap_name();
    row.texts[kFieldMode] = WorkModeText(info.work_mode());
    row.texts[kFieldSsid] = info.ssid();
    row.texts[kFieldChannel] = ChannelText(info.channel());
    row.texts[kFieldBridge] =
        TransparentBridgeText(device.ap_type(), info.work_mode(), info.bridge_transparent());
    row.texts[kFieldTime] = UptimeDisplayText(info.up_time());
    row.texts[kFieldSecureMode] = SecureModeText(info.security().secure_mode());
    row.texts[kFieldPower] = std::to_string(info.tx_power());
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
    row.texts[kFieldSerial] = std::to_string(serial);
    row.texts[kFieldType] = ModelText(device.ap_type());
    row.texts[kFieldIp] = IpBytesToText(info.ip());
    row.texts[kFieldMac] = device.mac();
    row.texts[kFieldVersion] = OneLine(info.version());
}

} // namespace

std::optional<SortKey> SortKeyOfField(DeviceField field) {
    switch (field) {
    case kFieldLocation:
        return SortKey::Name;
    case kFieldType:
        return SortKey::Model;
    case kFieldIp:
        return SortKey::IpAddress;
    case kFieldMac:
        return SortKey::Mac;
    case kFieldMode:
        return SortKey::WorkMode;
    case kFieldSsid:
        return SortKey::Ssid;
    case kFieldChannel:
        return SortKey::Channel;
    case kFieldVersion:
        return SortKey::Version;
    case kFieldBridge:
        return SortKey::TransparentBridge;
    case kFieldTime:
        return SortKey::UpTime;
    case kFieldSecureMode:
        return SortKey::SecureMode;
    case kFieldPower:
        return SortKey::TxPower;
    case kFieldStatus:
        return SortKey::Status;
    case kFieldTick:
    case kFieldSerial:
    case kFieldOperate:
    case kDeviceFieldCount:
        break;
    }
    return std::nullopt;
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
    row.texts[kFieldStatus] = StatusText(row.status);
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
    row.texts[kFieldStatus] = StatusText(row.status);
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

void AddConflictTips(std::vector<DeviceRow>& rows, const std::vector<OnlineEntry>& online) {
    for (const auto& entry : online) {
        if (!entry.conflict) {
            continue;
        }
        for (auto& row : rows) {
            if (row.mac == entry.mac) {
                row.tip = StatusText(DeviceStatus::AddressConflict) + ": " + entry.ip + ", " + entry.claimIp;
            }
        }
    }
}

} // namespace rf
