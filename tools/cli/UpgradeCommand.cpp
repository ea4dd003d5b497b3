#include "CliCommands.h"
#include "CliDevices.h"
#include "DeviceOutput.h"

#include "core/Language.h"
#include "core/OperateSystemInfo.h"
#include "operations/OperationCatalogue.h"
#include "operations/PlanDescription.h"
#include "operations/UpgradeChecks.h"
#include "operations/UpgradeRun.h"
#include "protocol/CodeTables.h"
#include "relayd/FirmwareServer.h"
#include "relayd/ServerReadiness.h"

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

    // Starts the server and waits until it serves, as long as a password prompt is open and then at most
    // the answer limit; the state it ended in (Cancelled when interrupted).
    CServerReadiness::State Start(CliSession& session, const std::string& folder,
                                  const std::vector<std::string>& addresses) {
        if (!server_.StartFirmwareServer(folder, addresses)) {
            return CServerReadiness::State::NotStarted;
        }
        return WaitForFirmwareServer(
            server_, CServerReadiness::kAnswerLimit, [&](auto time) { return session.Wait(time); },
            [](CServerReadiness::State state) {
                if (state == CServerReadiness::State::Launching) {
                    std::cerr << "radiofleet-cli: " << Translate(kWaitingForLaunchKey) << "\n";
                }
            });
    }

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

int Report(const UpgradeRun& run, bool missing) {
    const auto results = run.Results();
    for (UpgradeDeviceResult result : results) {
        result.versionBefore = PrintableText(result.versionBefore);
        result.versionAfter = PrintableText(result.versionAfter);
        std::cout << result.mac << "  " << result.ip << "  " << UpgradeOutcomeText(result) << "\n";
    }
    std::cout.flush();
    return AllUpgraded(results) && !missing ? kExitOk : kExitDeviceFailed;
}

// The dry run: which devices would be sent the Upgrade request, without starting the firmware server.
int PrintPlan(const std::vector<SelectedDevice>& devices, const UpgradeType& type, const UpgradeFile& file,
              bool missing) {
    for (const SelectedDevice& device : devices) {
        std::cout << device.Mac() << "  " << device.Ip() << "  ";
        if (TakesUpgrade(device, type)) {
            std::cout << "would send " << RequestName(MessageType::Upgrade) << " of " << file.name << " ("
                      << file.size << " bytes)\n";
        } else {
            std::cout << Translate(UpgradeOutcomeKey(UpgradeOutcome::NotThisType)) << "\n";
        }
    }
    std::cout.flush();
    return missing ? kExitDeviceFailed : kExitOk;
}

} // namespace

int RunUpgrade(CliSession& session, const CliArguments& arguments) {
    if (const std::string count = CheckUpgradeCount(DistinctMacs(arguments.macs).size()); !count.empty()) {
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

    const std::optional<LearnedDevices> learned = LearnNamedDevices(session, arguments);
    if (!learned) {
        return kExitInterrupted;
    }
    if (learned->found.empty()) {
        return kExitDeviceFailed;
    }
    std::vector<SelectedDevice> devices;
    for (const ap_info_stu& device : learned->found) {
        devices.push_back(
            SelectedDevice::Make(IpBytesToText(device.device_info().ip()), device.mac(), device.ap_type()));
    }
    const std::vector<UpgradeType> types = UpgradeTypes(devices);
    const std::optional<UpgradeType> type =
        arguments.type.empty() ? std::optional(types.front()) : FindUpgradeType(types, arguments.type);
    if (!type) {
        std::cerr << "radiofleet-cli: " << NoDeviceOfTypeText(arguments.type) << "\n";
        return kExitBadArguments;
    }

    if (arguments.dryRun) {
        return PrintPlan(devices, *type, *file, learned->missing);
    }
    ServerForRun server;
    const CServerReadiness::State serving =
        server.Start(session, file->folder, UpgradeAddresses(devices, *type));
    if (serving == CServerReadiness::State::Cancelled) {
        return kExitInterrupted;
    }
    if (serving != CServerReadiness::State::Ready) {
        std::cerr << "radiofleet-cli: "
                  << Translate(serving == CServerReadiness::State::Silent ? kServerSilentKey
                                                                          : kFirmwareServerFailedMessage)
                  << "\n";
        return kExitCannotStart;
    }
    UpgradeRun run(session.Engine(), session.Store(), devices, *type, *file, {.endWhenSettled = true});
    run.SendBatch({});
    if (!Drive(session, run)) {
        return kExitInterrupted;
    }
    return Report(run, learned->missing);
}

} // namespace rf
