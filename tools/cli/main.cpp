// radiofleet-cli: the engine and the store without a window, for scripts and tests.
#include "CliArguments.h"
#include "CliCommand.h"
#include "CliCommands.h"
#include "CliSession.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace rf;
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto arguments = ParseCliArguments(args, error);
    if (!arguments) {
        const CliCommand* named = args.empty() ? nullptr : FindCliCommand(args[0]);
        std::cerr << "radiofleet-cli: " << error << "\n" << (named ? CliCommandHelp(*named) : CliUsage());
        return kExitBadArguments;
    }
    const CliCommand& command = *FindCliCommand(arguments->command);
    CliSession session;
    if (command.needs != CliNeeds::Nothing && !session.Open(command.needs == CliNeeds::Engine, error)) {
        std::cerr << "radiofleet-cli: " << error << "\n";
        return kExitCannotStart;
    }
    return command.run(session, *arguments);
}
