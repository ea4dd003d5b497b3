#include "operations/BatchRunner.h"

#include "operations/RequestTracker.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"

#include <condition_variable>
#include <mutex>

namespace rf {
namespace {

using How = RequestEnd::How;

// Waits out an item's pause; stop ends the wait at once.
void Pause(std::chrono::milliseconds pause, std::stop_token stop) {
    if (pause <= std::chrono::milliseconds::zero()) {
        return;
    }
    std::mutex mutex;
    std::condition_variable_any woken;
    std::unique_lock lock(mutex);
    woken.wait_for(lock, stop, pause, [] { return false; });
}

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

// Asks every device whose request succeeded for its details again.
void AskDetails(CNetManagement& engine, const BatchPlan& plan, const RequestTracker& requests,
                RequestTracker& details) {
    for (size_t i = 0; i < plan.items.size(); ++i) {
        const auto end = requests.End(i);
        if (!end || end->how != How::Answered || end->result != 0) {
            continue;
        }
        const BatchItem& item = plan.items[i];
        if (!engine.SendCommand(item.detailIp, static_cast<int>(MessageType::GetInfo), {}, item.mac, true,
                                details.Slot(i))) {
            details.Abandon(i); // it moved out of this PC's subnets, where its details cannot be asked for
        }
    }
}

DeviceOutcome Judge(CSqlManagement& store, const BatchPlan& plan, size_t i, const RequestEnd& end,
                    const std::optional<RequestEnd>& details) {
    if (end.how == How::Stopped) {
        return DeviceOutcome::Cancelled;
    }
    if (end.how == How::NoAnswer) {
        return DeviceOutcome::NoAnswer;
    }
    if (end.result != 0) {
        return DeviceOutcome::Refused;
    }
    if (!plan.applied) {
        return DeviceOutcome::Answered;
    }
    const BatchItem& item = plan.items[i];
    ap_info_stu stored;
    if (store.GetDevice(item.mac, stored) && stored.mac() == item.mac && plan.applied(item, stored)) {
        return DeviceOutcome::Verified;
    }
    const bool detailsCame = details && details->how == How::Answered;
    return plan.askDetails && !detailsCame ? DeviceOutcome::Answered : DeviceOutcome::NotApplied;
}

} // namespace

BatchResult RunBatch(CNetManagement& engine, CSqlManagement& store, const BatchPlan& plan,
                     std::stop_token stop) {
    BatchResult result;
    for (const BatchItem& item : plan.items) {
        result.devices.push_back({item.mac, item.ip, DeviceOutcome::NotSent});
    }
    RequestTracker requests(plan.items.size());
    const std::vector<bool> sent = SendAll(engine, plan, stop, requests, result);
    const bool allEnded = requests.WaitAll(stop);
    RequestTracker details(plan.items.size());
    if (allEnded && plan.askDetails) {
        AskDetails(engine, plan, requests, details);
        details.WaitAll(stop);
    }
    for (size_t i = 0; i < plan.items.size(); ++i) {
        if (!sent[i]) {
            continue;
        }
        const auto end = requests.End(i);
        const bool detailsOpen = plan.askDetails && end && end->how == How::Answered && !details.End(i);
        const bool unfinished = !end || (stop.stop_requested() && detailsOpen);
        result.devices[i].outcome =
            unfinished ? DeviceOutcome::Cancelled : Judge(store, plan, i, *end, details.End(i));
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
