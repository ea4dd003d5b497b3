#include "pages/FirmwareServerHost.h"

#include "relayd/FirmwareServer.h"

namespace rf {

CFirmwareServerHost::CFirmwareServerHost(std::unique_ptr<CFirmwareServer> server,
                                         std::chrono::milliseconds answerLimit, QObject* parent)
    : QObject(parent), server_(std::move(server)), answerLimit_(answerLimit),
      worker_([this](const std::stop_token& stop) { Work(stop); }) {}

CFirmwareServerHost::~CFirmwareServerHost() {
    worker_.request_stop();
    worker_.join();
}

int CFirmwareServerHost::Start(const std::string& firmwareDirectory,
                               const std::vector<std::string>& addresses) {
    int ticket = 0;
    {
        std::lock_guard guard(lock_);
        ticket = ++lastTicket_;
    }
    Post([this, ticket, firmwareDirectory, addresses] {
        using State = CServerReadiness::State;
        State outcome = State::NotStarted;
        if (server_->StartFirmwareServer(firmwareDirectory, addresses)) {
            outcome = WaitForFirmwareServer(
                *server_, answerLimit_, [this, ticket](auto time) { return Pause(ticket, time); },
                [this, ticket](State state) { Q_EMIT waiting(ticket, static_cast<int>(state)); });
        }
        Q_EMIT started(ticket, static_cast<int>(outcome));
    });
    return ticket;
}

bool CFirmwareServerHost::Pause(int ticket, std::chrono::milliseconds time) {
    const std::stop_token stop = worker_.get_stop_token();
    std::unique_lock guard(lock_);
    wake_.wait_for(guard, stop, time, [&] { return ticket <= givenUpTo_; });
    return ticket > givenUpTo_ && !stop.stop_requested();
}

void CFirmwareServerHost::Stop() {
    {
        std::lock_guard guard(lock_);
        givenUpTo_ = lastTicket_;
    }
    wake_.notify_all();
    Post([this] {
        server_->StopFirmwareServer();
        Q_EMIT stopped();
    });
}

bool CFirmwareServerHost::Busy() const {
    std::lock_guard guard(lock_);
    return working_ || !requests_.empty();
}

void CFirmwareServerHost::Post(std::function<void()> request) {
    {
        std::lock_guard guard(lock_);
        requests_.push_back(std::move(request));
    }
    wake_.notify_one();
}

// A stop request ends the wait only once nothing is left to do: what was asked is carried out first.
void CFirmwareServerHost::Work(const std::stop_token& stop) {
    std::unique_lock guard(lock_);
    while (true) {
        wake_.wait(guard, stop, [this] { return !requests_.empty(); });
        if (requests_.empty()) {
            return;
        }
        std::function<void()> request = std::move(requests_.front());
        requests_.pop_front();
        working_ = true;
        guard.unlock();
        request();
        guard.lock();
        working_ = false;
    }
}

} // namespace rf
