#pragma once

// Devices for filling a store, shared by the store's tests and its benchmark (Qt-free).
#include "protocol/ApInfo.h"
#include "protocol/CodeTables.h"
#include "support/Random.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace rf::test {

// The columns a device-list filter must look in, written out here on their own so that a test of the store
// does not take the list from the code it checks.
inline constexpr std::array kSearchedColumns{"ap_name",
                                             "ip",
                                             "mac",
                                             "ssid",
                                             "version",
                                             "work_mode_str",
                                             "channel",
                                             "ap_type_str",
                                             "tx_power",
                                             "bridge_transparent_str",
                                             "up_time_str",
                                             "ap_status_str",
                                             "secure_mode_str"};

// "02:00:00:hh:mm:ll" for n (below 2^24).
inline std::string SampleMac(int n) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:%02x:%02x:%02x", (n >> 16) & 0xff, (n >> 8) & 0xff, n & 0xff);
    return text;
}

// Device n (its MAC is SampleMac(n)) with random texts in the filtered columns, random numbers in the sorted
// ones, and addresses in 10.168.0.0/22 and 192.168.0.0/22.
inline ap_info_stu RandomDevice(Random& random, int n) {
    DeviceInfo info;
    info.set_work_mode(static_cast<uint8_t>(1 + random.Below(7)));
    info.set_up_time(static_cast<uint32_t>(random.Below(400000)));
    info.set_ip({static_cast<uint8_t>(random.Below(3) == 0 ? 10 : 192), 168,
                 static_cast<uint8_t>(random.Below(3)), static_cast<uint8_t>(random.Below(256))});
    info.set_ap_name(random.Text(6));
    info.set_version(random.Text(3));
    info.set_channel(static_cast<uint8_t>(random.Below(14)));
    info.set_tx_power(static_cast<uint8_t>(random.Below(30)));
    info.set_ssid(random.Text(4));
    return ApInfo::Make(SampleMac(n), static_cast<uint16_t>(257 + random.Below(7)), 1, info);
}

} // namespace rf::test
