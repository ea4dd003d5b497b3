#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rf {

// What may follow the words already typed after "radiofleet-cli", for the shell's completion: the
// commands first, then the options of the command (and the values of the option just typed), all read
// from the command table's synopses. Empty where a MAC, a name or a file is expected.
std::vector<std::string> CliCompletions(const std::vector<std::string>& typed);

// The answer to an option the command does not take, naming the nearest one it takes when it is close.
std::string UnknownOptionText(std::string_view verb, std::string_view option);

} // namespace rf
