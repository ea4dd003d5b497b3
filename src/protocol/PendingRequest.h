#pragma once

#include "protocol/RequestEnd.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rf {

// A request waiting for its reply; resent until a reply of the same type comes from the same device.
struct PendingRequest {
    int remaining = 0; // resends still allowed
    std::string ip;
    int type = 0;
    std::vector<std::uint8_t> payload;
    std::string mac;
    RequestDone onDone; // called once when the request ends
};

} // namespace rf
