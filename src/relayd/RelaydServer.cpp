#include "relayd/RelaydServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace rf {

namespace {

constexpr size_t kMaxLoops = 16;

std::string Describe(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

std::string DescribeBindError(uint16_t port, int error) {
    const std::string name = "UDP port " + std::to_string(port);
    if (error == EADDRINUSE) {
        return name + " is already in use by another program";
    }
    if (error == EACCES) {
        return "no permission to bind " + name +
               ": run as root, or give the program the capability cap_net_bind_service";
    }
    return Describe("cannot bind " + name, error);
}

void CloseAll(const std::vector<int>& sockets) {
    for (const int socket : sockets) {
        ::close(socket);
    }
}

} // namespace

CRelaydServer::CRelaydServer(RelaydConfig config)
    : config_(std::move(config)), admission_(config_.maxTransfers, config_.maxTransfersPerAddress) {}

CRelaydServer::~CRelaydServer() = default;

bool CRelaydServer::Start(std::string& error) {
    if (!directory_.Open(config_.directory)) {
        error = Describe("cannot serve directory \"" + config_.directory + "\"", errno);
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(config_.port);
    if (::inet_pton(AF_INET, config_.bindAddress.c_str(), &address.sin_addr) != 1) {
        error = "invalid bind address \"" + config_.bindAddress + "\"";
        return false;
    }
    const std::vector<int> sockets = BindRequestSockets(address, WantedLoops(), error);
    if (sockets.empty()) {
        return false;
    }
    for (const int socket : sockets) {
        loops_.push_back(std::make_unique<CRelaydLoop>(config_, directory_, admission_, allowed_, status_,
                                                       completed_, socket));
        if (!loops_.back()->Open()) {
            error = Describe("cannot set up the event loop", errno);
            return false;
        }
    }
    return true;
}

size_t CRelaydServer::WantedLoops() const {
    const size_t wanted = config_.loops != 0 ? config_.loops : std::thread::hardware_concurrency();
    return std::clamp<size_t>(wanted, 1, kMaxLoops);
}

std::vector<int> CRelaydServer::BindRequestSockets(const sockaddr_in& address, size_t count,
                                                   std::string& error) {
    sockaddr_in bound = address;
    // A port held by anyone, also by another of our servers, makes this exclusive bind fail. Closed again
    // right away, it leaves the port to the shared sockets below.
    const int first = BindOne(bound, false, error);
    if (first < 0) {
        return {};
    }
    if (count == 1) {
        port_ = ntohs(bound.sin_port);
        return {first};
    }
    ::close(first);
    std::vector<int> sockets;
    while (sockets.size() < count) {
        const int socket = BindOne(bound, true, error);
        if (socket < 0) {
            CloseAll(sockets);
            return {};
        }
        sockets.push_back(socket);
    }
    port_ = ntohs(bound.sin_port);
    return sockets;
}

// A request socket bound to address; with port 0 address receives the port the system chose.
int CRelaydServer::BindOne(sockaddr_in& address, bool shared, std::string& error) const {
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (socket < 0 || ::setsockopt(socket, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0 ||
        (shared && ::setsockopt(socket, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on) != 0)) {
        error = Describe("cannot create the request socket", errno);
        if (socket >= 0) {
            ::close(socket);
        }
        return -1;
    }
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = DescribeBindError(config_.port, errno);
        ::close(socket);
        return -1;
    }
    socklen_t length = sizeof address;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return socket;
}

void CRelaydServer::Run(std::stop_token stop, int stopFd) {
    std::vector<std::jthread> threads;
    for (size_t i = 1; i < loops_.size(); ++i) {
        threads.emplace_back([this, i, stopFd](std::stop_token own) { loops_[i]->Run(own, stopFd); });
    }
    if (!loops_.empty()) {
        loops_.front()->Run(stop, stopFd);
    }
    threads.clear(); // asks each to stop, then waits for it
}

std::vector<size_t> CRelaydServer::ActiveTransfersByLoop() const {
    std::vector<size_t> counts;
    for (const auto& loop : loops_) {
        counts.push_back(loop->ActiveTransfers());
    }
    return counts;
}

} // namespace rf
