#pragma once

#include "operations/SelectedDevice.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rf {

// At most this many devices are upgraded in one run.
inline constexpr size_t kMaxUpgradeDevices = 10;

// The language key of the message that refuses this many ticked devices; empty when the count is fine.
std::string CheckUpgradeCount(size_t count);

// The language key of the message that refuses this path as a firmware file: none given, or not ending in
// ".bin" or ".BIN" (compared exactly, so ".Bin" is refused); empty when the name is fine.
std::string CheckUpgradeFileName(const std::string& path);

// A firmware file that can be offered to the devices: its folder (ending in "/"), its name and size.
struct UpgradeFile {
    std::string folder;
    std::string name;
    uint32_t size = 0;
};

// Measures the file at path. nullopt with the language key of the message in refusal when it cannot be
// read, is empty, is too large for the request's size field, or is one the firmware server would not
// serve (IsServableFile). The folder is absolute.
std::optional<UpgradeFile> ReadUpgradeFile(const std::string& path, std::string& refusal);

// One entry of the Type list.
struct UpgradeType {
    std::string text; // the model text
    int32_t model = 0;
};

// One entry per model text among the devices, in the order of the devices.
std::vector<UpgradeType> UpgradeTypes(const std::vector<SelectedDevice>& devices);

// The entry named by text: the model text as the Type list shows it, or its model code in digits.
std::optional<UpgradeType> FindUpgradeType(const std::vector<UpgradeType>& types, const std::string& text);

} // namespace rf
