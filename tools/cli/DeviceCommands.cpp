#include "CliCommands.h"
#include "CliDevices.h"
#include "DeviceOutput.h"

#include "core/Language.h"
#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "operations/OperationChecks.h"
#include "operations/PlanDescription.h"
#include "protocol/CodeTables.h"

#include <algorithm>
#include <iostream>

namespace rf {
namespace {

std::string StoredIp(const ap_info_stu& device) {
    return IpBytesToText(device.device_info().ip());
}

IpSettingsBlock StaticIpBlock(const CliArguments& a) {
    return BuildStaticIpBlock(IpTextToBytes(a.ip), IpTextToBytes(a.mask), IpTextToBytes(a.gateway),
                              IpTextToBytes(a.dns1), IpTextToBytes(a.dns2));
}

// The plan of the command line by the checks the pages apply; on refusal, the message.
std::optional<BatchPlan> Plan(CliSession& session, const CliArguments& a,
                              const std::vector<ap_info_stu>& stored, std::string& refusal) {
    std::vector<SelectedDevice> devices;
    for (const ap_info_stu& device : stored) {
        devices.push_back(SelectedDevice::Make(StoredIp(device), device.mac(), device.ap_type()));
    }
    if (a.command == "reboot") {
        return PlanReboot(session.Store(), devices);
    }
    if (a.command == "reset") {
        return PlanReset(session.Store(), devices);
    }
    CheckResult check;
    if (a.command == "rename") {
        check = CheckRename(devices.front(), a.name);
    } else if (a.command == "set-ip") {
        check = CheckSetIp(session.Store(), devices.front(), {a.ip, a.mask, a.gateway, a.dns1, a.dns2});
    } else {
        check = CheckTransparentBridge(session.Store(), devices, a.on);
    }
    if (!check.Accepted()) {
        refusal = RefusalText(*check.refusal);
        return std::nullopt;
    }
    return std::move(check.plan);
}

std::string SuccessText(const CliArguments& a) {
    if (a.command == "reboot") {
        return "restarting";
    }
    if (a.command == "reset") {
        return "resetting to factory settings";
    }
    if (a.command == "rename") {
        return "renamed to " + PrintableText(a.name);
    }
    if (a.command == "set-ip") {
        return "moved to " + a.ip;
    }
    return a.on ? "transparent bridge on" : "transparent bridge off";
}

std::string OutcomeText(const CliArguments& a, const DeviceResult& device) {
    switch (device.outcome) {
    case DeviceOutcome::Verified:
        return SuccessText(a);
    case DeviceOutcome::Answered:
        return SuccessText(a) + " (answered; not confirmed by its details)";
    case DeviceOutcome::NotApplied:
        return "not applied: it answered, but its details do not show the change";
    case DeviceOutcome::NotSent:
        return "not sent: no adapter of this PC is in the subnet of " + device.ip;
    default:
        return OutcomeKey(device.outcome);
    }
}

int Report(const CliArguments& arguments, const BatchResult& result, bool missing) {
    for (const DeviceResult& device : result.devices) {
        std::cout << device.mac << "  " << device.ip << "  " << OutcomeText(arguments, device) << "\n";
    }
    std::cout.flush();
    return result.AllSucceeded() && !missing ? kExitOk : kExitDeviceFailed;
}

// The record as the command would leave it.
DeviceInfo Intended(const CliArguments& a, DeviceInfo info) {
    if (a.command == "rename") {
        info.set_ap_name(a.name);
    } else if (a.command == "set-ip") {
        const IpSettingsBlock block = StaticIpBlock(a);
        std::ranges::copy(block, info.mutable_ip_settings_block().begin());
    } else if (a.command == "transparent-bridge") {
        info.set_bridge_transparent(a.on ? 1 : 0);
    }
    return info;
}

// The dry run: each device's request and the settings it would change.
int PrintPlan(const CliArguments& arguments, const BatchPlan& plan, const std::vector<ap_info_stu>& found,
              bool missing) {
    for (const BatchItem& item : plan.items) {
        const auto device =
            std::ranges::find_if(found, [&](const ap_info_stu& d) { return d.mac() == item.mac; });
        std::cout << item.mac << "  " << item.ip << "  would send " << RequestName(plan.type) << "\n";
        const DeviceInfo before = device->device_info();
        std::cout << PlannedChangeLines(before, Intended(arguments, before));
    }
    std::cout.flush();
    return missing ? kExitDeviceFailed : kExitOk;
}

} // namespace

int RunDeviceCommand(CliSession& session, const CliArguments& arguments) {
    const std::optional<LearnedDevices> learned = LearnNamedDevices(session, arguments);
    if (!learned) {
        return kExitInterrupted;
    }
    if (learned->found.empty()) {
        return kExitDeviceFailed;
    }
    std::string refusal;
    const std::optional<BatchPlan> plan = Plan(session, arguments, learned->found, refusal);
    if (!plan) {
        std::cerr << "radiofleet-cli: " << refusal << "\n";
        return kExitBadArguments;
    }
    if (arguments.dryRun) {
        return PrintPlan(arguments, *plan, learned->found, learned->missing);
    }
    BatchResult result;
    if (!RunInterruptibly(session, [&](std::stop_token stop) {
            result = RunBatch(session.Engine(), session.Store(), *plan, stop);
        })) {
        return kExitInterrupted;
    }
    return Report(arguments, result, learned->missing);
}

} // namespace rf
