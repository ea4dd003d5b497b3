#pragma once

#include <string>
#include <vector>

namespace rf {

// What may follow the words already typed after "radiofleet-cli", for the shell's completion: the
// commands first, then the options of the command (and the values of the option just typed), all read
// from the command table's synopses. Empty where a MAC, a name or a file is expected.
std::vector<std::string> CliCompletions(const std::vector<std::string>& typed);

} // namespace rf
