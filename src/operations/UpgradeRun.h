#pragma once

#include "operations/SelectedDevice.h"
#include "operations/UpgradeChecks.h"
#include "operations/UpgradeResult.h"
#include "protocol/CodeTables.h"
#include "protocol/UpgradeFileInfo.h"

#include <atomic>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

namespace rf {

class CNetManagement;
class CSqlManagement;

// One firmware upgrade of the ticked devices of one model, driven by a tick a second from whoever owns it
// (the upgrade dialog's timer, the command line's loop, a test). The devices fetch the image from the
// firmware server, which must already run; the run only talks to them.
//
// Transfer phase (at most 120 ticks): the requests go out (SendBatch, on a worker); the batch watch waits
// until every device has reported (fetched, done or failed) or 120 ticks have passed, then tells the
// devices that fetched their image to flash it. The phase ends with the batch watch. If every device has
// failed by then, the run ends there. Upgrade phase (130 ticks): the devices flash and restart; searches
// on ticks 124, 127 and 130 find them again, and the devices that did not fail are asked for their details
// so that the store shows the version they came back with.
//
// Threads: SendBatch runs on one worker thread; everything else on the owner's thread.
class UpgradeRun {
public:
    static constexpr int kBatchLimit = 120;
    static constexpr int kTransferLimit = 120;
    static constexpr int kUpgradeLimit = 130;
    static constexpr int kDiscoveryPasses = 3;
    static constexpr int kPassSpacing = 3;

    enum class Phase { Transfer, Upgrade, Finished };

    // The upgrade phase's tick of the search made while passesLeft searches are still due: 124, 127, 130.
    static constexpr int PassTick(int passesLeft) {
        return kUpgradeLimit - kPassSpacing * passesLeft + kPassSpacing;
    }
    static constexpr int FirstPassTick() { return PassTick(kDiscoveryPasses); }

    struct Options {
        // End the upgrade phase once every device has reported (and the searches have found the upgraded
        // ones with their new version) instead of always running its 130 ticks.
        bool endWhenSettled = false;
    };

    // What a tick asks of the owner besides the statuses it read.
    struct Step {
        bool upgradePhaseBegun = false;
        bool searched = false;
        bool finished = false;
    };

    // selected: every ticked device; only those of type are sent the request.
    UpgradeRun(CNetManagement& engine, CSqlManagement& store, std::vector<SelectedDevice> selected,
               const UpgradeType& type, const UpgradeFile& file, Options options);
    UpgradeRun(CNetManagement& engine, CSqlManagement& store, std::vector<SelectedDevice> selected,
               const UpgradeType& type, const UpgradeFile& file)
        : UpgradeRun(engine, store, std::move(selected), type, file, Options{}) {}
    UpgradeRun(const UpgradeRun&) = delete;
    UpgradeRun& operator=(const UpgradeRun&) = delete;

    // Sends Upgrade to every device of the type in selection order, first setting a status left over from
    // an earlier upgrade back to "Online". Call once; stop ends it between two devices.
    void SendBatch(const std::stop_token& stop);

    // One second of the run. Reads the status of every selected device (see Statuses).
    Step Tick();

    Phase phase() const { return phase_; }
    bool Finished() const { return phase_ == Phase::Finished; }
    // The run ended after the transfer phase because every device of the type failed.
    bool EndedEarly() const { return endedEarly_; }
    // The progress bar: its range and position in the current phase.
    int Range() const { return phase_ == Phase::Transfer ? kTransferLimit : kUpgradeLimit; }
    int Position() const;
    bool BatchFinished() const { return batchFinished_; }

    const std::vector<SelectedDevice>& Selected() const { return selected_; }
    // The stored status of each selected device at the last tick, in selection order.
    const std::vector<DeviceStatus>& Statuses() const { return statuses_; }
    const UpgradeFileInfo& Payload() const { return payload_; }

    // Every selected device with its outcome, in selection order; reads the versions now stored.
    std::vector<UpgradeDeviceResult> Results() const;

private:
    struct RunDevice {
        size_t index = 0; // into selected_
        std::string versionBefore;
        bool sent = false;
        bool reportedSuccess = false;
        bool reportedFailure = false; // the latest report said the upgrade failed
    };

    void ReadStatuses();
    void WatchBatch();
    void AdvanceTransfer(Step& step);
    void AdvanceUpgrade(Step& step);
    void Discover(Step& step);
    bool AllFailed() const;
    bool Settled() const;
    bool UpgradedOnesShowNewVersion() const;
    bool WasSent(const RunDevice& device) const;
    std::string StoredVersion(const std::string& mac) const;

    CNetManagement& engine_;
    CSqlManagement& store_;
    std::vector<SelectedDevice> selected_;
    std::vector<DeviceStatus> statuses_;
    std::vector<RunDevice> run_;
    UpgradeFileInfo payload_;
    Options options_;

    mutable std::mutex sentLock_; // guards RunDevice::sent, written by SendBatch's worker
    std::atomic<bool> batchSent_{false};

    Phase phase_ = Phase::Transfer;
    int batchTicks_ = 0;
    bool batchFinished_ = false;
    int transferTicks_ = 0;
    int upgradeTicks_ = 0;
    int passesLeft_ = kDiscoveryPasses;
    bool endedEarly_ = false;
};

} // namespace rf
