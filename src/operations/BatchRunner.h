#pragma once

#include "operations/BatchPlan.h"
#include "operations/DeviceOutcome.h"

#include <stop_token>

namespace rf {

class CNetManagement;
class CSqlManagement;

// Sends a plan's request to each of its devices in order, waits until every request has ended (answered,
// or dropped after its last resend), asks the devices that answered for their details again when the
// plan says so, and judges each device by what the store then holds. Runs on a worker thread; stop ends
// it early (between two sends, or while waiting), leaving the unfinished devices Cancelled.
BatchResult RunBatch(CNetManagement& engine, CSqlManagement& store, const BatchPlan& plan,
                     std::stop_token stop);

} // namespace rf
