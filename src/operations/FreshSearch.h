#pragma once

#include "operations/SearchCycle.h"

namespace rf {

class CNetManagement;

// A fresh search forgets devices that never sent their details and stored devices that no longer answer:
// Leave to every announced device, drop them from the online list, delete from the store every device
// that is not online, then search.
void StartFreshSearch(CNetManagement& engine);

// What the engine has heard so far, for the search cycle to weigh.
SearchCycle::Heard HeardSoFar(const CNetManagement& engine);

} // namespace rf
