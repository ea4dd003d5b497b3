#include "CliCommands.h"
#include "CliDevices.h"
#include "DeviceOutput.h"
#include "SecurityOptions.h"
#include "TextTable.h"

#include "core/Language.h"
#include "operations/ApScan.h"
#include "operations/BatchRunner.h"
#include "operations/BridgeForms.h"
#include "operations/DeviceOutcome.h"
#include "operations/OperationCatalogue.h"
#include "operations/OperationChecks.h"
#include "operations/PlanDescription.h"
#include "protocol/CodeTables.h"

#include <algorithm>
#include <iostream>

namespace rf {
namespace {

std::string ScanJson(const ScanEntry& ap) {
    return "{\"bssid\":" + JsonText(MacBytesToText(ap.mac())) + ",\"ssid\":" + JsonText(ap.ssid()) +
           ",\"channel\":" + std::to_string(ap.channel()) + ",\"signal\":" + std::to_string(ap.signal()) +
           ",\"security\":" + std::to_string(ap.secure_mode()) +
           ",\"security_text\":" + JsonText(ScanSecurityText(ap.secure_mode())) + "}";
}

std::vector<std::string> ScanTextRow(const ScanEntry& ap) {
    return {PrintableText(ap.ssid()), std::to_string(ap.channel()), MacBytesToText(ap.mac()),
            ScanSecurityText(ap.secure_mode()), std::to_string(ap.signal()) + " dBm"};
}

int ScanNotSent(const ap_info_stu& record) {
    std::cerr << "radiofleet-cli: " << record.mac() << ": " << Translate(kScanNotSentKey) << "\n";
    return kExitDeviceFailed;
}

// The wizard's scan through the device; false when interrupted.
bool Scan(CliSession& session, const ap_info_stu& record, ApScanResult& result) {
    const std::string ip = IpBytesToText(record.device_info().ip());
    return RunInterruptibly(session, [&](std::stop_token stop) {
        result = RunApScan(session.Engine(), session.Store(), ip, record.mac(), stop);
    });
}

// The security step as the wizard presets it from the access point, with the options given over it.
bool SecurityStep(const ConfigureOptions& c, const DeviceInfo& info, const ScanEntry& ap,
                  BridgeSecurityForm& form, std::string& error) {
    form = OpenBridgeSecurity();
    PresetFromScan(form, info.rf_type(), ap);
    form.ssid = c.ssid.value_or(form.ssid);
    if (c.channel) {
        const int index = form.channels.IndexOf(*c.channel);
        if (index < 0) {
            error = BridgeChannelNotOfferedText(*c.channel);
            return false;
        }
        form.channels.selected = index;
    }
    if (c.security) {
        const std::optional<int> mode = SecurityModeOfText(*c.security, kBridgeModeCount, error);
        if (!mode) {
            return false;
        }
        form.security.mode = *mode;
    }
    return !c.key || PutKey(form.security, *c.key, error);
}

// The settings the wizard would send; false with the message (exit 2) when one of its steps refuses.
bool CollectSettings(CliSession& session, const CliArguments& a, const ap_info_stu& record,
                     const ScanEntry& ap, DeviceInfo& settings, std::string& error) {
    BridgeSecurityForm form;
    if (!SecurityStep(a.configure, record.device_info(), ap, form, error)) {
        return false;
    }
    settings = record.device_info();
    if (error = CollectBridgeSettings(form, record.ap_type(), settings); !error.empty()) {
        error = Translate(error);
        return false;
    }
    const BridgeIpCollect ip = CollectBridgeIpSettings(
        IpSettingsOverStored(a.configure.ipSettings, OpenBridgeIp(record.device_info())),
        AddressUsedByOthers(session.Store(), {record.mac()}));
    if (!ip.Accepted()) {
        error = Translate(ip.message);
        return false;
    }
    std::copy(ip.block.begin(), ip.block.end(), settings.mutable_ip_settings_block().begin());
    return true;
}

int Report(CliSession& session, const DeviceResult& result) {
    const char* answer = JoinAnswerKey(result.outcome);
    if (answer != nullptr) {
        std::cout << Translate(answer) << "  ";
    }
    std::cout << result.mac << "  " << result.ip;
    if (result.outcome != DeviceOutcome::Refused) {
        std::cout << "  " << OutcomeKey(result.outcome);
    }
    std::cout << "\n";
    ap_info_stu after;
    if (session.Store().GetDevice(result.mac, after) && after.mac() == result.mac) {
        TextTable table(DeviceTextHeader());
        table.AddRow(DeviceTextRow(after, false));
        std::cout << table.Render();
    }
    std::cout.flush();
    return IsSuccess(result.outcome) ? kExitOk : kExitDeviceFailed;
}

} // namespace

int RunScan(CliSession& session, const CliArguments& arguments) {
    ap_info_stu record;
    int exitCode = kExitOk;
    if (!LearnDevice(session, arguments, record, exitCode)) {
        return exitCode;
    }
    ApScanResult result;
    if (!Scan(session, record, result)) {
        return kExitInterrupted;
    }
    TextTable table({"SSID", "Channel", "BSSID", "Security", "Signal"});
    for (const ScanEntry& ap : result.aps) {
        if (arguments.json) {
            std::cout << ScanJson(ap) << "\n";
        } else {
            table.AddRow(ScanTextRow(ap));
        }
    }
    if (!arguments.json) {
        std::cout << table.Render();
    }
    std::cout.flush();
    if (!result.sent) {
        return ScanNotSent(record);
    }
    if (!result.completed) {
        std::cerr << "radiofleet-cli: " << record.mac() << ": " << ScanIncompleteText(kApScanLimit) << "\n";
        return kExitDeviceFailed;
    }
    return kExitOk;
}

int RunJoin(CliSession& session, const CliArguments& arguments) {
    ap_info_stu record;
    int exitCode = kExitOk;
    if (!LearnDevice(session, arguments, record, exitCode)) {
        return exitCode;
    }
    if (const std::optional<Refusal> refusal = CheckBridgeStart(record)) {
        std::cerr << "radiofleet-cli: " << RefusalText(*refusal) << "\n";
        return kExitBadArguments;
    }
    ApScanResult scan;
    if (!Scan(session, record, scan)) {
        return kExitInterrupted;
    }
    if (!scan.sent) {
        return ScanNotSent(record);
    }
    const auto ap = std::ranges::find_if(
        scan.aps, [&](const ScanEntry& entry) { return MacBytesToText(entry.mac()) == arguments.bssid; });
    if (ap == scan.aps.end()) {
        std::cerr << "radiofleet-cli: " << ApNotHeardText(record.mac(), arguments.bssid) << "\n";
        return kExitDeviceFailed;
    }
    DeviceInfo settings;
    std::string error;
    if (!CollectSettings(session, arguments, record, *ap, settings, error)) {
        std::cerr << "radiofleet-cli: " << error << "\n";
        return kExitBadArguments;
    }
    if (arguments.dryRun) {
        std::cout << record.mac() << "  " << IpBytesToText(record.device_info().ip()) << "  would send "
                  << RequestName(MessageType::SetBridge) << "\n"
                  << PlannedChangeLines(record.device_info(), settings);
        return kExitOk;
    }
    session.Store().ClearScannedAps();
    const CheckResult check = CheckBridge(record, settings);
    if (!check.Accepted()) {
        std::cerr << "radiofleet-cli: " << RefusalText(*check.refusal) << "\n";
        return kExitBadArguments;
    }
    const BatchPlan& plan = check.plan;
    BatchResult result;
    if (!RunInterruptibly(session, [&](std::stop_token stop) {
            result = RunBatch(session.Engine(), session.Store(), plan, stop);
        })) {
        return kExitInterrupted;
    }
    return Report(session, result.devices.front());
}

} // namespace rf
