#pragma once

#include "core/ViewState.h"

#include <string>

namespace rf {

// The user's view file, "$XDG_CONFIG_HOME/radiofleet/view.ini" (else "$HOME/.config/radiofleet/view.ini");
// empty when neither variable is set.
std::string ViewFilePath();

// The view kept in the file; defaults when there is none. When the file is there but cannot be read or is
// damaged, the defaults come back and problem says why.
ViewState ReadViewFile(const std::string& path, std::string& problem);

// Replaces the file in one step (its folder made, private to the user, when missing), so that a reader
// never sees half of it.
bool WriteViewFile(const std::string& path, const ViewState& state);

} // namespace rf
