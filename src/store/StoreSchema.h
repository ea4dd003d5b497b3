#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace rf {

// The two tables of data.mdb, their columns in file order. Column 0 is the row number the database gives.
enum class ColumnType { Counter, Long, Double, Text };

struct Column {
    std::string_view name;
    ColumnType type;
};

inline constexpr std::string_view kDeviceTable = "ap_info";
inline constexpr std::string_view kScanTable = "ap_other_info";

inline constexpr std::array kDeviceColumns{
    Column{"ID", ColumnType::Counter},
    Column{"mac", ColumnType::Text},
    Column{"ap_type", ColumnType::Long},
    Column{"ap_type_str", ColumnType::Text},
    Column{"ap_status", ColumnType::Long},
    Column{"ap_status_str", ColumnType::Text},
    Column{"work_mode", ColumnType::Long},
    Column{"work_mode_str", ColumnType::Text},
    Column{"mode_btn_status", ColumnType::Long},
    Column{"up_time", ColumnType::Long},
    Column{"up_time_str", ColumnType::Text},
    Column{"ip_mode", ColumnType::Long},
    Column{"ip_num", ColumnType::Double},
    Column{"ip", ColumnType::Text},
    Column{"ip_mask", ColumnType::Text},
    Column{"ip_gateway", ColumnType::Text},
    Column{"ip_dns1", ColumnType::Text},
    Column{"ip_dns2", ColumnType::Text},
    Column{"ap_name", ColumnType::Text},
    Column{"version", ColumnType::Text},
    Column{"restart_en", ColumnType::Long},
    Column{"restart_type", ColumnType::Long},
    Column{"restart_time", ColumnType::Long},
    Column{"rf_count", ColumnType::Long},
    Column{"rf_en", ColumnType::Long},
    Column{"rf_type", ColumnType::Long},
    Column{"country_code", ColumnType::Long},
    Column{"network_mode", ColumnType::Long},
    Column{"bandwidth", ColumnType::Long},
    Column{"channel", ColumnType::Long},
    Column{"expand_channel", ColumnType::Long},
    Column{"tx_power", ColumnType::Long},
    Column{"tx_power_min", ColumnType::Long},
    Column{"tx_power_max", ColumnType::Long},
    Column{"ssid_count", ColumnType::Long},
    Column{"ssid_rf_type", ColumnType::Long},
    Column{"ssid_id", ColumnType::Long},
    Column{"ssid_hide", ColumnType::Long},
    Column{"ssid_mac", ColumnType::Text},
    Column{"ssid", ColumnType::Text},
    Column{"secure_mode", ColumnType::Long},
    Column{"secure_mode_str", ColumnType::Text},
    Column{"wpapsk_auth_type", ColumnType::Long},
    Column{"wpapsk_key_value", ColumnType::Text},
    Column{"wpapsk_key_time", ColumnType::Long},
    Column{"wep_auth_type", ColumnType::Long},
    Column{"wep_key_index", ColumnType::Long},
    Column{"wep_key_value0", ColumnType::Text},
    Column{"wep_key_type0", ColumnType::Long},
    Column{"wep_key_value1", ColumnType::Text},
    Column{"wep_key_type1", ColumnType::Long},
    Column{"wep_key_value2", ColumnType::Text},
    Column{"wep_key_type2", ColumnType::Long},
    Column{"wep_key_value3", ColumnType::Text},
    Column{"wep_key_type3", ColumnType::Long},
    Column{"wpa_auth_type", ColumnType::Long},
    Column{"wpa_radius_ip", ColumnType::Text},
    Column{"wpa_radius_port", ColumnType::Long},
    Column{"wpa_key", ColumnType::Text},
    Column{"wpa_key_time", ColumnType::Long},
    Column{"bridge_work_mode", ColumnType::Long},
    Column{"bridge_mac", ColumnType::Text},
    Column{"bridge_channel", ColumnType::Long},
    Column{"bridge_ssid", ColumnType::Text},
    Column{"vlan_en", ColumnType::Long},
    Column{"vlan_id", ColumnType::Long},
    Column{"vlan_id_wlan", ColumnType::Long},
    Column{"vlan_id_lan", ColumnType::Long},
    Column{"bridge_transparent", ColumnType::Long},
    Column{"bridge_transparent_str", ColumnType::Text},
};

inline constexpr std::array kScanColumns{
    Column{"ID", ColumnType::Counter},       Column{"packet_count", ColumnType::Long},
    Column{"packet_id", ColumnType::Long},   Column{"icount", ColumnType::Long},
    Column{"mac", ColumnType::Text},         Column{"ssid", ColumnType::Text},
    Column{"signal", ColumnType::Long},      Column{"channel", ColumnType::Long},
    Column{"secure_mode", ColumnType::Long}, Column{"exchannel", ColumnType::Long},
    Column{"bandwidth", ColumnType::Long},
};

// Position of a column in its table; a name that is not there does not compile.
template <size_t N> consteval int ColumnIndex(const std::array<Column, N>& columns, std::string_view name) {
    for (size_t i = 0; i < N; ++i) {
        if (columns[i].name == name) {
            return static_cast<int>(i);
        }
    }
    throw "no such column";
}

consteval int DeviceColumn(std::string_view name) {
    return ColumnIndex(kDeviceColumns, name);
}
consteval int ScanColumn(std::string_view name) {
    return ColumnIndex(kScanColumns, name);
}

// "CREATE TABLE IF NOT EXISTS table(ID INTEGER PRIMARY KEY AUTOINCREMENT,mac TEXT,...)"
std::string CreateTableSql(std::string_view table, std::span<const Column> columns);
// "col1,col2,..." of every column after ID, prefixed with "table." when qualified.
std::string ColumnListSql(std::string_view table, std::span<const Column> columns, bool qualified);
// "INSERT INTO table(...) VALUES(?,...) ON CONFLICT(mac) DO UPDATE SET ...": parameter n is column n, so a
// row keyed by its MAC is added or has every column rewritten in one step.
std::string UpsertByMacSql(std::string_view table, std::span<const Column> columns);

} // namespace rf
