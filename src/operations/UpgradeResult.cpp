#include "operations/UpgradeResult.h"

#include "core/Language.h"

#include <algorithm>

namespace rf {

const char* UpgradeOutcomeKey(UpgradeOutcome outcome) {
    switch (outcome) {
    case UpgradeOutcome::Upgraded:
        return "upgraded";
    case UpgradeOutcome::Failed:
        return "upgrade failed";
    case UpgradeOutcome::NoReport:
        return "no report";
    case UpgradeOutcome::NotThisType:
        return "not this type";
    case UpgradeOutcome::NotSent:
        return "not sent";
    }
    return "no report";
}

std::string UpgradeOutcomeText(const UpgradeDeviceResult& result) {
    std::string text = Translate(UpgradeOutcomeKey(result.outcome));
    if (result.outcome == UpgradeOutcome::Upgraded) {
        text += " " + result.versionBefore + " -> " + result.versionAfter;
    }
    return text;
}

std::string UpgradeSummaryText(const std::vector<UpgradeDeviceResult>& results) {
    static constexpr UpgradeOutcome kOrder[] = {UpgradeOutcome::Upgraded, UpgradeOutcome::Failed,
                                                UpgradeOutcome::NoReport, UpgradeOutcome::NotSent};
    std::string text = Translate("Device upgrade") + ":";
    const char* separator = " ";
    for (const UpgradeOutcome outcome : kOrder) {
        const auto n = std::count_if(results.begin(), results.end(),
                                     [&](const UpgradeDeviceResult& r) { return r.outcome == outcome; });
        if (n > 0) {
            text += separator + std::to_string(n) + " " + Translate(UpgradeOutcomeKey(outcome));
            separator = ", ";
        }
    }
    std::string missed;
    for (const UpgradeDeviceResult& result : results) {
        if (result.outcome != UpgradeOutcome::Upgraded && result.outcome != UpgradeOutcome::NotThisType) {
            missed += (missed.empty() ? "" : ", ") + result.mac;
        }
    }
    if (!missed.empty()) {
        text += "; " + Translate("not upgraded") + ": " + missed;
    }
    return text;
}

bool AllUpgraded(const std::vector<UpgradeDeviceResult>& results) {
    bool any = false;
    for (const UpgradeDeviceResult& result : results) {
        if (result.outcome == UpgradeOutcome::NotThisType) {
            continue;
        }
        if (result.outcome != UpgradeOutcome::Upgraded) {
            return false;
        }
        any = true;
    }
    return any;
}

} // namespace rf
