#pragma once

#include "rules/SecurityForm.h"

#include <string>

namespace rf {

// What configure and join share: the security options as the forms take them.

// The mode whose list text this is (any case), among the first modeCount modes; -1 when none is.
int SecurityModeOf(const std::string& text, int modeCount = kSecurityModeCount);

// The key goes where the chosen mode keeps it; a WEP key of 10 or 26 hex digits is typed as Hex.
bool PutKey(SecurityForm& s, const std::string& key, std::string& error);

} // namespace rf
