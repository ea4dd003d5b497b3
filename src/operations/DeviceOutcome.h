#pragma once

#include "operations/BatchPlan.h"

#include <string>
#include <vector>

namespace rf {

// What became of one device's request in a batch.
enum class DeviceOutcome {
    Verified,           // answered, and its details (or status) show the change
    VerifiedAnswerLost, // its answer was lost, but its details (or its restart) show the change
    Answered,           // answered; the change could not be confirmed (its details did not come)
    NotApplied,         // answered, but its details do not show the change
    Refused,            // answered with a failure result
    NoAnswer,           // no answer after the last resend
    NotSent,            // no adapter of this PC is in its subnet, or it was given no address
    Cancelled,          // the batch was stopped before its request ended
};

// Succeeded as far as the PC can tell.
constexpr bool IsSuccess(DeviceOutcome outcome) {
    return outcome == DeviceOutcome::Verified || outcome == DeviceOutcome::VerifiedAnswerLost ||
           outcome == DeviceOutcome::Answered;
}

// The language key of the message for an access-point scan whose request could not leave this PC.
inline constexpr const char* kScanNotSentKey =
    "The scan request could not be sent: no adapter of this PC is in the device's subnet.";

// The language key of an outcome, as the pages show it ("verified", "no answer", ...).
const char* OutcomeKey(DeviceOutcome outcome);

struct DeviceResult {
    std::string mac;
    std::string ip; // where the request went
    DeviceOutcome outcome = DeviceOutcome::NotSent;
    // Why an answered request could not be checked, when there is more to say than that its details did
    // not come ("not checked after the restart"); translated.
    std::string unchecked;
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
// One line per device of the plan, DeviceLineText: the pages' detail and the command line's output are
// the same lines.
std::string BatchDetailText(const BatchPlan& plan, const BatchResult& result);

// What the request to item does, in words ("renamed to North-1", "moved to 10.77.1.55"); translated.
std::string ChangeText(const BatchPlan& plan, const BatchItem& item);
// What became of device i of the plan, in words: the change and how the PC knows it ("moved to
// 10.77.1.55 (its answer was lost)"), or what went wrong ("no answer"); translated.
std::string OutcomeText(const BatchPlan& plan, size_t i, const DeviceResult& device);
// Device i's line for the user: MAC, the address its request went to, OutcomeText.
std::string DeviceLineText(const BatchPlan& plan, size_t i, const DeviceResult& device);

} // namespace rf
