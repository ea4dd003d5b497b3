#include "CliCommands.h"
#include "DeviceOutput.h"

#include "core/Language.h"
#include "protocol/CodeTables.h"
#include "protocol/DeviceNameBlock.h"
#include "protocol/SettingsPayloads.h"
#include "rules/DeviceRules.h"

#include <algorithm>
#include <functional>
#include <iostream>

namespace rf {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollPeriod = 50ms;
constexpr int kLearnSearches = 2;
constexpr auto kLearnSearchPeriod = 3s;

// One device of the command line and what became of the request sent to it.
struct DeviceJob {
    explicit DeviceJob(std::string macText) : mac(std::move(macText)) {}

    std::string mac;
    ap_info_stu stored;
    std::string target;   // where the request goes: the device's current address
    std::string detailIp; // where its details are asked for afterwards
    std::vector<std::uint8_t> payload;
    bool sent = false;
    bool waiting = false;
    int lastRemaining = -1; // resends left when the request was last seen pending; -1 never seen
    bool answered = false;
    bool detailsAsked = false;
    bool ok = false;
    std::string outcome;
};

// What a command sends, and how the stored row shows that it took effect.
struct CommandSpec {
    MessageType type;
    bool askDetails; // the change shows only in the device's details, asked for again after the reply
    std::string success;
    std::function<bool(const ap_info_stu&)> took;
};

std::string StoredIp(const ap_info_stu& device) {
    return IpBytesToText(device.device_info().ip());
}

bool IsStored(CSqlManagement& store, const std::string& mac, ap_info_stu& device) {
    return store.GetDevice(mac, device) && device.mac() == mac;
}

// Searches until every device is stored, at most kLearnSearches times; false when interrupted.
bool LearnDevices(CliSession& session, std::vector<DeviceJob>& jobs) {
    const auto allKnown = [&] {
        return std::all_of(jobs.begin(), jobs.end(),
                           [&](DeviceJob& j) { return IsStored(session.Store(), j.mac, j.stored); });
    };
    for (int search = 0; search < kLearnSearches && !allKnown(); ++search) {
        session.Engine().SearchDevices();
        for (auto waited = 0ms; waited < kLearnSearchPeriod && !allKnown(); waited += kPollPeriod) {
            if (!session.Wait(kPollPeriod)) {
                return false;
            }
        }
    }
    return true;
}

std::vector<DeviceJob> JobsFor(const std::vector<std::string>& macs) {
    std::vector<DeviceJob> jobs;
    for (const auto& mac : macs) {
        if (std::none_of(jobs.begin(), jobs.end(), [&](const DeviceJob& j) { return j.mac == mac; })) {
            jobs.emplace_back(mac);
        }
    }
    return jobs;
}

// The request of every job, checked by the rules the pages apply; the first refusal, or empty.
std::string PrepareRename(const CliArguments& a, std::vector<DeviceJob>& jobs) {
    DeviceJob& job = jobs.front();
    if (!IsValidName(a.name, job.stored.ap_type())) {
        return Translate(NameRuleMessage(job.stored.ap_type()));
    }
    const DeviceNameBlock block = DeviceNameBlock::FromLocalName(a.name);
    job.payload.assign(block.bytes().begin(), block.bytes().end());
    return {};
}

std::string PrepareSetIp(CliSession& session, const CliArguments& a, std::vector<DeviceJob>& jobs) {
    DeviceJob& job = jobs.front();
    const std::string refusal = ValidateIpSettings(a.ip, a.mask, a.gateway, a.dns1, a.dns2);
    if (!refusal.empty()) {
        return Translate(refusal);
    }
    if (a.ip != job.target && IsAddressInUse(session.Store(), a.ip)) {
        return Translate(kAddressInUseMessage);
    }
    DeviceInfo info = job.stored.device_info();
    info.set_ip_mode(1);
    info.set_ip(IpTextToBytes(a.ip));
    info.set_ip_mask(IpTextToBytes(a.mask));
    info.set_ip_gateway(IpTextToBytes(a.gateway));
    info.set_ip_dns1(IpTextToBytes(a.dns1));
    info.set_ip_dns2(IpTextToBytes(a.dns2));
    const auto payload = BuildSetIpPayload(info, true);
    job.payload.assign(payload.begin(), payload.end());
    job.detailIp = a.ip;
    return {};
}

std::string PrepareTransparentBridge(const CliArguments& a, std::vector<DeviceJob>& jobs) {
    for (DeviceJob& job : jobs) {
        const DeviceInfo info = job.stored.device_info();
        if (TransparentBridgeText(job.stored.ap_type(), info.work_mode(), info.bridge_transparent()) ==
            kNotApplicableText) {
            return job.mac + ": " + Translate("Please select configurable devices!") +
                   " (no transparent bridge in this model or work mode)";
        }
        const auto payload = BuildSetTransparentBridgePayload(a.on);
        job.payload.assign(payload.begin(), payload.end());
    }
    return {};
}

std::string Prepare(CliSession& session, const CliArguments& a, std::vector<DeviceJob>& jobs) {
    for (DeviceJob& job : jobs) {
        job.target = StoredIp(job.stored);
        job.detailIp = job.target;
    }
    if (a.command == "rename") {
        return PrepareRename(a, jobs);
    }
    if (a.command == "set-ip") {
        return PrepareSetIp(session, a, jobs);
    }
    if (a.command == "transparent-bridge") {
        return PrepareTransparentBridge(a, jobs);
    }
    return {};
}

CommandSpec SpecFor(const CliArguments& a) {
    if (a.command == "reboot") {
        return {MessageType::Reboot, false, "restarting",
                [](const ap_info_stu& d) { return d.ap_status() == kStatusRestarting; }};
    }
    if (a.command == "reset") {
        return {MessageType::Restore, false, "resetting to factory settings",
                [](const ap_info_stu& d) { return d.ap_status() == kStatusReseting; }};
    }
    if (a.command == "rename") {
        return {MessageType::SetName, true, "renamed to " + PrintableText(a.name),
                [name = a.name](const ap_info_stu& d) { return d.device_info().ap_name() == name; }};
    }
    if (a.command == "set-ip") {
        return {MessageType::SetIp, true, "moved to " + a.ip,
                [ip = a.ip](const ap_info_stu& d) { return StoredIp(d) == ip; }};
    }
    return {MessageType::SetTransparentBridge, true,
            a.on ? "transparent bridge on" : "transparent bridge off",
            [on = a.on](const ap_info_stu& d) { return (d.device_info().bridge_transparent() != 0) == on; }};
}

// Devices that carry a bridged station go first, as the reboot page sends them.
void OrderForReboot(CSqlManagement& store, std::vector<DeviceJob>& jobs) {
    std::stable_partition(jobs.begin(), jobs.end(),
                          [&](const DeviceJob& j) { return store.HasBridgedStation(j.mac); });
}

void Send(CliSession& session, MessageType type, DeviceJob& job, const std::string& ip,
          std::span<const std::uint8_t> payload) {
    job.sent = session.Engine().SendCommand(ip, static_cast<int>(type), payload, job.mac, true);
    job.waiting = job.sent;
    job.lastRemaining = -1;
}

// Waits until no request of this type to the jobs' devices is pending any more. A request that left the
// table while it still had resends left was answered; one that ran out of resends was not (or its answer
// came only after the last resend). False when interrupted.
bool AwaitReplies(CliSession& session, MessageType type, std::vector<DeviceJob>& jobs) {
    const auto waiting = [&] {
        return std::any_of(jobs.begin(), jobs.end(), [](auto& j) { return j.waiting; });
    };
    while (waiting()) {
        if (!session.Wait(kPollPeriod)) {
            return false;
        }
        const auto pending = session.Engine().PendingRequests();
        for (DeviceJob& job : jobs) {
            const auto found = std::find_if(pending.begin(), pending.end(), [&](const PendingRequest& p) {
                return p.mac == job.mac && p.type == static_cast<int>(type);
            });
            if (found != pending.end()) {
                job.lastRemaining = found->remaining;
            } else if (job.waiting) {
                job.waiting = false;
                job.answered = job.lastRemaining != 0;
            }
        }
    }
    return true;
}

// Asks every device that was sent the request for its details again, so that the store shows the change.
bool RefreshDetails(CliSession& session, std::vector<DeviceJob>& jobs) {
    std::vector<DeviceJob> probes;
    for (DeviceJob& job : jobs) {
        if (job.sent) {
            DeviceJob probe(job.mac);
            Send(session, MessageType::GetInfo, probe, job.detailIp, {});
            job.detailsAsked = probe.sent;
            probes.push_back(std::move(probe));
        }
    }
    return AwaitReplies(session, MessageType::GetInfo, probes);
}

void Judge(CliSession& session, const CommandSpec& plan, std::vector<DeviceJob>& jobs) {
    for (DeviceJob& job : jobs) {
        ap_info_stu now;
        const bool stored = IsStored(session.Store(), job.mac, now);
        job.ok = job.sent && stored && plan.took(now);
        if (job.ok) {
            job.outcome = plan.success;
        } else if (!job.sent) {
            job.outcome = "not sent: no adapter of this PC is in the subnet of " + job.target;
        } else if (job.answered && plan.askDetails && !job.detailsAsked) {
            job.ok = true; // it moved out of this PC's subnets, where its details cannot be asked for
            job.outcome = plan.success + " (not confirmed: no adapter of this PC is in its new subnet)";
        } else if (job.answered) {
            job.outcome = "refused by the device";
        } else {
            job.outcome = "no answer";
        }
    }
}

int Report(const std::vector<DeviceJob>& jobs) {
    bool allOk = true;
    for (const DeviceJob& job : jobs) {
        std::cout << job.mac << "  " << job.target << "  " << job.outcome << "\n";
        allOk = allOk && job.ok;
    }
    std::cout.flush();
    return allOk ? kExitOk : kExitDeviceFailed;
}

} // namespace

