#pragma once

#include "protocol/ApInfo.h"
#include "protocol/Wire.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rf {

// One device's request of a batch.
struct BatchItem {
    std::string mac;
    std::string ip;       // where the request goes: the device's current address
    std::string detailIp; // where its details are asked for afterwards (its new address after SetIp)
    std::vector<std::uint8_t> payload;
    bool sendable = true; // false: the batch has nothing to send to this device (no address left for it)
    // Quiet time after this device's request before the next one leaves (an access point restarts
    // before the stations bridged to it, which would otherwise lose it mid-request).
    std::chrono::milliseconds pauseAfter{0};
};

// One request to many devices, and how the store shows that it took effect.
struct BatchPlan {
    MessageType type = MessageType::GetInfo;
    std::vector<BatchItem> items;
    // Ask every device that answered for its details again, so that the store shows the change.
    bool askDetails = false;
    // The stored record shows the change. Without it an answer is taken as the device's word. With it
    // and askDetails, a device whose answer was lost is asked for its details all the same: when they
    // show the change, it was applied.
    std::function<bool(const BatchItem&, const ap_info_stu&)> applied;
    // The request restarts the device. A device whose answer was lost is watched for a while: when it
    // comes back with a smaller up time than it had, it restarted.
    bool restarts = false;
};

} // namespace rf
