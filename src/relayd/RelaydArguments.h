#pragma once

#include <string>
#include <vector>

namespace rf {

// The command line of Relayd:  Relayd [--config FILE] [--control] | --help | --version
// Without --config the settings are "Relayd.ini" beside the program.
struct RelaydArguments {
    std::string iniPath;
    bool iniGiven = false; // by --config
    bool control = false;  // commands on standard input, status on standard output
    bool showHelp = false;
    bool showVersion = false;
    std::string error; // not empty when the command line is wrong
};

RelaydArguments ParseRelaydArguments(const std::vector<std::string>& args,
                                     const std::string& programDirectory);

inline constexpr const char* kRelaydUsage =
    "Usage: Relayd [--config FILE] [--control]\n"
    "Serves the files of one folder, read-only, over TFTP until it is terminated. The settings (section\n"
    "[SERVER], keys Directory and Port) come from FILE, by default Relayd.ini beside the program.\n"
    "With --control it reads commands from standard input (\"allow ADDRESS...\": serve only these\n"
    "clients) and ends at its end; it reports each transfer on standard output.\n";

} // namespace rf
