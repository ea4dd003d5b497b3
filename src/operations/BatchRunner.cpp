#include "operations/BatchRunner.h"

#include "operations/DetailsWatch.h"
#include "operations/Pause.h"
#include "operations/RequestTracker.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"

namespace rf {
namespace {

using namespace std::chrono_literals;
using How = RequestEnd::How;

// How long a device whose restart request went unanswered is given to come back.
constexpr std::chrono::milliseconds kRestartWatch = 40s;

// Sends one request per item that has one to send; the items not sent keep NotSent, or become Cancelled
// when stop came first. Which items were sent.
std::vector<bool> SendAll(CNetManagement& engine, const BatchPlan& plan, std::stop_token stop,
                          RequestTracker& tracker, BatchResult& result) {
    std::vector<bool> sent(plan.items.size(), false);
    for (size_t i = 0; i < plan.items.size(); ++i) {
        const BatchItem& item = plan.items[i];
        DeviceResult& device = result.devices[i];
        if (stop.stop_requested()) {
            device.outcome = DeviceOutcome::Cancelled;
            continue;
        }
        if (!item.sendable) {
            continue; // NotSent
        }
        if (plan.type == MessageType::SetIp || plan.type == MessageType::SetBridge) {
            engine.SetPendingIp(item.mac, item.ip, item.detailIp);
        }
        sent[i] = engine.SendCommand(item.ip, static_cast<int>(plan.type), item.payload, item.mac, true,
                                     tracker.Slot(i));
        if (!sent[i]) {
            tracker.Abandon(i);
        }
        Pause(item.pauseAfter, stop);
    }
    return sent;
}

bool Succeeded(const std::optional<RequestEnd>& end) {
    return end && end->how == How::Answered && end->result == 0;
}

bool AnswerLost(const std::optional<RequestEnd>& end) {
    return end && end->how == How::NoAnswer;
}

// Asks every device whose request succeeded for its details again, and, when the plan can tell from
// them, every device whose answer did not come (it may have applied the request all the same). Which
// devices were asked.
std::vector<bool> AskDetails(CNetManagement& engine, const BatchPlan& plan, const RequestTracker& requests,
                             RequestTracker& details) {
    std::vector<bool> asked(plan.items.size(), false);
    for (size_t i = 0; i < plan.items.size(); ++i) {
        const auto end = requests.End(i);
        if (!Succeeded(end) && !(plan.applied && AnswerLost(end))) {
            continue;
        }
        const BatchItem& item = plan.items[i];
        asked[i] = engine.SendCommand(item.detailIp, static_cast<int>(MessageType::GetInfo), {}, item.mac,
                                      true, details.Slot(i));
        if (!asked[i]) {
            details.Abandon(i); // it moved out of this PC's subnets, where its details cannot be asked for
        }
    }
    return asked;
}

std::uint32_t StoredUpTime(CSqlManagement& store, const std::string& mac) {
    ap_info_stu stored;
    return store.GetDevice(mac, stored) && stored.mac() == mac ? stored.device_info().up_time() : 0;
}

// Watches the devices whose restart request went unanswered: which came back with a smaller up time
// than they had before the request.
std::vector<bool> WatchRestarts(CNetManagement& engine, CSqlManagement& store, const BatchPlan& plan,
                                const RequestTracker& requests, const std::vector<std::uint32_t>& upTimes,
                                std::stop_token stop) {
    std::vector<DetailsWatch> watches;
    std::vector<size_t> watched;
    for (size_t i = 0; i < plan.items.size(); ++i) {
        if (AnswerLost(requests.End(i)) && upTimes[i] > 0) {
            const std::uint32_t before = upTimes[i];
            watches.push_back({plan.items[i].mac, plan.items[i].detailIp, [before](const ap_info_stu& now) {
                                   return now.device_info().up_time() < before;
                               }});
            watched.push_back(i);
        }
    }
    std::vector<bool> restarted(plan.items.size(), false);
    if (watches.empty()) {
        return restarted;
    }
    const std::vector<bool> shown = WatchDetails(engine, store, watches, kRestartWatch, stop);
    for (size_t k = 0; k < watched.size(); ++k) {
        restarted[watched[k]] = shown[k];
    }
    return restarted;
}

// What the store shows of device i's request, which ended as end.
DeviceOutcome Judge(CSqlManagement& store, const BatchPlan& plan, size_t i, const RequestEnd& end,
                    const std::optional<RequestEnd>& details) {
    const bool detailsCame = details && details->how == How::Answered;
    const BatchItem& item = plan.items[i];
    ap_info_stu stored;
    const bool shows = plan.applied && store.GetDevice(item.mac, stored) && stored.mac() == item.mac &&
                       plan.applied(item, stored);
    switch (end.how) {
    case How::Stopped:
        return DeviceOutcome::Cancelled;
    case How::NoAnswer:
        return detailsCame && shows ? DeviceOutcome::VerifiedAnswerLost : DeviceOutcome::NoAnswer;
    case How::Answered:
        break;
    }
    if (end.result != 0) {
        return DeviceOutcome::Refused;
    }
    if (!plan.applied) {
        return DeviceOutcome::Answered;
    }
    if (shows) {
        return DeviceOutcome::Verified;
    }
    return plan.askDetails && !detailsCame ? DeviceOutcome::Answered : DeviceOutcome::NotApplied;
}

std::vector<std::uint32_t> UpTimes(CSqlManagement& store, const BatchPlan& plan) {
    std::vector<std::uint32_t> upTimes;
    for (const BatchItem& item : plan.items) {
        upTimes.push_back(plan.restarts ? StoredUpTime(store, item.mac) : 0);
    }
    return upTimes;
}

} // namespace

BatchResult RunBatch(CNetManagement& engine, CSqlManagement& store, const BatchPlan& plan,
                     std::stop_token stop) {
    BatchResult result;
    for (const BatchItem& item : plan.items) {
        result.devices.push_back({item.mac, item.ip, DeviceOutcome::NotSent, {}});
    }
    const std::vector<std::uint32_t> upTimes = UpTimes(store, plan);
    RequestTracker requests(plan.items.size());
    const std::vector<bool> sent = SendAll(engine, plan, stop, requests, result);
    const bool allEnded = requests.WaitAll(stop);
    RequestTracker details(plan.items.size());
    std::vector<bool> asked(plan.items.size(), false);
    if (allEnded && plan.askDetails) {
        asked = AskDetails(engine, plan, requests, details);
        details.WaitAll(stop);
    }
    for (size_t i = 0; i < plan.items.size(); ++i) {
        if (!sent[i]) {
            continue;
        }
        const auto end = requests.End(i);
        const bool detailsOpen = asked[i] && !details.End(i);
        const bool unfinished = !end || (stop.stop_requested() && detailsOpen);
        result.devices[i].outcome =
            unfinished ? DeviceOutcome::Cancelled : Judge(store, plan, i, *end, details.End(i));
    }
    if (allEnded && plan.restarts) { // judged above while the store still shows the answers' statuses
        const std::vector<bool> restarted = WatchRestarts(engine, store, plan, requests, upTimes, stop);
        for (size_t i = 0; i < plan.items.size(); ++i) {
            if (restarted[i]) {
                result.devices[i].outcome = DeviceOutcome::VerifiedAnswerLost;
            }
        }
    }
    return result;
}

std::vector<BatchResult> RunBatches(CNetManagement& engine, CSqlManagement& store,
                                    const std::vector<BatchPlan>& plans, std::stop_token stop) {
    std::vector<BatchResult> results;
    for (const BatchPlan& plan : plans) {
        results.push_back(RunBatch(engine, store, plan, stop));
    }
    return results;
}

} // namespace rf
