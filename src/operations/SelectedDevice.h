#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rf {

// One ticked row of a device list: what a batch needs to reach the device.
struct SelectedDevice {
    char ip[16] = {};  // dotted IPv4 text, zero-terminated
    char mac[20] = {}; // MAC text (17 characters), zero-terminated
    int32_t model = 0; // model code of the row's Type text

    // Texts longer than their field are cut so that the terminating zero stays.
    static SelectedDevice Make(std::string_view ipText, std::string_view macText, int32_t modelCode);
    std::string Ip() const { return ip; }
    std::string Mac() const { return mac; }
};

} // namespace rf
