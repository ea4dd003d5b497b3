#pragma once

namespace rf {

// What a device list is sorted by: each key is one column of ap_info.
enum class SortKey {
    Mac,
    IpAddress, // the whole address, first octet most significant (from ip_num, see IpKeySql)
    Name,
    Model,
    WorkMode,
    Ssid,
    Channel,
    SecureMode,
    TxPower,
    Version,
    TransparentBridge,
    UpTime,
    Status,
};

} // namespace rf
