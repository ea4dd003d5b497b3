#pragma once

namespace rf {

// What a device list is sorted by: each key is one column of ap_info.
enum class SortKey {
    Mac,
    IpAddress, // ip_num: the last octet weighs most (see IpNumber)
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
