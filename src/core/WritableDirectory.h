#pragma once

#include <string>

namespace rf {

// Where the program writes a file that belongs beside it (data.mdb beside the executable, Relayd.ini in
// the service folder): preferred (ending in "/") when it is writable, as in a build tree or a bundle the
// user owns; otherwise, as for a bundle installed by root, "$XDG_RUNTIME_DIR/radiofleet/", else
// "$XDG_CACHE_HOME/radiofleet/" or "$HOME/.cache/radiofleet/". The fallback directory is created,
// readable by the user only. Returns preferred when none of them can be made, so that writing the file
// there reports the failure.
std::string ChooseWritableDirectory(const std::string& preferred);

} // namespace rf
