#pragma once

#include <string>

namespace rf {

// The directory (ending in "/") that holds data.mdb: exeDirectory when it is writable, otherwise
// "$XDG_RUNTIME_DIR/radiofleet/", otherwise "$XDG_CACHE_HOME/radiofleet/" or "$HOME/.cache/radiofleet/".
// The fallback directory is created, readable by the user only. Returns exeDirectory when none of them
// can be made, so that opening the file reports the failure.
std::string ChooseStoreDirectory(const std::string& exeDirectory);

} // namespace rf
