#pragma once

#include <string>
#include <vector>

namespace rf {

// The command line of Relayd:  Relayd [--config FILE] | --help | --version
// Without --config the settings are "Relayd.ini" beside the program.
struct RelaydArguments {
    std::string iniPath;
    bool iniGiven = false; // by --config
    bool showHelp = false;
    bool showVersion = false;
    std::string error; // not empty when the command line is wrong
};

RelaydArguments ParseRelaydArguments(const std::vector<std::string>& args,
                                     const std::string& programDirectory);

inline constexpr const char* kRelaydUsage =
    "Usage: Relayd [--config FILE]\n"
    "Serves the files of one folder, read-only, over TFTP until it is terminated. The settings (section\n"
    "[SERVER], keys Directory and Port) come from FILE, by default Relayd.ini beside the program.\n";

} // namespace rf
