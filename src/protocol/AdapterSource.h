#pragma once

#include "nicscan/Nicscan.h"

#include <vector>

namespace rf {

// Where the engine learns the PC's network adapters.
class IAdapterSource {
public:
    virtual ~IAdapterSource() = default;
    // Copies of every node the adapter list holds, in list order (usable or not).
    virtual std::vector<AdapterRecord> Enumerate() = 0;
};

} // namespace rf
