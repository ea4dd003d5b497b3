#include "store/SqlManagement.h"

#include "store/RecordColumns.h"
#include "store/StatementUse.h"

// A device's status and up time, changed one row at a time.
namespace rf {

namespace {

constexpr int kWorkModeStation = 2;

} // namespace

bool CSqlManagement::UpdateUptime(std::string_view ip, std::string_view mac, uint32_t seconds) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& statement = Prepared("UPDATE ap_info SET up_time=?1,up_time_str=?2,ip=?3,ip_num=?4 WHERE mac=?5");
    if (!statement.Valid()) {
        return WriteRefused(mac);
    }
    statement.BindInt(1, seconds);
    statement.BindText(2, UptimeText(seconds));
    statement.BindText(3, ip);
    statement.BindDouble(4, IpNumber(IpTextToBytes(ip)));
    statement.BindText(5, mac);
    return RunChange(statement, mac);
}

bool CSqlManagement::SetDeviceStatus(std::string_view mac, DeviceStatus status) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& statement = Prepared("UPDATE ap_info SET ap_status=?1,ap_status_str=?2 WHERE mac=?3");
    if (!statement.Valid()) {
        return WriteRefused(mac);
    }
    statement.BindInt(1, ToCode(status));
    statement.BindText(2, StatusText(status));
    statement.BindText(3, mac);
    return RunChange(statement, mac);
}

DeviceStatus CSqlManagement::GetDeviceStatus(std::string_view mac) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return DeviceStatus::Outline;
    }
    auto& row = Prepared("SELECT ap_status FROM ap_info WHERE mac=?1");
    if (!row.Valid()) {
        return DeviceStatus::Outline;
    }
    StatementUse use(row);
    row.BindText(1, mac);
    return row.Step() ? DeviceStatusFromCode(static_cast<int32_t>(row.ColumnInt(0))) : DeviceStatus::Outline;
}

bool CSqlManagement::IsUpgradeWaiting(std::string_view mac) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& row = Prepared("SELECT 1 FROM ap_info WHERE mac=?1 AND ap_status=?2");
    if (!row.Valid()) {
        return false;
    }
    StatementUse use(row);
    row.BindText(1, mac);
    row.BindInt(2, ToCode(DeviceStatus::UpgradeWait));
    return row.Step();
}

bool CSqlManagement::ChangeStatus(std::string_view mac, DeviceStatus from, DeviceStatus to) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& statement =
        Prepared("UPDATE ap_info SET ap_status=?1,ap_status_str=?2 WHERE mac=?3 AND ap_status=?4");
    if (!statement.Valid()) {
        return WriteRefused(mac);
    }
    statement.BindInt(1, ToCode(to));
    statement.BindText(2, StatusText(to));
    statement.BindText(3, mac);
    statement.BindInt(4, ToCode(from));
    return RunChange(statement, mac);
}

bool CSqlManagement::MarkUpgrading(std::string_view mac) {
    return ChangeStatus(mac, DeviceStatus::UpgradeWait, DeviceStatus::Upgrading);
}

bool CSqlManagement::ClearFailedUpgrade(std::string_view mac) {
    return ChangeStatus(mac, DeviceStatus::UpgradeFail, DeviceStatus::Online);
}

bool CSqlManagement::HasBridgedStation(std::string_view mac) {
    std::lock_guard guard(lock_);
    if (db_ == nullptr) {
        return false;
    }
    auto& row = Prepared("SELECT EXISTS(SELECT 1 FROM ap_info AS station WHERE station.work_mode=?2 AND "
                         "station.bridge_mac=(SELECT ssid_mac FROM ap_info WHERE mac=?1))");
    if (!row.Valid()) {
        return false;
    }
    StatementUse use(row);
    row.BindText(1, mac);
    row.BindInt(2, kWorkModeStation);
    return row.Step() && row.ColumnInt(0) != 0;
}

} // namespace rf
