#include "operations/DeviceOutcome.h"

#include "core/Language.h"

#include <algorithm>

namespace rf {

const char* OutcomeKey(DeviceOutcome outcome) {
    switch (outcome) {
    case DeviceOutcome::Verified:
        return "verified";
    case DeviceOutcome::Answered:
        return "answered";
    case DeviceOutcome::NotApplied:
        return "not applied";
    case DeviceOutcome::Refused:
        return "refused by the device";
    case DeviceOutcome::NoAnswer:
        return "no answer";
    case DeviceOutcome::NotSent:
        return "not sent";
    case DeviceOutcome::Cancelled:
        return "cancelled";
    }
    return "not sent";
}

bool BatchResult::AllSucceeded() const {
    return std::all_of(devices.begin(), devices.end(),
                       [](const DeviceResult& d) { return IsSuccess(d.outcome); });
}

int BatchResult::Count(DeviceOutcome outcome) const {
    return static_cast<int>(std::count_if(devices.begin(), devices.end(),
                                          [&](const DeviceResult& d) { return d.outcome == outcome; }));
}

std::string BatchSummaryText(const char* operationKey, const BatchResult& result) {
    static constexpr DeviceOutcome kOrder[] = {
        DeviceOutcome::Verified, DeviceOutcome::Answered, DeviceOutcome::NotApplied, DeviceOutcome::Refused,
        DeviceOutcome::NoAnswer, DeviceOutcome::NotSent,  DeviceOutcome::Cancelled};
    std::string text = Translate(operationKey) + ":";
    const char* separator = " ";
    for (const DeviceOutcome outcome : kOrder) {
        if (const int n = result.Count(outcome); n > 0) {
            text += separator + std::to_string(n) + " " + Translate(OutcomeKey(outcome));
            separator = ", ";
        }
    }
    return text;
}

std::string BatchUnreachedText(const BatchResult& result) {
    std::string macs;
    for (const DeviceResult& device : result.devices) {
        if (device.outcome == DeviceOutcome::NoAnswer || device.outcome == DeviceOutcome::NotSent) {
            macs += (macs.empty() ? "" : ", ") + device.mac;
        }
    }
    return macs.empty() ? macs : Translate("not reached") + ": " + macs;
}

std::string BatchDetailText(const BatchResult& result) {
    std::string text;
    for (const DeviceResult& device : result.devices) {
        text += (text.empty() ? "" : "\n") + device.mac + "  " + device.ip + "  " +
                Translate(OutcomeKey(device.outcome));
    }
    return text;
}

} // namespace rf
