#pragma once

#include <string>
#include <vector>

namespace rf {

// What became of one ticked device in an upgrade run.
enum class UpgradeOutcome {
    Upgraded,    // reported success, or came back with another version
    Failed,      // reported the upgrade failed
    NoReport,    // sent the request, but never reported an end
    NotThisType, // another model than the one being upgraded: nothing was sent
    NotSent,     // no adapter of this PC is in its subnet, or the run was stopped before its turn
};

struct UpgradeDeviceResult {
    std::string mac;
    std::string ip;
    UpgradeOutcome outcome = UpgradeOutcome::NoReport;
    std::string versionBefore; // stored when the run began
    std::string versionAfter;  // stored when the run ended, after its last discovery
};

// The language key of an outcome ("upgraded", "upgrade failed", "no report", ...).
const char* UpgradeOutcomeKey(UpgradeOutcome outcome);

// The outcome of one device as a line shows it: "upgraded V1 -> V2", "upgrade failed", ...; translated.
std::string UpgradeOutcomeText(const UpgradeDeviceResult& result);

// The line a page shows when the run has ended: how many devices of the type ended how, and the MACs of
// those that were not upgraded ("Device upgrade: 2 upgraded, 1 no report; not upgraded: a"); translated.
std::string UpgradeSummaryText(const std::vector<UpgradeDeviceResult>& results);

// True when every device of the upgraded type was upgraded (and there was at least one).
bool AllUpgraded(const std::vector<UpgradeDeviceResult>& results);

} // namespace rf
