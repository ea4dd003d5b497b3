#pragma once

#include "relayd/RelaydConfig.h"
#include "relayd/ServedDirectory.h"
#include "relayd/TftpRequest.h"
#include "relayd/Transfer.h"

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

// The read-only TFTP server: one event loop over the request socket and one socket per transfer.
class CRelaydServer {
public:
    explicit CRelaydServer(RelaydConfig config);
    ~CRelaydServer();
    CRelaydServer(const CRelaydServer&) = delete;
    CRelaydServer& operator=(const CRelaydServer&) = delete;

    // Opens the directory and binds the request port. False with a reason a user can act on.
    bool Start(std::string& error);
    // The bound request port (the configured one, or the one the system chose for port 0).
    uint16_t Port() const { return port_; }
    // Serves until stop is requested or stopFd (for example a signalfd) becomes readable.
    void Run(std::stop_token stop, int stopFd = -1);

    size_t ActiveTransfers() const { return active_.load(); }
    uint64_t TransfersCompleted() const { return completed_.load(); }

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
    void HandleTransferPackets(Session& session, CTransfer::TimePoint now, bool drain);
    void StartTransfer(const CServedDirectory::OpenedFile& file, const tftp::RequestedOptions& options,
                       const sockaddr_in& peer, const in_addr& local, CTransfer::TimePoint now);
    void Refuse(const sockaddr_in& peer, uint16_t code, std::string_view message);
    void ExpireAndReap(CTransfer::TimePoint now);
    bool AnswerExpectedSoon() const;
    // Polls for events without sleeping for up to kSpin; the number of events, 0 if none came.
    int Spin(epoll_event* events, int size);
    int WaitMilliseconds(CTransfer::TimePoint now) const;
    size_t TransfersFrom(in_addr_t address) const;
    uint16_t BlockSizeCapFor(const sockaddr_in& peer) const;
    void CloseSession(int socket);

    // How long the loop polls before it sleeps, when a transfer's round trip is shorter than that.
    static constexpr std::chrono::microseconds kSpin{100};
    static uint64_t PeerKey(const sockaddr_in& peer);

    RelaydConfig config_;
    CServedDirectory directory_;
    int requestSocket_ = -1;
    int epoll_ = -1;
    int wake_ = -1;
    uint16_t port_ = 0;
    std::unordered_map<int, Session> sessions_; // by transfer socket
    std::map<uint64_t, int> byPeer_;            // peer address and port -> transfer socket
    std::atomic<size_t> active_{0};
    std::atomic<uint64_t> completed_{0};
};

} // namespace rf
