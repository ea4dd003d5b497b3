#pragma once

#include "protocol/OnlineEntry.h"
#include "protocol/RequestEnd.h"

#include <string>

namespace rf {

// A record that names a known device's MAC from an address the device does not have is a claim on that
// MAC. Before the device moves there, its stored address is asked for its details (GetInfo, with the
// normal resends): an answer means two hosts answer for one MAC, silence means the device has moved.

// Whether a record from senderIp naming entry's MAC calls for a probe: the sender is neither of the
// device's addresses, nor an address already being probed or already known to conflict.
bool NeedsProbe(const OnlineEntry& entry, const std::string& senderIp);

enum class ClaimOutcome {
    Conflict, // the stored address answered: the device stays, its row shows the conflict
    Move,     // no answer from the stored address: the device now has the claiming address
    None,     // the engine stopped before the probe ended
};
ClaimOutcome DecideClaim(const RequestEnd& probeEnd);

} // namespace rf
