#include "CliCommands.h"
#include "DeviceOutput.h"

#include "operations/AdapterDevices.h"
#include "operations/FreshSearch.h"

#include <climits>
#include <iostream>

namespace rf {
namespace {

constexpr int kSearchPeriodSeconds = 3;

void PrintDevices(CliSession& session, SortKey order, bool json) {
    std::vector<ap_info_stu> stored;
    int pageCount = 0;
    int onlineCount = 0;
    session.Store().QueryDevicePage(order, "", true, INT_MAX, 1, stored, pageCount, onlineCount);
    std::vector<ap_info_stu> announced;
    session.Engine().ListAnnouncedDevices(announced, INT_MAX, "");
    if (!json) {
        std::cout << DeviceTextHeader() << "\n";
    }
    for (const auto& device : stored) {
        std::cout << (json ? DeviceJson(device, false) : DeviceTextLine(device, false)) << "\n";
    }
    for (const auto& device : announced) {
        std::cout << (json ? DeviceJson(device, true) : DeviceTextLine(device, true)) << "\n";
    }
    if (!json) {
        std::cout << stored.size() << " stored, " << announced.size() << " announced\n";
    }
    std::cout.flush();
}

// The status page's search cycle for the given seconds: a fresh search, then one every 3 seconds.
void SearchFor(CliSession& session, int seconds) {
    CNetManagement& engine = session.Engine();
    StartFreshSearch(engine);
    for (int tick = 1; tick <= seconds && session.Wait(std::chrono::seconds(1)); ++tick) {
        if (tick % kSearchPeriodSeconds == 0 && tick < seconds) {
            engine.SearchDevices();
        }
    }
}

void PrintAdapters(const std::vector<AdapterDevices>& adapters, bool counted, bool json) {
    int id = 0;
    for (const auto& listed : adapters) {
        ++id;
        const std::optional<int> devices = counted ? std::optional(listed.devices) : std::nullopt;
        std::cout << (json ? AdapterJson(id, listed.adapter, devices)
                           : AdapterTextLine(id, listed.adapter, devices))
                  << "\n";
    }
    if (!json) {
        std::cout << "Adapter count: " << adapters.size() << "\n";
    }
    std::cout.flush();
}

} // namespace

int RunSearch(CliSession& session, const CliArguments& arguments) {
    SearchFor(session, arguments.seconds);
    PrintDevices(session, arguments.sort, arguments.json);
    return session.Interrupted() ? kExitInterrupted : kExitOk;
}

// The adapters are listed also when the ports are held (by a running RadioFleet): only their devices
// cannot be counted then.
int RunAdapters(CliSession& session, const CliArguments& arguments) {
    std::string error;
    const bool counted = session.StartEngine(error);
    if (counted) {
        SearchFor(session, arguments.seconds);
    } else {
        std::cerr << "radiofleet-cli: devices not counted: " << error << "\n";
    }
    PrintAdapters(ListAdapterDevices(session.Engine()), counted, arguments.json);
    return session.Interrupted() ? kExitInterrupted : kExitOk;
}

} // namespace rf
