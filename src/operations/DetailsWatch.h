#pragma once

#include "protocol/ApInfo.h"

#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace rf {

class CNetManagement;
class CSqlManagement;

// A device whose details are waited for: they are asked for at ip, and the stored record they leave must
// show what the caller waits for (the device at its new address, a smaller up time after a restart).
struct DetailsWatch {
    std::string mac;
    std::string ip;
    std::function<bool(const ap_info_stu&)> shows;
};

// Asks every watched device for its details, again and again (one request at a time, each with its
// resends), until each has answered with details that show what is waited for, limit
// has passed on the engine's clock, or stop came. A device that dropped out of the online list while it was
// away is searched for, since the engine only takes details from devices it knows. Which devices showed it.
std::vector<bool> WatchDetails(CNetManagement& engine, CSqlManagement& store,
                               const std::vector<DetailsWatch>& watches, std::chrono::milliseconds limit,
                               std::stop_token stop);

} // namespace rf
