#include "CliCommands.h"
#include "CliDevices.h"
#include "DeviceOutput.h"

#include "core/Language.h"
#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"

#include <algorithm>
#include <iostream>

namespace rf {
namespace {

std::string StoredIp(const ap_info_stu& device) {
    return IpBytesToText(device.device_info().ip());
}

// The plan of the command line, checked by the rules the pages apply; on refusal, the message.
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
    if (a.command == "rename") {
        if (!IsValidName(a.name, devices.front().model)) {
            refusal = Translate(NameRuleMessage(devices.front().model));
            return std::nullopt;
        }
        return PlanRename(devices.front(), a.name);
    }
    if (a.command == "set-ip") {
        std::string rule = ValidateIpSettings(a.ip, a.mask, a.gateway, a.dns1, a.dns2);
        if (rule.empty() && IsAddressUsedByAnother(session.Store(), a.ip, devices.front().Mac())) {
            rule = kAddressInUseMessage;
        }
        if (!rule.empty()) {
            refusal = Translate(rule);
            return std::nullopt;
        }
        return PlanSetIp(devices.front(), BuildStaticIpBlock(IpTextToBytes(a.ip), IpTextToBytes(a.mask),
                                                             IpTextToBytes(a.gateway), IpTextToBytes(a.dns1),
                                                             IpTextToBytes(a.dns2)));
    }
    for (const ap_info_stu& device : stored) {
        if (!HasTransparentBridge(device.ap_type(), device.device_info().work_mode())) {
            refusal = device.mac() + ": " + Translate("Please select configurable devices!") +
                      " (no transparent bridge in this model or work mode)";
            return std::nullopt;
        }
    }
    return PlanTransparentBridge(devices, a.on);
}

int Report(const BatchPlan& plan, const BatchResult& result) {
    for (size_t i = 0; i < result.devices.size(); ++i) {
        std::cout << DeviceLineText(plan, i, result.devices[i]) << "\n";
    }
    std::cout.flush();
    return result.AllSucceeded() ? kExitOk : kExitDeviceFailed;
}

} // namespace

int RunDeviceCommand(CliSession& session, const CliArguments& arguments) {
    const std::vector<std::string> macs = DistinctMacs(arguments.macs);
    std::vector<ap_info_stu> stored;
    if (!LearnDevices(session, macs, stored)) {
        return kExitInterrupted;
    }
    for (size_t i = 0; i < macs.size(); ++i) {
        if (stored[i].mac() != macs[i]) {
            std::cerr << "radiofleet-cli: unknown device " << macs[i] << ": it did not answer the search\n";
            return kExitBadArguments;
        }
    }
    std::string refusal;
    const std::optional<BatchPlan> plan = Plan(session, arguments, stored, refusal);
    if (!plan) {
        std::cerr << "radiofleet-cli: " << refusal << "\n";
        return kExitBadArguments;
    }
    BatchResult result;
    if (!RunInterruptibly(session, [&](std::stop_token stop) {
            result = RunBatch(session.Engine(), session.Store(), *plan, stop);
        })) {
        return kExitInterrupted;
    }
    return Report(*plan, result);
}

} // namespace rf
