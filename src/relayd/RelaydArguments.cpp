#include "relayd/RelaydArguments.h"

namespace rf {

RelaydArguments ParseRelaydArguments(const std::vector<std::string>& args,
                                     const std::string& programDirectory) {
    RelaydArguments parsed;
    parsed.iniPath = programDirectory + "Relayd.ini";
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.showHelp = true;
        } else if (arg == "--control") {
            parsed.control = true;
        } else if (arg == "--version") {
            parsed.showVersion = true;
        } else if (arg == "--config" && i + 1 < args.size() && !args[i + 1].empty()) {
            parsed.iniPath = args[++i];
            parsed.iniGiven = true;
        } else if (arg.starts_with("--config=") && arg.size() > 9) {
            parsed.iniPath = arg.substr(9);
            parsed.iniGiven = true;
        } else {
            parsed.error = arg == "--config" ? "--config needs a file" : "unknown argument: " + arg;
            return parsed;
        }
    }
    return parsed;
}

} // namespace rf
