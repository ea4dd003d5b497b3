#pragma once

#include <string>

namespace rf {

// Gives up what was only needed to bind the request port. Started through pkexec (root, PKEXEC_UID set),
// the process becomes the user who asked for it; started with file capabilities, it drops them. Either
// way it ends up as an ordinary process of that user, which the user's program can find and end.
// False with a reason when a step failed.
bool DropPrivileges(std::string& error);

// Whether settings named on the command line may be read before privileges are dropped. Started through
// pkexec, root reads them on behalf of the calling user, so they must belong to that user: otherwise an
// error message about them could show a file that user may not read.
bool CallerMayNameSettings(const std::string& iniPath, std::string& error);

} // namespace rf
