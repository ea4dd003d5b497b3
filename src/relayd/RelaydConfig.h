#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace rf {

// How the firmware server runs. Relayd.ini gives the directory and the port; the rest has defaults that
// tests and benchmarks may change.
struct RelaydConfig {
    std::string directory;
    uint16_t port = 69;
    std::string bindAddress = "0.0.0.0";
    size_t maxTransfers = 32;
    size_t maxTransfersPerAddress = 2; // a device fetches one image, maybe while an old try ends
    // Largest block granted; 0 means what one datagram on the path to the client carries.
    uint16_t blockSizeCap = 0;
    std::chrono::milliseconds giveUp{30000};
    // Event loops serving transfers side by side; 0 means one per processor.
    size_t loops = 0;

    // Section "SERVER" of the INI file: "Directory" (required) and "Port" (optional, 1 to 65535).
    // nullopt with a reason when the file gives no usable setting.
    static std::optional<RelaydConfig> Load(const std::string& iniPath, std::string& error);
};

} // namespace rf
