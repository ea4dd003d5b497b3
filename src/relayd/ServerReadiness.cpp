#include "relayd/ServerReadiness.h"

#include "relayd/FirmwareServer.h"

namespace rf {

CServerReadiness::CServerReadiness(CFirmwareServer& server, std::chrono::milliseconds answerLimit)
    : server_(server), answerLimit_(answerLimit) {}

CServerReadiness::State CServerReadiness::Look(std::chrono::steady_clock::time_point now) {
    if (probe_ && probe_->Answered()) {
        return State::Ready;
    }
    if (!server_.ProgramRuns()) {
        // Once the program ran, its end is the end; before, the launcher may still bring it.
        return !probe_ && server_.LauncherRuns() ? State::Launching : State::NotStarted;
    }
    if (!probe_) {
        probe_.emplace(server_.Port());
        upSince_ = now;
    }
    if (now - upSince_ >= answerLimit_) {
        return State::Silent;
    }
    probe_->Send();
    return State::Starting;
}

CServerReadiness::State WaitForFirmwareServer(CFirmwareServer& server, std::chrono::milliseconds answerLimit,
                                              const std::function<bool(std::chrono::milliseconds)>& pause,
                                              const std::function<void(CServerReadiness::State)>& onWaiting) {
    CServerReadiness readiness(server, answerLimit);
    std::optional<CServerReadiness::State> told;
    while (true) {
        const CServerReadiness::State state = readiness.Look(std::chrono::steady_clock::now());
        if (!IsWaiting(state)) {
            return state;
        }
        if (state != told) {
            told = state;
            onWaiting(state);
        }
        if (!pause(CServerReadiness::kLookInterval)) {
            return CServerReadiness::State::Cancelled;
        }
    }
}

} // namespace rf
