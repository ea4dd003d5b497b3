#pragma once

#include "relayd/TftpProbe.h"

#include <chrono>
#include <functional>
#include <optional>

namespace rf {

class CFirmwareServer;

// Whether a firmware server just started serves yet, so that no device is sent an upgrade request before
// it can fetch its image. First the server's program has to appear: started through pkexec, it waits for
// a person to type a password, so there is no limit while the launcher is still there. From the moment
// the program runs, it has the answer limit to answer a probe (CTftpProbe).
class CServerReadiness {
public:
    static constexpr std::chrono::milliseconds kAnswerLimit{30000};
    // How often WaitForFirmwareServer looks.
    static constexpr std::chrono::milliseconds kLookInterval{200};

    enum class State {
        Launching,  // the launcher runs, the program is not there yet (a password prompt may be open)
        Starting,   // the program runs and has not answered yet
        Ready,      // it answered: requests may go out
        NotStarted, // the launcher or the program ended first
        Silent,     // the program ran for the answer limit without answering
        Cancelled,  // the wait was given up
    };

    explicit CServerReadiness(CFirmwareServer& server, std::chrono::milliseconds answerLimit = kAnswerLimit);

    // One look, at time now: the state, and a new probe when the program runs.
    State Look(std::chrono::steady_clock::time_point now);

private:
    CFirmwareServer& server_;
    std::chrono::milliseconds answerLimit_;
    std::optional<CTftpProbe> probe_; // from the moment the program runs
    std::chrono::steady_clock::time_point upSince_;
};

constexpr bool IsWaiting(CServerReadiness::State state) {
    return state == CServerReadiness::State::Launching || state == CServerReadiness::State::Starting;
}

// The language keys of the waits and of a server that never answered.
inline constexpr const char* kWaitingForLaunchKey =
    "Waiting for the firmware server to start (enter your password if asked)...";
inline constexpr const char* kWaitingForAnswerKey = "Waiting for the firmware server to answer...";
inline constexpr const char* kServerSilentKey =
    "The firmware server started but does not answer: no device was sent the upgrade.";

// Looks every kLookInterval until the server serves or cannot, or pause (given the time to wait before the
// next look) returns false: then Cancelled. onWaiting hears every waiting state that differs from the one
// before.
CServerReadiness::State WaitForFirmwareServer(CFirmwareServer& server, std::chrono::milliseconds answerLimit,
                                              const std::function<bool(std::chrono::milliseconds)>& pause,
                                              const std::function<void(CServerReadiness::State)>& onWaiting);

} // namespace rf
