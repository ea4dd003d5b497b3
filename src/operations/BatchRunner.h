#pragma once

#include "operations/BatchPlan.h"
#include "operations/DeviceOutcome.h"

#include <stop_token>
#include <vector>

namespace rf {

class CNetManagement;
class CSqlManagement;

// Sends a plan's request to each of its devices in order, waits until every request has ended (answered,
// or dropped after its last resend), asks the devices that answered for their details again when the
// plan says so, and judges each device by what the store then holds. Runs on a worker thread; stop ends
// it early (between two sends, or while waiting), leaving the unfinished devices Cancelled.
BatchResult RunBatch(CNetManagement& engine, CSqlManagement& store, const BatchPlan& plan,
                     std::stop_token stop);

// Runs plans one after another (each waits for the previous one's answers); stop ends the run, leaving
// the plans not started with every device Cancelled. One result per plan.
std::vector<BatchResult> RunBatches(CNetManagement& engine, CSqlManagement& store,
                                    const std::vector<BatchPlan>& plans, std::stop_token stop);

} // namespace rf
