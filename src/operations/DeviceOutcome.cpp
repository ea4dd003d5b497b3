#include "operations/DeviceOutcome.h"

#include "core/Language.h"
#include "core/OperateCharacter.h"
#include "protocol/DeviceNameBlock.h"

#include <algorithm>

namespace rf {

const char* OutcomeKey(DeviceOutcome outcome) {
    switch (outcome) {
    case DeviceOutcome::Verified:
        return "verified";
    case DeviceOutcome::VerifiedAnswerLost:
        return "verified (answer lost)";
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
    static constexpr DeviceOutcome kOrder[] = {DeviceOutcome::Verified, DeviceOutcome::VerifiedAnswerLost,
                                               DeviceOutcome::Answered, DeviceOutcome::NotApplied,
                                               DeviceOutcome::Refused,  DeviceOutcome::NoAnswer,
                                               DeviceOutcome::NotSent,  DeviceOutcome::Cancelled};
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

std::string BatchDetailText(const BatchPlan& plan, const BatchResult& result) {
    std::string text;
    for (size_t i = 0; i < result.devices.size() && i < plan.items.size(); ++i) {
        text += (text.empty() ? "" : "\n") + DeviceLineText(plan, i, result.devices[i]);
    }
    return text;
}

namespace {

std::string NameOf(const BatchItem& item) {
    std::string local;
    COperateCharacter::DeviceTextToLocal(DeviceNameBlock::FromBytes(item.payload).ap_name(), local);
    return local;
}

} // namespace

std::string ChangeText(const BatchPlan& plan, const BatchItem& item) {
    switch (plan.type) {
    case MessageType::Reboot:
        return Translate("restarting");
    case MessageType::Restore:
        return Translate("resetting to factory settings");
    case MessageType::SetName:
        return Translate("renamed to") + " " + NameOf(item);
    case MessageType::SetIp:
    case MessageType::SetBridge:
        return Translate("moved to") + " " + item.detailIp;
    case MessageType::SetTransparentBridge:
        return Translate(!item.payload.empty() && item.payload[0] != 0 ? "transparent bridge on"
                                                                       : "transparent bridge off");
    case MessageType::SetWireless:
        return Translate("wireless settings changed");
    case MessageType::SetRebootSchedule:
        return Translate("reboot schedule changed");
    case MessageType::SetVlan:
        return Translate("VLAN settings changed");
    default:
        return Translate("changed");
    }
}

std::string OutcomeText(const BatchPlan& plan, size_t i, const DeviceResult& device) {
    const auto change = [&] { return ChangeText(plan, plan.items.at(i)); };
    switch (device.outcome) {
    case DeviceOutcome::Verified:
        return change() + " (" + Translate("verified") + ")";
    case DeviceOutcome::VerifiedAnswerLost:
        return change() + " (" + Translate("its answer was lost") + ")";
    case DeviceOutcome::Answered:
        return change() + " (" +
               (device.unchecked.empty() ? Translate("answered; not confirmed by its details")
                                         : device.unchecked) +
               ")";
    case DeviceOutcome::NotApplied:
        return Translate("not applied: it answered, but its details do not show the change");
    case DeviceOutcome::NotSent:
        return Translate("not sent: no adapter of this PC is in the subnet of") + " " + device.ip;
    default:
        return Translate(OutcomeKey(device.outcome));
    }
}

std::string DeviceLineText(const BatchPlan& plan, size_t i, const DeviceResult& device) {
    return device.mac + "  " + device.ip + "  " + OutcomeText(plan, i, device);
}

} // namespace rf
