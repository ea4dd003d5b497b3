#include "CliCommands.h"
#include "DeviceOutput.h"
#include "TextTable.h"

#include "operations/AdapterDevices.h"
#include "operations/FreshSearch.h"

#include <climits>
#include <iostream>

namespace rf {
namespace {

constexpr int kSearchPeriodSeconds = 3;

// One device in the form the command line asked for; text rows go to the table.
void AddDevice(const CliArguments& arguments, const ap_info_stu& device, bool announced, TextTable& table) {
    if (arguments.json) {
        std::cout << DeviceJson(device, announced) << "\n";
    } else if (arguments.csv) {
        std::cout << DeviceCsv(device, announced);
    } else {
        table.AddRow(DeviceTextRow(device, announced));
    }
}

void PrintDevices(CliSession& session, const CliArguments& arguments) {
    std::vector<ap_info_stu> stored;
    int pageCount = 0;
    int onlineCount = 0;
    session.Store().QueryDevicePage(arguments.sort, "", true, INT_MAX, 1, stored, pageCount, onlineCount);
    std::vector<ap_info_stu> announced;
    session.Engine().ListAnnouncedDevices(announced, INT_MAX, "");
    TextTable table(DeviceTextHeader());
    if (arguments.csv) {
        std::cout << DeviceCsvHeader();
    }
    for (const auto& device : stored) {
        AddDevice(arguments, device, false, table);
    }
    for (const auto& device : announced) {
        AddDevice(arguments, device, true, table);
    }
    if (!arguments.json && !arguments.csv) {
        std::cout << table.Render() << stored.size() << " stored, " << announced.size() << " announced\n";
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
    TextTable table(AdapterTextHeader());
    int id = 0;
    for (const auto& listed : adapters) {
        ++id;
        const std::optional<int> devices = counted ? std::optional(listed.devices) : std::nullopt;
        if (json) {
            std::cout << AdapterJson(id, listed.adapter, devices) << "\n";
        } else {
            table.AddRow(AdapterTextRow(id, listed.adapter, devices));
        }
    }
    if (!json) {
        std::cout << table.Render() << "Adapter count: " << adapters.size() << "\n";
    }
    std::cout.flush();
}

} // namespace

int RunSearch(CliSession& session, const CliArguments& arguments) {
    SearchFor(session, arguments.seconds);
    PrintDevices(session, arguments);
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
