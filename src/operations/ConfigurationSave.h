#pragma once

#include "operations/BatchPlan.h"
#include "operations/ConfigChanges.h"
#include "operations/DeviceOutcome.h"

#include <stop_token>
#include <vector>

namespace rf {

class CNetManagement;
class CSqlManagement;

// The configuration dialog's Save for one device, for the pages and the command line alike, over the plans
// of PlanConfigure for changes:
//  1. the blocks' requests leave back to back in the plans' order, each with its own resends, the next when
//     the one before has ended (answered, or unanswered after its last resend);
//  2. one wait while the device restarts (a VLAN change, up to 60 s) or moves (an IP change, up to 15 s),
//     ended as soon as it answers at the address it should now have with its details (after a restart,
//     with a smaller up time); no wait for other changes;
//  3. one look at its details there, by which every block is judged: verified, or not applied; a block
//     whose answer was lost is verified all the same when the details show it.
// Without wait, nothing is waited for and, after a VLAN change, nothing checked: the answered blocks stay
// answered, not checked after the restart. A device that is not back after a VLAN change that turned the
// management VLAN on may be out of the PC's reach: its answered blocks say so. One result per plan.
// A block of the Save by its request: the short name the command line prints ("name", "wireless",
// "schedule", "vlan", "ip") and the language key of its tab, which the page's summary names.
const char* ConfigBlockName(MessageType type);
const char* ConfigBlockKey(MessageType type);

std::vector<BatchResult> SaveConfiguration(CNetManagement& engine, CSqlManagement& store,
                                           const std::vector<BatchPlan>& plans, const ConfigChanges& changes,
                                           bool wait, std::stop_token stop);

} // namespace rf
