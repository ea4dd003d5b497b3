// radiofleet-cli: the engine and the store without a window, for scripts and tests.
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "core/Version.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace rf;
    std::string error;
    const auto arguments = ParseCliArguments(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!arguments) {
        std::cerr << "radiofleet-cli: " << error << "\n" << kCliUsage;
        return kExitBadArguments;
    }
    if (arguments->command == "help" || arguments->command == "version") {
        std::cout << (arguments->command == "help" ? std::string(kCliUsage)
                                                   : std::string("radiofleet-cli ") + kVersionText + "\n");
        return kExitOk;
    }
    CliSession session;
    // adapters starts the engine itself: without the ports it still lists the adapters.
    const bool list = arguments->command == "adapters";
    if (!session.Open(!list, error)) {
        std::cerr << "radiofleet-cli: " << error << "\n";
        return kExitCannotStart;
    }
    if (list) {
        return RunAdapters(session, *arguments);
    }
    if (arguments->command == "search") {
        return RunSearch(session, *arguments);
    }
    if (arguments->command == "show") {
        return RunShow(session, *arguments);
    }
    if (arguments->command == "scan") {
        return RunScan(session, *arguments);
    }
    if (arguments->command == "join") {
        return RunJoin(session, *arguments);
    }
    if (arguments->command == "configure") {
        return RunConfigure(session, *arguments);
    }
    if (arguments->command == "upgrade") {
        return RunUpgrade(session, *arguments);
    }
    return RunDeviceCommand(session, *arguments);
}
