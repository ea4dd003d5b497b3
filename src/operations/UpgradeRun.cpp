#include "operations/UpgradeRun.h"

#include "operations/OperationCatalogue.h"
#include "protocol/ApInfo.h"
#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"

#include <algorithm>

namespace rf {

namespace {

// The batch watch is done with a device once its status shows the fetch ended, one way or the other.
bool BatchDone(DeviceStatus status) {
    return status == DeviceStatus::Outline || status == DeviceStatus::UpgradeWait ||
           status == DeviceStatus::UpgradeSuccess || status == DeviceStatus::UpgradeFail;
}

} // namespace

UpgradeRun::UpgradeRun(CNetManagement& engine, CSqlManagement& store, std::vector<SelectedDevice> selected,
                       const UpgradeType& type, const UpgradeFile& file, Options options)
    : engine_(engine), store_(store), selected_(std::move(selected)),
      statuses_(selected_.size(), DeviceStatus::Outline), options_(options) {
    payload_.set_file_name(file.name);
    payload_.set_file_size(file.size);
    for (size_t i = 0; i < selected_.size(); ++i) {
        if (TakesUpgrade(selected_[i], type)) {
            run_.push_back({i, StoredVersion(selected_[i].Mac())});
        }
    }
}

std::string UpgradeRun::StoredVersion(const std::string& mac) const {
    ap_info_stu row{};
    if (!store_.GetDevice(mac, row) || row.mac() != mac) {
        return {};
    }
    return row.device_info().version();
}

void UpgradeRun::SendBatch(const std::stop_token& stop) {
    for (RunDevice& device : run_) {
        if (stop.stop_requested()) {
            break;
        }
        const SelectedDevice& target = selected_[device.index];
        // A status left by an earlier upgrade would read as this run's report.
        store_.ClearFailedUpgrade(target.Mac());
        if (store_.GetDeviceStatus(target.Mac()) == DeviceStatus::UpgradeSuccess) {
            store_.SetDeviceStatus(target.Mac(), DeviceStatus::Online);
        }
        const bool sent = engine_.SendCommand(target.Ip(), static_cast<int>(MessageType::Upgrade),
                                              payload_.bytes(), target.Mac(), true);
        std::lock_guard lock(sentLock_);
        device.sent = sent;
    }
    batchSent_ = true;
}

bool UpgradeRun::WasSent(const RunDevice& device) const {
    std::lock_guard lock(sentLock_);
    return device.sent;
}

UpgradeRun::Step UpgradeRun::Tick() {
    Step step;
    if (phase_ == Phase::Finished) {
        return step;
    }
    ReadStatuses();
    WatchBatch();
    if (phase_ == Phase::Transfer) {
        AdvanceTransfer(step);
    } else {
        AdvanceUpgrade(step);
    }
    step.finished = phase_ == Phase::Finished;
    return step;
}

void UpgradeRun::ReadStatuses() {
    for (size_t i = 0; i < selected_.size(); ++i) {
        statuses_[i] = store_.GetDeviceStatus(selected_[i].Mac());
    }
    if (!batchSent_) {
        return;
    }
    for (RunDevice& device : run_) {
        const DeviceStatus status = statuses_[device.index];
        if (status == DeviceStatus::UpgradeSuccess) {
            device.reportedSuccess = true;
            device.reportedFailure = false;
        } else if (status == DeviceStatus::UpgradeFail) {
            device.reportedFailure = true;
        }
    }
}

void UpgradeRun::WatchBatch() {
    if (!batchSent_ || batchFinished_) {
        return;
    }
    ++batchTicks_;
    const bool allReported = std::all_of(run_.begin(), run_.end(), [&](const RunDevice& device) {
        return !WasSent(device) || BatchDone(statuses_[device.index]);
    });
    if (batchTicks_ < kBatchLimit && !allReported) {
        return;
    }
    batchFinished_ = true;
    for (const RunDevice& device : run_) {
        const SelectedDevice& target = selected_[device.index];
        if (WasSent(device) && store_.IsUpgradeWaiting(target.Mac())) {
            engine_.SendCommand(target.Ip(), static_cast<int>(MessageType::UpgradePoll), {}, target.Mac(),
                                true);
        }
    }
}

void UpgradeRun::AdvanceTransfer(Step& step) {
    ++transferTicks_;
    if (transferTicks_ < kTransferLimit && !batchFinished_) {
        return;
    }
    if (AllFailed()) {
        endedEarly_ = true;
        phase_ = Phase::Finished;
        return;
    }
    phase_ = Phase::Upgrade;
    upgradeTicks_ = 0;
    passesLeft_ = kDiscoveryPasses;
    step.upgradePhaseBegun = true;
}

void UpgradeRun::AdvanceUpgrade(Step& step) {
    if (options_.endWhenSettled && Settled()) {
        // Skip to just before the first search: the searches still find the devices again.
        upgradeTicks_ = std::max(upgradeTicks_, FirstPassTick() - 1);
    }
    ++upgradeTicks_;
    if (passesLeft_ > 0 && upgradeTicks_ == PassTick(passesLeft_)) {
        Discover(step);
    }
    const bool found = options_.endWhenSettled && passesLeft_ < kDiscoveryPasses && Settled() &&
                       UpgradedOnesShowNewVersion();
    if (upgradeTicks_ >= kUpgradeLimit || found) {
        phase_ = Phase::Finished;
    }
}

// A search, and a request for details to every device that may have come back with a new version: the
// search alone does not ask a device that the engine still holds as detailed.
void UpgradeRun::Discover(Step& step) {
    --passesLeft_;
    step.searched = true;
    engine_.SearchDevices();
    for (const RunDevice& device : run_) {
        if (WasSent(device) && !device.reportedFailure) {
            const SelectedDevice& target = selected_[device.index];
            engine_.SendCommand(target.Ip(), static_cast<int>(MessageType::GetInfo), {}, target.Mac(), true);
        }
    }
}

bool UpgradeRun::AllFailed() const {
    return std::all_of(run_.begin(), run_.end(),
                       [&](const RunDevice& device) { return !WasSent(device) || device.reportedFailure; });
}

bool UpgradeRun::Settled() const {
    return std::all_of(run_.begin(), run_.end(), [&](const RunDevice& device) {
        return !WasSent(device) || device.reportedFailure || device.reportedSuccess;
    });
}

bool UpgradeRun::UpgradedOnesShowNewVersion() const {
    return std::all_of(run_.begin(), run_.end(), [&](const RunDevice& device) {
        return !device.reportedSuccess ||
               StoredVersion(selected_[device.index].Mac()) != device.versionBefore;
    });
}

int UpgradeRun::Position() const {
    switch (phase_) {
    case Phase::Transfer:
        return transferTicks_;
    case Phase::Upgrade:
        return upgradeTicks_;
    case Phase::Finished:
        return endedEarly_ ? transferTicks_ : kUpgradeLimit;
    }
    return 0;
}

std::vector<UpgradeDeviceResult> UpgradeRun::Results() const {
    std::vector<UpgradeDeviceResult> results;
    for (const SelectedDevice& device : selected_) {
        results.push_back({device.Mac(), device.Ip(), UpgradeOutcome::NotThisType, {}, {}});
    }
    for (const RunDevice& device : run_) {
        UpgradeDeviceResult& result = results[device.index];
        result.versionBefore = device.versionBefore;
        result.versionAfter = StoredVersion(result.mac);
        if (!WasSent(device)) {
            result.outcome = UpgradeOutcome::NotSent;
        } else if (device.reportedFailure) {
            result.outcome = UpgradeOutcome::Failed;
        } else if (device.reportedSuccess ||
                   (!result.versionAfter.empty() && result.versionAfter != result.versionBefore)) {
            result.outcome = UpgradeOutcome::Upgraded;
        } else {
            result.outcome = UpgradeOutcome::NoReport;
        }
    }
    return results;
}

} // namespace rf
