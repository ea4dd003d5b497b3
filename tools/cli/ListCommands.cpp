#include "CliCommands.h"
#include "DeviceOutput.h"

#include "operations/FreshSearch.h"

#include <climits>
#include <iostream>

namespace rf {
namespace {

constexpr int kSearchPeriodSeconds = 3;

void PrintDevices(CliSession& session, bool json) {
    std::vector<ap_info_stu> stored;
    int pageCount = 0;
    int onlineCount = 0;
    session.Store().QueryDevicePage(SortKey::Mac, "", true, INT_MAX, 1, stored, pageCount, onlineCount);
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

} // namespace

int RunSearch(CliSession& session, const CliArguments& arguments) {
    CNetManagement& engine = session.Engine();
    StartFreshSearch(engine);
    for (int tick = 1; tick <= arguments.seconds && session.Wait(std::chrono::seconds(1)); ++tick) {
        if (tick % kSearchPeriodSeconds == 0 && tick < arguments.seconds) {
            engine.SearchDevices();
        }
    }
    PrintDevices(session, arguments.json);
    return session.Interrupted() ? kExitInterrupted : kExitOk;
}

int RunAdapters(CliSession& session, const CliArguments& arguments) {
    std::vector<AdapterRecord> adapters;
    session.Engine().RefreshAdapters(adapters);
    int id = 0;
    for (const auto& adapter : adapters) {
        ++id;
        std::cout << (arguments.json ? AdapterJson(id, adapter) : AdapterTextLine(id, adapter)) << "\n";
    }
    if (!arguments.json) {
        std::cout << "Adapter count: " << adapters.size() << "\n";
    }
    return kExitOk;
}

} // namespace rf
