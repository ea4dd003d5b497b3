#pragma once

#include "rules/SecurityForm.h"

#include <string>

namespace rf {

// What configure and join share: the security options as the forms take them.

// The key goes where the chosen mode keeps it; a WEP key of 10 or 26 hex digits is typed as Hex. A mode
// the forms cannot edit has no place for one.
bool PutKey(SecurityForm& s, const std::string& key, std::string& error);

} // namespace rf
