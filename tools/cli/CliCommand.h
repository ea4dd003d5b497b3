#pragma once

#include "CliArguments.h"
#include "CliSession.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace rf {

// What a command needs opened before its handler runs.
enum class CliNeeds {
    Nothing, // prints only
    Store,   // the store; the handler starts the engine itself
    Engine,  // the store and the running engine
};

// One command of radiofleet-cli: adding a command means adding one of these to the table.
struct CliCommand {
    std::string_view verb;
    // What follows "radiofleet-cli " in the usage, one line per form; a line that starts with a blank
    // continues the one before. Empty: not listed.
    std::string_view synopsis;
    std::string_view help; // wrapped lines, each ending in a newline
    bool (*parse)(const std::vector<std::string>& rest, CliArguments& a, std::string& error);
    int (*run)(CliSession& session, const CliArguments& arguments);
    CliNeeds needs = CliNeeds::Engine;
    bool dryRun = false; // takes --dry-run
    // Texts this command shares with others, shown once in the usage.
    std::array<std::string_view, 2> shared = {};
};

// Every command, in the order the usage lists them.
const std::vector<CliCommand>& CliCommandTable();
// The command of this verb; nullptr when there is none.
const CliCommand* FindCliCommand(std::string_view verb);

// The whole usage: every synopsis, every command's text, the exit codes.
std::string CliUsage();
// One command's synopsis and text.
std::string CliCommandHelp(const CliCommand& command);
// One command's synopsis alone.
std::string CliSynopsis(const CliCommand& command);
// The one line that answers a word that is no command, naming the nearest command when it is close.
std::string UnknownCommandText(std::string_view typed);
// Whether an error is that line (and so wants nothing after it).
bool IsUnknownCommandText(std::string_view error);

} // namespace rf
