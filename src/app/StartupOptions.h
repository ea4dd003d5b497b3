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
    bool showVersion = false;
    std::string error; // not empty when the command line is wrong
};

StartupOptions ParseStartupOptions(const std::vector<std::string>& args);

inline constexpr const char* kUsage =
    "Usage: radiofleet [--language ID] [--page ID] [--search] [--maximised] [--screenshot FILE.png "
    "[--screenshot-delay MS]]\n"
    "       radiofleet --help | --version\n"
    "Finds the outdoor wireless radios on every subnet of this PC and configures them.\n"
    "  --language ID          language by Windows language id (1033 English, 2052 Chinese)\n"
    "  --page ID              start on another page (133 status, 134 management, 135 bridge,\n"
    "                         136 reboot, 137 upgrade, 138 restore, 155 system tool, 139 help)\n"
    "  --search               start a search on the status page once the window shows\n"
    "  --maximised            open the main window maximised\n"
    "  --screenshot FILE.png  save a picture of the main window after the delay, then exit\n"
    "  --screenshot-delay MS  the delay before that picture (default 3000)\n"
    "  --help                 show this text\n"
    "  --version              show the version\n";

} // namespace rf
