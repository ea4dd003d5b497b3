#include "operations/DetailsWatch.h"

#include "operations/Pause.h"
#include "operations/RequestTracker.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"

#include <algorithm>
#include <optional>

namespace rf {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollPeriod = 1s;
constexpr int kSearchEveryPolls = 10;

bool Shows(CSqlManagement& store, const DetailsWatch& watch) {
    ap_info_stu stored;
    return store.GetDevice(watch.mac, stored) && stored.mac() == watch.mac && watch.shows(stored);
}

bool IsOnline(const CNetManagement& engine, const std::string& mac) {
    const std::vector<OnlineEntry> online = engine.OnlineList();
    return std::any_of(online.begin(), online.end(), [&](const OnlineEntry& e) { return e.mac == mac; });
}

// A request for the device's details; nullopt when it could not be sent.
std::optional<RequestTracker> Ask(CNetManagement& engine, const DetailsWatch& watch) {
    RequestTracker asking(1);
    if (!engine.SendCommand(watch.ip, static_cast<int>(MessageType::GetInfo), {}, watch.mac, true,
                            asking.Slot(0))) {
        return std::nullopt;
    }
    return asking;
}

} // namespace

std::vector<bool> WatchDetails(CNetManagement& engine, CSqlManagement& store,
                               const std::vector<DetailsWatch>& watches, std::chrono::milliseconds limit,
                               std::stop_token stop) {
    const auto deadline = engine.Clock().Now() + limit;
    std::vector<bool> shown(watches.size(), false);
    std::vector<std::optional<RequestTracker>> asking(watches.size());
    for (int poll = 1;; ++poll) {
        bool open = false;
        bool away = false;
        for (size_t i = 0; i < watches.size(); ++i) {
            if (shown[i]) {
                continue;
            }
            const std::optional<RequestEnd> end = asking[i] ? asking[i]->End(0) : std::nullopt;
            if (end && end->how == RequestEnd::How::Answered && Shows(store, watches[i])) {
                shown[i] = true;
                continue;
            }
            open = true;
            away = away || !IsOnline(engine, watches[i].mac);
            if (!asking[i] || end) {
                asking[i] = Ask(engine, watches[i]);
            }
        }
        if (!open || engine.Clock().Now() >= deadline) {
            break;
        }
        if (away && poll % kSearchEveryPolls == 0) {
            engine.SearchDevices();
        }
        if (!Pause(kPollPeriod, stop)) {
            break;
        }
    }
    return shown;
}

} // namespace rf
