#pragma once

#include "relayd/ServerReadiness.h"

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rf {

class CFirmwareServer;

// Starts and stops the firmware server on a worker of its own, one request after another in the order
// asked, so that the interface thread never waits for the server's program to start or to end (ending it
// may take seconds when it is slow to leave). A start waits until the server serves (CServerReadiness),
// telling waiting() as the wait goes on, and answers with started(); a stop gives up a start still
// waiting and answers with stopped(). The signals are emitted on the worker and reach a receiver through
// its own thread's events, and never reach one that is gone. Destruction gives up a waiting start, still
// carries out what was asked (a stop asked last ends the server) and then joins the worker.
class CFirmwareServerHost : public QObject {
    Q_OBJECT

public:
    // answerLimit: how long a started server may take to answer (tests shorten it).
    explicit CFirmwareServerHost(std::unique_ptr<CFirmwareServer> server,
                                 std::chrono::milliseconds answerLimit = CServerReadiness::kAnswerLimit,
                                 QObject* parent = nullptr);
    ~CFirmwareServerHost() override;
    CFirmwareServerHost(const CFirmwareServerHost&) = delete;
    CFirmwareServerHost& operator=(const CFirmwareServerHost&) = delete;

    // Asks for the server on firmwareDirectory serving the devices at addresses (an old one ends first);
    // the ticket returned comes back with waiting() and started().
    int Start(const std::string& firmwareDirectory, const std::vector<std::string>& addresses);
    // Gives up the starts asked so far and asks for the server to end.
    void Stop();
    // A request is still waiting or being carried out.
    bool Busy() const;

Q_SIGNALS:
    // state: the CServerReadiness::State the wait is in (Launching or Starting).
    void waiting(int ticket, int state);
    // outcome: the CServerReadiness::State the start ended in; only Ready lets requests go out.
    void started(int ticket, int outcome);
    void stopped();

private:
    void Post(std::function<void()> request);
    void Work(const std::stop_token& stop);
    // Waits time between two looks at a starting server; false when the start was given up.
    bool Pause(int ticket, std::chrono::milliseconds time);

    std::unique_ptr<CFirmwareServer> server_;
    std::chrono::milliseconds answerLimit_;
    mutable std::mutex lock_; // guards requests_, working_, lastTicket_, givenUpTo_
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> requests_;
    bool working_ = false;
    int lastTicket_ = 0;
    int givenUpTo_ = 0; // starts up to this ticket are given up
    // Declared last: started after, and joined before, what it uses.
    std::jthread worker_;
};

} // namespace rf
