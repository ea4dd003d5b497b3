#pragma once

#include "operations/ConfigChanges.h"

#include <optional>

namespace rf {

// The wait a configuration send needs while the device restarts: a VLAN change restarts it for a minute
// and it is not searched for (it may come back in another VLAN); an IP change moves it, so the wait is
// shorter and searches for it at its new address. Other changes need no wait.
struct ConfigWait {
    int seconds = 0;
    bool search = false;
    int searchPasses = 0;

    friend bool operator==(const ConfigWait&, const ConfigWait&) = default;
};

inline std::optional<ConfigWait> WaitAfterConfigure(const ConfigChanges& changes) {
    if (changes.vlan) {
        return ConfigWait{60, false, 3};
    }
    if (changes.ip) {
        return ConfigWait{15, true, 3};
    }
    return std::nullopt;
}

} // namespace rf
