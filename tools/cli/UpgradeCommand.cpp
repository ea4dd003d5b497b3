#include "CliCommands.h"
#include "CliDevices.h"
#include "DeviceOutput.h"

#include "core/Language.h"
#include "core/OperateSystemInfo.h"
#include "operations/UpgradeChecks.h"
#include "operations/UpgradeRun.h"
#include "protocol/CodeTables.h"
#include "relayd/FirmwareServer.h"

#include <iostream>
#include <thread>

namespace rf {
namespace {

using namespace std::chrono_literals;

constexpr auto kTick = 1s;

int Refuse(const std::string& key) {
    std::cerr << "radiofleet-cli: " << Translate(key) << "\n";
    return kExitBadArguments;
}

// The firmware server for the length of the run: ended however the run ends.
class ServerForRun {
public:
    ServerForRun() : server_(system_) {}
    ~ServerForRun() { server_.StopFirmwareServer(); }
    ServerForRun(const ServerForRun&) = delete;
    ServerForRun& operator=(const ServerForRun&) = delete;
    bool Start(const std::string& folder) { return server_.StartFirmwareServer(folder); }

private:
    COperateSystemInfo system_;
    CFirmwareServer server_;
};

// Ticks the run once a second until it ends; false when interrupted.
bool Drive(CliSession& session, UpgradeRun& run) {
    while (!run.Finished()) {
        if (!session.Wait(kTick)) {
            return false;
        }
        run.Tick();
    }
    return true;
}

int Report(const UpgradeRun& run) {
    const auto results = run.Results();
    for (UpgradeDeviceResult result : results) {
        result.versionBefore = PrintableText(result.versionBefore);
        result.versionAfter = PrintableText(result.versionAfter);
        std::cout << result.mac << "  " << result.ip << "  " << UpgradeOutcomeText(result) << "\n";
    }
    std::cout.flush();
    return AllUpgraded(results) ? kExitOk : kExitDeviceFailed;
}

} // namespace

int RunUpgrade(CliSession& session, const CliArguments& arguments) {
    const std::vector<std::string> macs = DistinctMacs(arguments.macs);
    if (const std::string count = CheckUpgradeCount(macs.size()); !count.empty()) {
        return Refuse(count);
    }
    if (const std::string name = CheckUpgradeFileName(arguments.file); !name.empty()) {
        return Refuse(name);
    }
    std::string refusal;
    const std::optional<UpgradeFile> file = ReadUpgradeFile(arguments.file, refusal);
    if (!file) {
        return Refuse(refusal);
    }

    std::vector<ap_info_stu> stored;
    if (!LearnDevices(session, macs, stored)) {
        return kExitInterrupted;
    }
    std::vector<SelectedDevice> devices;
    for (size_t i = 0; i < macs.size(); ++i) {
        if (stored[i].mac() != macs[i]) {
            std::cerr << "radiofleet-cli: unknown device " << macs[i] << ": it did not answer the search\n";
            return kExitBadArguments;
        }
        devices.push_back(
            SelectedDevice::Make(IpBytesToText(stored[i].device_info().ip()), macs[i], stored[i].ap_type()));
    }
    const std::vector<UpgradeType> types = UpgradeTypes(devices);
    const std::optional<UpgradeType> type =
        arguments.type.empty() ? std::optional(types.front()) : FindUpgradeType(types, arguments.type);
    if (!type) {
        std::cerr << "radiofleet-cli: no device of the type " << arguments.type << " among the MACs\n";
        return kExitBadArguments;
    }

    ServerForRun server;
    if (!server.Start(file->folder)) {
        std::cerr << "radiofleet-cli: " << Translate("The firmware server could not be started!") << "\n";
        return kExitCannotStart;
    }
    UpgradeRun run(session.Engine(), session.Store(), devices, *type, *file, {.endWhenSettled = true});
    run.SendBatch({});
    if (!Drive(session, run)) {
        return kExitInterrupted;
    }
    return Report(run);
}

} // namespace rf
