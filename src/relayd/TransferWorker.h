#pragma once

#include "relayd/Transfer.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

namespace rf {

// One transfer on a thread of its own, asleep on the transfer's socket until the peer's next packet or
// the transfer's timer. The scheduler then shares the processors between transfers as it does between
// their clients; a loop serving many transfers on one thread would get one thread's share against all
// the clients on a busy machine.
class CTransferWorker {
public:
    // Runs once the transfer is over, with the state it ended in (Running when it was stopped): on the
    // worker's thread when it ended by itself, otherwise on the thread that destroys the worker. The
    // socket is closed by then.
    using Ended = std::function<void(CTransfer::State state)>;
    // Runs on the worker's thread each time the peer has confirmed another part of the file.
    using Progress = std::function<void(uint64_t bytes, uint64_t total)>;
    // How many times a transfer reports its progress at most.
    static constexpr uint64_t kProgressReports = 16;

    // Takes ownership of socket, which the transfer sends through; request is the peer's request as
    // received, to know it when repeated.
    CTransferWorker(int socket, const sockaddr_in& peer, std::span<const uint8_t> request,
                    std::unique_ptr<CTransfer> transfer, Ended ended, Progress progress = {});
    // Stops the thread and ends the transfer if it still runs.
    ~CTransferWorker();
    CTransferWorker(const CTransferWorker&) = delete;
    CTransferWorker& operator=(const CTransferWorker&) = delete;

    // Starts the transfer and the thread that serves it. False when the thread cannot be set up.
    bool Start(CTransfer::TimePoint now);
    // Stops the thread, leaving the transfer as it is until the worker is destroyed.
    void Stop();
    // The peer sent a request from the transfer's own address and port. True when it repeated this
    // transfer's request and was answered here; false when the peer has moved on to a new request.
    bool TakeRepeatedRequest(std::span<const uint8_t> packet, CTransfer::TimePoint now);
    // True once the transfer is over and the worker only waits to be destroyed.
    bool Finished() const { return finished_.load(); }

private:
    void Run(const std::stop_token& stop);
    // Takes one packet waiting on the socket, or with drain all of them; call with mutex_ held.
    void HandlePackets(CTransfer::TimePoint now, bool drain);
    // Polls the socket for a moment without sleeping; true when a packet came.
    bool Spin();
    int WaitMilliseconds(CTransfer::TimePoint now) const;
    void Finish();
    void ReportProgress();

    // How long a worker polls before it sleeps, when the transfer's round trip is shorter than that.
    static constexpr std::chrono::microseconds kSpin{100};

    const int socket_;
    const sockaddr_in peer_;
    const std::vector<uint8_t> request_;
    Ended onEnded_;
    Progress onProgress_;
    uint64_t reported_ = 0; // bytes last reported
    int wake_ = -1;
    std::mutex mutex_; // the transfer and the socket's reads, shared with TakeRepeatedRequest
    std::unique_ptr<CTransfer> transfer_;
    std::atomic<bool> finished_{false};
    std::jthread thread_; // last: stopped and joined before the members it uses go
};

} // namespace rf
