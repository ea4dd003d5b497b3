#include "CliCommands.h"
#include "CliDevices.h"
#include "DeviceOutput.h"

#include "core/Language.h"
#include "core/OperateCharacter.h"
#include "operations/BatchRunner.h"
#include "operations/DeviceOperations.h"
#include "operations/OperationCatalogue.h"
#include "operations/PlanDescription.h"
#include "protocol/CodeTables.h"

#include <algorithm>
#include <iostream>

namespace rf {
namespace {

std::string StoredIp(const ap_info_stu& device) {
    return IpBytesToText(device.device_info().ip());
}

// set-ip's fields over the device's stored settings.
IpSettingsTexts SetIpTexts(const CliArguments& a, const ap_info_stu& device) {
    return IpSettingsOverStored(a.configure.ipSettings, StoredIpTexts(device.device_info()));
}

std::string LocalName(const ap_info_stu& device) {
    std::string local;
    COperateCharacter::DeviceTextToLocal(device.device_info().ap_name(), local);
    return local;
}

// The plan of the command line by the checks the pages apply; on refusal, the message.
std::optional<BatchPlan> Plan(CliSession& session, const CliArguments& a,
                              const std::vector<ap_info_stu>& stored, std::string& refusal) {
    std::vector<SelectedDevice> devices;
    for (const ap_info_stu& device : stored) {
        devices.push_back(SelectedDevice::Make(StoredIp(device), device.mac(), device.ap_type()));
    }
    if (a.command == kRebootEntry.verb) {
        return PlanReboot(session.Store(), devices);
    }
    if (a.command == kResetEntry.verb) {
        return PlanReset(session.Store(), devices);
    }
    CheckResult check;
    if (a.command == kRenameEntry.verb) {
        check = CheckRename(devices.front(), LocalName(stored.front()), a.name);
    } else if (a.command == kSetIpEntry.verb) {
        check = CheckSetIp(session.Store(), devices.front(), SetIpTexts(a, stored.front()));
    } else {
        check = CheckTransparentBridge(session.Store(), devices, a.on);
    }
    if (!check.Accepted()) {
        refusal = RefusalText(*check.refusal);
        return std::nullopt;
    }
    return std::move(check.plan);
}

int Report(const BatchPlan& plan, const BatchResult& result, bool missing) {
    for (size_t i = 0; i < result.devices.size(); ++i) {
        std::cout << DeviceLineText(plan, i, result.devices[i]) << "\n";
    }
    std::cout.flush();
    return result.AllSucceeded() && !missing ? kExitOk : kExitDeviceFailed;
}

// The record as the command would leave the device.
DeviceInfo Intended(const CliArguments& a, const ap_info_stu& device) {
    DeviceInfo info = device.device_info();
    if (a.command == kRenameEntry.verb) {
        info.set_ap_name(a.name);
    } else if (a.command == kSetIpEntry.verb) {
        const IpSettingsTexts t = SetIpTexts(a, device);
        const IpSettingsBlock block =
            BuildStaticIpBlock(IpTextToBytes(t.ip), IpTextToBytes(t.mask), IpTextToBytes(t.gateway),
                               IpTextToBytes(t.dns1), IpTextToBytes(t.dns2));
        std::ranges::copy(block, info.mutable_ip_settings_block().begin());
    } else if (a.command == kTransparentBridgeEntry.verb) {
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
        std::cout << PlannedChangeLines(device->device_info(), Intended(arguments, *device));
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
    if (plan->items.empty()) {
        std::cout << NothingChangedText() << std::endl;
        return learned->missing ? kExitDeviceFailed : kExitOk;
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
    return Report(*plan, result, learned->missing);
}

} // namespace rf
