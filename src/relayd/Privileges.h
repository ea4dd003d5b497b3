#pragma once

#include <string>

namespace rf {

// Gives up what was only needed to bind the request port. Started through pkexec (root, PKEXEC_UID set),
// the process becomes the user who asked for it; started with file capabilities, it drops them. Either
// way it ends up as an ordinary process of that user, which the user's program can find and end.
// False with a reason when a step failed.
bool DropPrivileges(std::string& error);

} // namespace rf
