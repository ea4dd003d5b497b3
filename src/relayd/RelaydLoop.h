#pragma once

#include "relayd/AllowedAddresses.h"
#include "relayd/RelaydConfig.h"
#include "relayd/RelaydMessage.h"
#include "relayd/ServedDirectory.h"
#include "relayd/TftpRequest.h"
#include "relayd/Transfer.h"
#include "relayd/TransferAdmission.h"
#include "relayd/TransferWorker.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <span>
#include <stop_token>
#include <string>

namespace rf {

// One loop answering requests: a request socket of its own (all loops share the request port, and the
// kernel hands the requests of one client address and port always to the same loop). Every transfer it
// starts runs on a worker thread of its own; only the admission and the completed counter are shared with
// other loops.
class CRelaydLoop {
public:
    // Hears how each transfer goes; called from the transfers' threads at once.
    using StatusSink = std::function<void(const RelaydMessage&)>;

    // Takes ownership of requestSocket.
    CRelaydLoop(const RelaydConfig& config, const CServedDirectory& directory, CTransferAdmission& admission,
                const CAllowedAddresses& allowed, const StatusSink& status, std::atomic<uint64_t>& completed,
                int requestSocket);
    // Ends the transfers still running.
    ~CRelaydLoop();
    CRelaydLoop(const CRelaydLoop&) = delete;
    CRelaydLoop& operator=(const CRelaydLoop&) = delete;

    // False with errno set when the event loop cannot be set up.
    bool Open();
    // Serves until stop is requested or stopFd (for example a signalfd) becomes readable; the transfers'
    // threads are stopped before it returns.
    void Run(std::stop_token stop, int stopFd);

    size_t ActiveTransfers() const { return active_.load(); }

private:
    void HandleRequests(CTransfer::TimePoint now);
    void HandleRequest(std::span<const uint8_t> packet, const sockaddr_in& peer, const in_addr& local,
                       CTransfer::TimePoint now);
    // True when the request belonged to the peer's running transfer and was answered there.
    bool TakeRepeatedRequest(std::span<const uint8_t> packet, const sockaddr_in& peer,
                             CTransfer::TimePoint now);
    void StartTransfer(const CServedDirectory::OpenedFile& file, const tftp::RequestedOptions& options,
                       const std::string& name, std::span<const uint8_t> request, const sockaddr_in& peer,
                       const in_addr& local, CTransfer::TimePoint now);
    // Counts a transfer that is over and gives its place back; on the thread that ended it.
    void TransferEnded(const sockaddr_in& peer, const std::string& file, CTransfer::State state);
    void Report(RelaydMessage message, const sockaddr_in& peer, const std::string& file) const;
    // Destroys the workers whose transfers are over.
    void Reap();
    void Refuse(const sockaddr_in& peer, uint16_t code, std::string_view message);
    uint16_t BlockSizeCapFor(const sockaddr_in& peer) const;

    static uint64_t PeerKey(const sockaddr_in& peer);

    const RelaydConfig& config_;
    const CServedDirectory& directory_;
    CTransferAdmission& admission_;
    const CAllowedAddresses& allowed_;
    const StatusSink& status_;
    std::atomic<uint64_t>& completed_;
    int requestSocket_ = -1;
    int epoll_ = -1;
    int wake_ = -1;                                                // stop requested
    int ended_ = -1;                                               // a worker's transfer is over
    std::map<uint64_t, std::unique_ptr<CTransferWorker>> workers_; // by peer address and port
    std::atomic<size_t> active_{0};                                // transfers not yet over
};

} // namespace rf
