#pragma once

#include "protocol/EngineClock.h"
#include "protocol/RequestEnd.h"

#include <chrono>
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
    IEngineClock::TimePoint lastSent{}; // the next resend is due one interval after this
    std::chrono::milliseconds interval{};
    RequestDone onDone;
    std::uint64_t id = 0;  // unique in the engine's run
    bool inFlight = false; // recorded, but its first transmission has not finished yet
};

} // namespace rf
