#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rf {

// What the command line of the program asks for.
struct StartupOptions {
    std::uint16_t languageId = 0; // 0: the system's
    bool showHelp = false;
    std::string error; // not empty when the command line is wrong
};

StartupOptions ParseStartupOptions(const std::vector<std::string>& args);

} // namespace rf
