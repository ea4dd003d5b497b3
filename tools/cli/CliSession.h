#pragma once

#include "protocol/NetManagement.h"
#include "store/SqlManagement.h"

#include <chrono>
#include <csignal>
#include <memory>
#include <string>

namespace rf {

// The engine and a store of its own for one run of the command-line tool. The store lives in the run
// folder of this process (CRunFolder), removed at exit, so no data.mdb is left behind when the run is
// interrupted: SIGINT, SIGTERM and SIGHUP are only noticed while the tool waits, which then ends the run
// in order (Leave to every online device, store closed, folder removed). A run that is killed leaves its
// folder to the next start, which removes it.
class CliSession {
public:
    CliSession();
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Makes the store; with startEngine, also opens the engine's sockets and starts its workers.
    bool Open(bool startEngine, std::string& error);

    // Starts the engine of a session opened without it.
    bool StartEngine(std::string& error);

    CNetManagement& Engine() { return *engine_; }
    CSqlManagement& Store() { return *store_; }
    int RetransmissionMax() const { return retransmissionMax_; }
    int RetransmissionInterval() const { return retransmissionInterval_; }

    // Sleeps for period; false (now and from then on) when a termination signal came.
    bool Wait(std::chrono::milliseconds period);
    bool Interrupted() const { return interrupted_; }

private:
    sigset_t signals_{};
    sigset_t previousMask_{};
    std::string directory_;
    std::unique_ptr<CSqlManagement> store_;
    std::unique_ptr<CNetManagement> engine_;
    int retransmissionMax_ = 3;
    int retransmissionInterval_ = 2000;
    bool interrupted_ = false;
};

} // namespace rf