int RunDeviceCommand(CliSession& session, const CliArguments& arguments) {
    std::vector<DeviceJob> jobs = JobsFor(arguments.macs);
    if (!LearnDevices(session, jobs)) {
        return kExitInterrupted;
    }
    for (const DeviceJob& job : jobs) {
        if (job.stored.mac() != job.mac) {
            std::cerr << "radiofleet-cli: unknown device " << job.mac << ": it did not answer the search\n";
            return kExitBadArguments;
        }
    }
    const std::string refusal = Prepare(session, arguments, jobs);
    if (!refusal.empty()) {
        std::cerr << "radiofleet-cli: " << refusal << "\n";
        return kExitBadArguments;
    }
    const CommandSpec plan = SpecFor(arguments);
    if (plan.type == MessageType::Reboot || plan.type == MessageType::Restore) {
        OrderForReboot(session.Store(), jobs);
    }
    for (DeviceJob& job : jobs) {
        if (plan.type == MessageType::SetIp) {
            session.Engine().SetPendingIp(job.mac, job.target, job.detailIp);
        }
        Send(session, plan.type, job, job.target, job.payload);
    }
    if (!AwaitReplies(session, plan.type, jobs) || (plan.askDetails && !RefreshDetails(session, jobs))) {
        return kExitInterrupted;
    }
    Judge(session, plan, jobs);
    return Report(jobs);
}

} // namespace rf
