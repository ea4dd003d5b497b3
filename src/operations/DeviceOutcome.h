#pragma once

#include <string>
#include <vector>

namespace rf {

// What became of one device's request in a batch.
enum class DeviceOutcome {
    Verified,   // answered, and its details (or status) show the change
    Answered,   // answered; the change could not be confirmed (its details did not come)
    NotApplied, // answered, but its details do not show the change
    Refused,    // answered with a failure result
    NoAnswer,   // no answer after the last resend
    NotSent,    // no adapter of this PC is in its subnet, or it was given no address
    Cancelled,  // the batch was stopped before its request ended
};

// Succeeded as far as the PC can tell.
constexpr bool IsSuccess(DeviceOutcome outcome) {
    return outcome == DeviceOutcome::Verified || outcome == DeviceOutcome::Answered;
}

// The language key of an outcome, as the pages show it ("verified", "no answer", ...).
const char* OutcomeKey(DeviceOutcome outcome);

struct DeviceResult {
    std::string mac;
    std::string ip; // where the request went
    DeviceOutcome outcome = DeviceOutcome::NotSent;
};

// Every device of a batch with its outcome, in the order they were sent.
struct BatchResult {
    std::vector<DeviceResult> devices;

    bool AllSucceeded() const;
    int Count(DeviceOutcome outcome) const;
};

// One line for the user: the operation and how many devices ended how, in the order of the outcomes
// ("Set IP: 2 verified, 1 no answer"); translated.
std::string BatchSummaryText(const char* operationKey, const BatchResult& result);
// The devices that the request did not reach (no answer, or nothing sent), by MAC: "not reached: a, b";
// empty when every device was reached. Translated.
std::string BatchUnreachedText(const BatchResult& result);
// One line per device: MAC, address and outcome; translated.
std::string BatchDetailText(const BatchResult& result);

} // namespace rf
