#include "CliSession.h"

#include "core/ExeDirectory.h"
#include "core/RunFolder.h"
#include "core/Settings.h"
#include "protocol/NicscanLibrary.h"

#include <ctime>
#include <pthread.h>
#include <unistd.h>

namespace rf {

CliSession::CliSession() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    sigaddset(&signals_, SIGHUP);
    // Before any engine thread exists, so that every thread inherits the mask and the signals stay
    // pending until Wait takes them.
    ::pthread_sigmask(SIG_BLOCK, &signals_, &previousMask_);
}

CliSession::~CliSession() {
    engine_.reset(); // stops the engine: Leave to every online device
    store_.reset();  // deletes data.mdb; the run folder goes at exit
    ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

bool CliSession::Open(bool startEngine, std::string& error) {
    directory_ = CRunFolder::Process().Path();
    if (directory_.empty()) {
        error = "cannot make a directory for the device store";
        return false;
    }
    store_ = std::make_unique<CSqlManagement>(directory_);
    if (!store_->IsOpen()) {
        error = "cannot open the device store: " + store_->OpenError();
        return false;
    }
    const Settings settings = LoadSettings(GetExeDirectory());
    retransmissionMax_ = settings.retransmissionMax;
    retransmissionInterval_ = settings.retransmissionInterval;
    engine_ = std::make_unique<CNetManagement>(
        *store_, std::make_unique<NicscanLibrary>(GetExeDirectory() + kNicscanLibraryName));
    // Start takes the port lock of this network namespace, so a second RadioFleet here is told apart
    // from any other program holding the ports.
    return !startEngine || StartEngine(error);
}

bool CliSession::StartEngine(std::string& error) {
    if (!engine_->Start(retransmissionMax_, retransmissionInterval_)) {
        error = engine_->StartError();
        return false;
    }
    return true;
}

bool CliSession::Wait(std::chrono::milliseconds period) {
    const auto deadline = std::chrono::steady_clock::now() + period;
    while (!interrupted_) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return true;
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        if (::sigtimedwait(&signals_, nullptr, &timeout) > 0) {
            interrupted_ = true;
        }
    }
    return false;
}

} // namespace rf
