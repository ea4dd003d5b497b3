#pragma once

#include <string_view>

namespace rf {

// The names of a device's fields wherever devices leave the program as data: JSON objects and the headers
// of CSV files, from the command-line tool and from the lists' export alike.
inline constexpr std::string_view kFieldNameMac = "mac";
inline constexpr std::string_view kFieldNameIp = "ip";
inline constexpr std::string_view kFieldNameModel = "model";
inline constexpr std::string_view kFieldNameName = "name";
inline constexpr std::string_view kFieldNameVersion = "version";
inline constexpr std::string_view kFieldNameStatus = "status";
inline constexpr std::string_view kFieldNameWorkMode = "work_mode";
inline constexpr std::string_view kFieldNameSsid = "ssid";
inline constexpr std::string_view kFieldNameChannel = "channel";
inline constexpr std::string_view kFieldNameUptime = "uptime";
inline constexpr std::string_view kFieldNameAnnounced = "announced";
inline constexpr std::string_view kFieldNameSerial = "serial";
inline constexpr std::string_view kFieldNameSecureMode = "secure_mode";
inline constexpr std::string_view kFieldNameTxPower = "tx_power";
inline constexpr std::string_view kFieldNameBridgeTransparent = "bridge_transparent";

} // namespace rf
