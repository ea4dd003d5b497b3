#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rf {

// What the command line of the program asks for.
struct StartupOptions {
    std::uint16_t languageId = 0; // 0: the system's
    int pageId = 0;               // 0: the device status page
    std::string screenshotPath;   // save a picture of the main window there, then exit
    int screenshotDelayMs = 3000;
    bool search = false;    // start a search on the status page once the window shows
    bool maximised = false; // open the main window maximised
    bool showHelp = false;
    std::string error; // not empty when the command line is wrong
};

StartupOptions ParseStartupOptions(const std::vector<std::string>& args);

inline constexpr const char* kUsage =
    "Usage: radiofleet [--language ID] [--page ID] [--search] [--maximised] [--screenshot FILE.png "
    "[--screenshot-delay MS]]\n";

} // namespace rf
