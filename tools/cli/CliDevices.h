#pragma once

#include "CliArguments.h"
#include "CliSession.h"
#include "protocol/ApInfo.h"

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace rf {

// The MACs without repeats, in their first order.
std::vector<std::string> DistinctMacs(const std::vector<std::string>& macs);

// Searches every 3 seconds until every device is stored or limit has passed; stored holds their records,
// or an empty record for a device that was not found. False when interrupted.
bool LearnDevices(CliSession& session, const std::vector<std::string>& macs, std::vector<ap_info_stu>& stored,
                  std::chrono::seconds limit);

// The devices a command names, once searched for: those found, in the order named. Each one not found
// has had its line printed.
struct LearnedDevices {
    std::vector<ap_info_stu> found;
    bool missing = false;
};
// The command's MACs, searched for up to its wait; nullopt when interrupted.
std::optional<LearnedDevices> LearnNamedDevices(CliSession& session, const CliArguments& arguments);

// The command's one device: its stored record, searched for first; false with the exit code when
// interrupted (130) or not found (1, its line printed).
bool LearnDevice(CliSession& session, const CliArguments& arguments, ap_info_stu& record, int& exitCode);

// Runs work on a worker thread while this thread watches for termination signals; on one, the worker is
// asked to stop and false is returned once it has ended.
bool RunInterruptibly(CliSession& session, const std::function<void(std::stop_token)>& work);

} // namespace rf
