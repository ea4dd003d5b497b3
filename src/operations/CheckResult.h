#pragma once

#include "operations/BatchPlan.h"

#include <optional>
#include <string>
#include <vector>

namespace rf {

// Why an operation is not started: the key of the message to show and the devices it is about (MACs).
struct Refusal {
    std::string messageKey;
    std::vector<std::string> macs;
};

// What the check of an operation gives: the plan to run, or why not.
struct CheckResult {
    BatchPlan plan;
    std::optional<Refusal> refusal;

    bool Accepted() const { return !refusal.has_value(); }
    static CheckResult Refuse(std::string messageKey, std::vector<std::string> macs) {
        return {{}, Refusal{std::move(messageKey), std::move(macs)}};
    }
};

} // namespace rf
