#include "CliCommands.h"
#include "CliDevices.h"
#include "DeviceOutput.h"
#include "RecordOutput.h"
#include "SecurityOptions.h"

#include "core/Language.h"
#include "core/OperateCharacter.h"
#include "operations/ConfigForms.h"
#include "operations/ConfigurationSave.h"
#include "operations/DeviceOperations.h"
#include "operations/OperationCatalogue.h"
#include "operations/PlanDescription.h"
#include "protocol/CodeTables.h"
#include "rules/DeviceRules.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace rf {
namespace {

// The wireless options over the opening form; false with error (exit 2) for what the tab would not let
// the user choose.
bool ApplyWireless(const ConfigureOptions& c, WirelessForm& w, std::string& error) {
    w.name = c.name.value_or(w.name);
    w.ssid = c.ssid.value_or(w.ssid);
    w.hideSsid = c.hideSsid.value_or(w.hideSsid);
    w.power = c.power.value_or(w.power);
    if (c.channel) {
        const int index = w.choices.channels().IndexOf(*c.channel);
        if (index < 0) {
            error = ChannelNotOfferedText();
            return false;
        }
        if (index != w.choices.channels().selected) {
            w.choices.SelectChannel(index);
        }
    }
    if (c.security) {
        const std::optional<int> mode = SecurityModeOfText(*c.security, kSecurityModeCount, error);
        if (!mode) {
            return false;
        }
        ChooseSecurityMode(w.security, *mode);
    }
    return !c.key || PutKey(w.security, *c.key, error);
}

void ApplyOthers(const ConfigureOptions& c, ConfigForms& f) {
    f.ip = IpSettingsOverStored(c.ipSettings, f.ip);
    if (c.vlan) {
        f.vlan.enabled = *c.vlan;
        if (*c.vlan) {
            f.vlan.manage = c.vlanManage;
            f.vlan.wlan = c.vlanWlan;
        }
    }
    if (c.reboot) {
        f.schedule.enabled = *c.reboot;
        if (*c.reboot) {
            f.schedule.hour = c.rebootHour;
            f.schedule.minute = c.rebootMinute;
            for (size_t day = 0; day < kDayCount; ++day) {
                f.schedule.days[day] = (c.rebootDays & DayBit(day)) != 0;
            }
            f.schedule.everyday = c.rebootDays == kEveryDayBits;
        }
    }
}

// The dry run: the requests of the Save in their order, each with the settings it would change.
int PrintPlan(const ap_info_stu& record, const ConfigChanges& changes, const std::vector<BatchPlan>& plans) {
    const DeviceInfo before = record.device_info();
    for (const BatchPlan& plan : plans) {
        std::cout << ConfigBlockName(plan.type) << "  " << record.mac() << "  " << IpBytesToText(before.ip())
                  << "  would send " << RequestName(plan.type) << "\n"
                  << PlannedChangeLines(before, WithConfigBlock(before, changes, plan.type));
    }
    std::cout.flush();
    return kExitOk;
}

} // namespace

int RunShow(CliSession& session, const CliArguments& arguments) {
    ap_info_stu record;
    int exitCode = kExitOk;
    if (!LearnDevice(session, arguments, record, exitCode)) {
        return exitCode;
    }
    std::cout << (arguments.json ? RecordJson(record) + "\n" : RecordText(record, arguments.raw));
    std::cout.flush();
    return kExitOk;
}

int RunConfigure(CliSession& session, const CliArguments& arguments) {
    const std::string& mac = arguments.macs.front();
    ap_info_stu record;
    int exitCode = kExitOk;
    if (!LearnDevice(session, arguments, record, exitCode)) {
        return exitCode;
    }
    const ConfigForms opening = OpenConfigForms(record);
    ConfigForms current = opening;
    std::string error;
    if (!ApplyWireless(arguments.configure, current.wireless, error)) {
        std::cerr << "radiofleet-cli: " << error << "\n";
        return kExitBadArguments;
    }
    ApplyOthers(arguments.configure, current);
    const ConfigCollect collected =
        CollectConfigChanges(record, opening, current, AddressUsedByOthers(session.Store(), {mac}));
    if (!collected.Accepted()) {
        std::cerr << "radiofleet-cli: " << collected.message << "\n";
        return kExitBadArguments;
    }
    if (collected.changes.Empty()) {
        std::cout << NothingChangedText() << "\n";
        return kExitOk;
    }
    const SelectedDevice device =
        SelectedDevice::Make(IpBytesToText(record.device_info().ip()), mac, record.ap_type());
    const std::vector<BatchPlan> plans = PlanConfigure(device, record, collected.changes);
    if (arguments.dryRun) {
        return PrintPlan(record, collected.changes, plans);
    }
    std::vector<BatchResult> results;
    if (!RunInterruptibly(session, [&](std::stop_token stop) {
            results = SaveConfiguration(session.Engine(), session.Store(), plans, collected.changes,
                                        !arguments.configure.noWait, std::move(stop));
        })) {
        return kExitInterrupted;
    }
    bool allSucceeded = true;
    for (size_t i = 0; i < plans.size(); ++i) {
        std::cout << ConfigBlockName(plans[i].type) << "  "
                  << DeviceLineText(plans[i], 0, results[i].devices.front()) << "\n";
        allSucceeded = allSucceeded && results[i].AllSucceeded();
    }
    std::cout.flush();
    return allSucceeded ? kExitOk : kExitDeviceFailed;
}

} // namespace rf
