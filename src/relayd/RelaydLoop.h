#pragma once

#include "relayd/RelaydConfig.h"
#include "relayd/ServedDirectory.h"
#include "relayd/TftpRequest.h"
#include "relayd/Transfer.h"
#include "relayd/TransferAdmission.h"

#include <atomic>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <span>
#include <stop_token>
#include <string>
#include <sys/epoll.h>
#include <unordered_map>
#include <vector>

namespace rf {

// One event loop of the server: a request socket of its own (all loops share the request port, and the
// kernel hands the requests of one client address and port always to the same loop) and the sockets of
// the transfers it started. Only the admission and the completed counter are shared with other loops.
class CRelaydLoop {
public:
    // Takes ownership of requestSocket.
    CRelaydLoop(const RelaydConfig& config, const CServedDirectory& directory, CTransferAdmission& admission,
                std::atomic<uint64_t>& completed, int requestSocket);
    ~CRelaydLoop();
    CRelaydLoop(const CRelaydLoop&) = delete;
    CRelaydLoop& operator=(const CRelaydLoop&) = delete;

    // False with errno set when the event loop cannot be set up.
    bool Open();
    // Serves until stop is requested or stopFd (for example a signalfd) becomes readable.
    void Run(std::stop_token stop, int stopFd);

    size_t ActiveTransfers() const { return active_.load(); }

private:
    struct Session {
        int socket = -1;
        sockaddr_in peer{};
        std::unique_ptr<CTransfer> transfer;
        std::vector<uint8_t> request; // as received, to know a repeated request
    };

    void HandleRequests(CTransfer::TimePoint now);
    void HandleRequest(std::span<const uint8_t> packet, const sockaddr_in& peer, const in_addr& local,
                       CTransfer::TimePoint now);
    // True when the request belonged to the peer's running transfer and was answered there.
    bool TakeRepeatedRequest(std::span<const uint8_t> packet, const sockaddr_in& peer,
                             CTransfer::TimePoint now);
    void HandleTransferPackets(Session& session, CTransfer::TimePoint now, bool drain);
    void StartTransfer(const CServedDirectory::OpenedFile& file, const tftp::RequestedOptions& options,
                       const sockaddr_in& peer, const in_addr& local, CTransfer::TimePoint now);
    void Refuse(const sockaddr_in& peer, uint16_t code, std::string_view message);
    void ExpireAndReap(CTransfer::TimePoint now);
    bool AnswerExpectedSoon() const;
    // Polls for events without sleeping for up to kSpin; the number of events, 0 if none came.
    int Spin(epoll_event* events, int size);
    int WaitMilliseconds(CTransfer::TimePoint now) const;
    uint16_t BlockSizeCapFor(const sockaddr_in& peer) const;
    // Ends the transfer on socket, counting it when it completed, and gives its place back.
    void CloseSession(int socket);

    // How long the loop polls before it sleeps, when a transfer's round trip is shorter than that.
    static constexpr std::chrono::microseconds kSpin{100};
    static uint64_t PeerKey(const sockaddr_in& peer);

    const RelaydConfig& config_;
    const CServedDirectory& directory_;
    CTransferAdmission& admission_;
    std::atomic<uint64_t>& completed_;
    int requestSocket_ = -1;
    int epoll_ = -1;
    int wake_ = -1;
    std::unordered_map<int, Session> sessions_; // by transfer socket
    std::map<uint64_t, int> byPeer_;            // peer address and port -> transfer socket
    std::atomic<size_t> active_{0};             // sessions_.size(), for other threads
};

} // namespace rf
