#pragma once

#include "CliSession.h"
#include "protocol/ApInfo.h"

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace rf {

// Searches until every device is stored (a few searches at most); stored holds their records, or an
// empty record for a device that did not answer. False when interrupted.
bool LearnDevices(CliSession& session, const std::vector<std::string>& macs,
                  std::vector<ap_info_stu>& stored);

// Runs work on a worker thread while this thread watches for termination signals; on one, the worker is
// asked to stop and false is returned once it has ended.
bool RunInterruptibly(CliSession& session, const std::function<void(std::stop_token)>& work);

} // namespace rf
