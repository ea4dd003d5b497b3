// radiofleet-cli: the engine and the store without a window, for scripts and tests.
#include "CliArguments.h"
#include "CliCommand.h"
#include "CliCommands.h"
#include "CliCompletion.h"
#include "CliSession.h"

#include "operations/OperationCatalogue.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace rf;
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The shell's completion asks what may follow the words typed so far (not listed in the usage).
    if (!args.empty() && args[0] == "--complete") {
        for (const std::string& word : CliCompletions({args.begin() + 1, args.end()})) {
            std::cout << word << "\n";
        }
        return kExitOk;
    }
    std::string error;
    const auto arguments = ParseCliArguments(args, error);
    if (!arguments) {
        // Nothing asked: the whole usage. A command's arguments not understood: its synopsis. A word
        // that is no command: the one line that says so.
        const CliCommand* named =
            args.empty() || IsUnknownCommandText(error) ? nullptr : FindCliCommand(args[0]);
        std::cerr << "radiofleet-cli: " << error << "\n"
                  << (args.empty() ? CliUsage()
                      : named      ? CliSynopsis(*named)
                                   : std::string());
        return kExitBadArguments;
    }
    const CliCommand& command = *FindCliCommand(arguments->command);
    CliSession session;
    if (command.needs != CliNeeds::Nothing && !session.Open(command.needs == CliNeeds::Engine, error)) {
        std::cerr << "radiofleet-cli: " << error << "\n";
        return kExitCannotStart;
    }
    const int status = command.run(session, *arguments);
    // What the run found is only as good as what the store kept: a refused write fails the run.
    if (command.needs != CliNeeds::Nothing) {
        if (const auto fault = session.Store().WriteFault()) {
            std::cerr << "radiofleet-cli: " << StoreCannotBeWrittenText(*fault) << "\n";
            return kExitCannotStart;
        }
    }
    return status;
}
