#pragma once

#include "relayd/RelaydConfig.h"
#include "relayd/RelaydLoop.h"
#include "relayd/ServedDirectory.h"
#include "relayd/TransferAdmission.h"

#include <atomic>
#include <memory>
#include <netinet/in.h>
#include <stop_token>
#include <string>
#include <vector>

namespace rf {

// The read-only TFTP server: one request loop per processor (or as configured), each with a request
// socket on the shared request port. Every transfer runs on a thread of its own with a socket of its own,
// so that concurrent transfers use every processor and hold their share of it on a busy machine.
class CRelaydServer {
public:
    explicit CRelaydServer(RelaydConfig config);
    ~CRelaydServer();
    CRelaydServer(const CRelaydServer&) = delete;
    CRelaydServer& operator=(const CRelaydServer&) = delete;

    // Where the transfers' progress and ends go; set before Start.
    void SetStatusSink(CRelaydLoop::StatusSink sink) { status_ = std::move(sink); }
    // Serves only these client addresses from now on (everyone until this is called).
    void Allow(const std::vector<in_addr_t>& addresses) { allowed_.Set(addresses); }
    // Opens the directory and binds the request port. False with a reason a user can act on.
    bool Start(std::string& error);
    // The bound request port (the configured one, or the one the system chose for port 0).
    uint16_t Port() const { return port_; }
    // Serves until stop is requested or stopFd (for example a signalfd) becomes readable. The first loop
    // runs on the calling thread, the others on threads of their own; they and the transfers' threads
    // end before this returns.
    void Run(std::stop_token stop, int stopFd = -1);

    size_t ActiveTransfers() const { return admission_.Active(); }
    uint64_t TransfersCompleted() const { return completed_.load(); }
    size_t LoopCount() const { return loops_.size(); }
    // The transfers each loop is serving, in loop order.
    std::vector<size_t> ActiveTransfersByLoop() const;

private:
    size_t WantedLoops() const;
    // Binds count request sockets to the configured port; the first bind alone decides whether the port
    // is free, the others join it.
    std::vector<int> BindRequestSockets(const sockaddr_in& address, size_t count, std::string& error);
    int BindOne(sockaddr_in& address, bool shared, std::string& error) const;

    RelaydConfig config_;
    CServedDirectory directory_;
    CTransferAdmission admission_;
    CAllowedAddresses allowed_;
    CRelaydLoop::StatusSink status_;
    std::atomic<uint64_t> completed_{0};
    uint16_t port_ = 0;
    std::vector<std::unique_ptr<CRelaydLoop>> loops_; // ended before the admission they give places back to
};

} // namespace rf
