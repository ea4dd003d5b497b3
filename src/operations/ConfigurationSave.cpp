#include "operations/ConfigurationSave.h"

#include "core/Language.h"
#include "operations/BatchRunner.h"
#include "operations/ConfigWait.h"
#include "operations/DetailsWatch.h"
#include "operations/OperationCatalogue.h"
#include "operations/RequestTracker.h"
#include "protocol/CodeTables.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"

#include <algorithm>

namespace rf {
namespace {

// The plan as it leaves: its request only, judged later by SaveConfiguration.
BatchPlan RequestOnly(BatchPlan plan) {
    plan.askDetails = false;
    plan.applied = nullptr;
    plan.restarts = false;
    return plan;
}

std::optional<ap_info_stu> Stored(CSqlManagement& store, const std::string& mac) {
    ap_info_stu stored;
    if (store.GetDevice(mac, stored) && stored.mac() == mac) {
        return stored;
    }
    return std::nullopt;
}

// Asks once for the device's details at ip; true when they came and the store holds it there.
bool AskDetailsOnce(CNetManagement& engine, CSqlManagement& store, const std::string& mac,
                    const std::string& ip, std::stop_token stop) {
    RequestTracker details(1);
    if (!engine.SendCommand(ip, static_cast<int>(MessageType::GetInfo), {}, mac, true, details.Slot(0))) {
        return false;
    }
    details.WaitAll(stop);
    const auto end = details.End(0);
    const auto held = Stored(store, mac);
    return end && end->how == RequestEnd::How::Answered && held &&
           IpBytesToText(held->device_info().ip()) == ip;
}

// Why the answered blocks could not be checked, when more can be said than that the details did not come.
std::string UncheckedText(const ConfigChanges& changes, bool waited) {
    if (!changes.vlan) {
        return {};
    }
    if (!waited) {
        return Translate("answered; not checked after the restart");
    }
    DeviceInfo wanted;
    std::copy(changes.vlan->begin(), changes.vlan->end(),
              wanted.mutable_bytes().begin() + DeviceInfo::kVlanSettingsOffset);
    if (wanted.vlan_en() == 0) {
        return {};
    }
    return Translate("answered; now in management VLAN") + " " + std::to_string(wanted.vlan_id()) + ", " +
           Translate("not checked");
}

// A block by what the device's details show (held: none when they did not come).
void Judge(const BatchPlan& plan, const std::optional<ap_info_stu>& held, const std::string& unchecked,
           DeviceResult& device) {
    const bool answered = device.outcome == DeviceOutcome::Answered;
    if (!answered && device.outcome != DeviceOutcome::NoAnswer) {
        return; // refused, not sent or cancelled: nothing to look for
    }
    if (!held) {
        device.unchecked = answered ? unchecked : std::string();
        return;
    }
    const bool shows = plan.applied && plan.applied(plan.items.front(), *held);
    if (answered) {
        device.outcome = shows ? DeviceOutcome::Verified : DeviceOutcome::NotApplied;
    } else if (shows) {
        device.outcome = DeviceOutcome::VerifiedAnswerLost;
    }
}

} // namespace

std::vector<BatchResult> SaveConfiguration(CNetManagement& engine, CSqlManagement& store,
                                           const std::vector<BatchPlan>& plans, const ConfigChanges& changes,
                                           bool wait, std::stop_token stop) {
    std::vector<BatchResult> results;
    if (plans.empty() || plans.front().items.empty()) {
        return results;
    }
    const std::string mac = plans.front().items.front().mac;
    const std::string finalIp = plans.back().items.front().detailIp; // the IP block, when any, goes last
    const auto before = Stored(store, mac);
    for (const BatchPlan& plan : plans) {
        results.push_back(RunBatch(engine, store, RequestOnly(plan), stop));
    }
    const bool restarts = changes.vlan.has_value();
    bool back = false;
    if (const auto waitFor = WaitAfterConfigure(changes); waitFor && wait) {
        const std::uint32_t upTime = before ? before->device_info().up_time() : 0;
        const DetailsWatch watch{mac, finalIp, [&finalIp, restarts, upTime](const ap_info_stu& now) {
                                     return IpBytesToText(now.device_info().ip()) == finalIp &&
                                            (!restarts || now.device_info().up_time() < upTime);
                                 }};
        back = WatchDetails(engine, store, {watch}, std::chrono::seconds(waitFor->seconds), stop).front();
    }
    const bool checkable = wait || !restarts;
    const bool detailsCame =
        back || (checkable && !stop.stop_requested() && AskDetailsOnce(engine, store, mac, finalIp, stop));
    const auto held = detailsCame ? Stored(store, mac) : std::nullopt;
    const std::string unchecked = UncheckedText(changes, wait);
    for (size_t i = 0; i < plans.size(); ++i) {
        Judge(plans[i], held, unchecked, results[i].devices.front());
    }
    return results;
}

const char* ConfigBlockName(MessageType type) {
    return ConfigBlockEntry(type).verb;
}

const char* ConfigBlockKey(MessageType type) {
    return ConfigBlockEntry(type).titleKey;
}

} // namespace rf
