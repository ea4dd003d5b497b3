#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace rf {

class CFirmwareServer;

// Starts and stops the firmware server on a worker of its own, one request after another in the order
// asked, so that the interface thread never waits for the server's program to start or to end (ending it
// may take seconds when it is slow to leave). Each start answers with started(), each stop with stopped();
// both are emitted on the worker and reach a receiver through its own thread's events, and never reach
// one that is gone. Destruction still carries out what was asked (a stop asked last ends the server) and
// then joins the worker.
class CFirmwareServerHost : public QObject {
    Q_OBJECT

public:
    explicit CFirmwareServerHost(std::unique_ptr<CFirmwareServer> server, QObject* parent = nullptr);
    ~CFirmwareServerHost() override;
    CFirmwareServerHost(const CFirmwareServerHost&) = delete;
    CFirmwareServerHost& operator=(const CFirmwareServerHost&) = delete;

    // Asks for the server on firmwareDirectory (an old one ends first); the ticket returned comes back
    // with started().
    int Start(const std::string& firmwareDirectory);
    // Asks for the server to end.
    void Stop();
    // A request is still waiting or being carried out.
    bool Busy() const;

Q_SIGNALS:
    void started(int ticket, bool ok);
    void stopped();

private:
    void Post(std::function<void()> request);
    void Work(const std::stop_token& stop);

    std::unique_ptr<CFirmwareServer> server_;
    mutable std::mutex lock_; // guards requests_, working_, lastTicket_
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> requests_;
    bool working_ = false;
    int lastTicket_ = 0;
    // Declared last: started after, and joined before, what it uses.
    std::jthread worker_;
};

} // namespace rf
