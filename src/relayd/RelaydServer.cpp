#include "relayd/RelaydServer.h"

#include "relayd/TftpPacket.h"
#include "relayd/TftpRequest.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rf {

namespace {

constexpr size_t kReceiveBuffer = 65536;

bool SamePeer(const sockaddr_in& a, const sockaddr_in& b) {
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

void AddToEpoll(int epoll, int fd) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
}

void SendTo(int socket, const sockaddr_in& peer, std::span<const uint8_t> packet) {
    // A send that fails is a packet lost; the retransmission timer covers it.
    ::sendto(socket, packet.data(), packet.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&peer),
             sizeof peer);
}

// The packets of a window in one system call where the kernel takes them all.
void SendAll(int socket, const sockaddr_in& peer, std::span<const std::span<const uint8_t>> packets) {
    constexpr size_t kChunk = 64;
    std::array<mmsghdr, kChunk> messages{};
    std::array<iovec, kChunk> vectors{};
    for (size_t done = 0; done < packets.size();) {
        const size_t count = std::min(kChunk, packets.size() - done);
        for (size_t i = 0; i < count; ++i) {
            const auto packet = packets[done + i];
            vectors[i] = {const_cast<uint8_t*>(packet.data()), packet.size()};
            messages[i] = {};
            messages[i].msg_hdr.msg_name = const_cast<sockaddr_in*>(&peer);
            messages[i].msg_hdr.msg_namelen = sizeof peer;
            messages[i].msg_hdr.msg_iov = &vectors[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        const int sent = ::sendmmsg(socket, messages.data(), static_cast<unsigned>(count), MSG_NOSIGNAL);
        // A packet the kernel refuses is lost, like one the network drops: skip it and go on.
        done += sent > 0 ? static_cast<size_t>(sent) : 1;
    }
}

std::string Describe(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

} // namespace

CRelaydServer::CRelaydServer(RelaydConfig config) : config_(std::move(config)) {}

CRelaydServer::~CRelaydServer() {
    while (!sessions_.empty()) {
        CloseSession(sessions_.begin()->first);
    }
    for (const int fd : {requestSocket_, epoll_, wake_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

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
    requestSocket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (requestSocket_ < 0 || ::setsockopt(requestSocket_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
        error = Describe("cannot create the request socket", errno);
        return false;
    }
    if (::bind(requestSocket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int bindError = errno;
        const std::string port = "UDP port " + std::to_string(config_.port);
        if (bindError == EADDRINUSE) {
            error = port + " is already in use by another program";
        } else if (bindError == EACCES) {
            error = "no permission to bind " + port +
                    ": run as root, or give the program the capability cap_net_bind_service";
        } else {
            error = Describe("cannot bind " + port, bindError);
        }
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(requestSocket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);

    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || wake_ < 0) {
        error = Describe("cannot set up the event loop", errno);
        return false;
    }
    AddToEpoll(epoll_, requestSocket_);
    AddToEpoll(epoll_, wake_);
    return true;
}

void CRelaydServer::Run(std::stop_token stop, int stopFd) {
    std::stop_callback wake(stop, [this] {
        const uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(wake_, &one, sizeof one);
    });
    if (stopFd >= 0) {
        AddToEpoll(epoll_, stopFd);
    }
    std::array<epoll_event, 64> events{};
    while (!stop.stop_requested()) {
        const int wait = WaitMilliseconds(CTransfer::Clock::now());
        int count =
            wait != 0 && AnswerExpectedSoon() ? Spin(events.data(), static_cast<int>(events.size())) : 0;
        if (count == 0) {
            count = ::epoll_wait(epoll_, events.data(), static_cast<int>(events.size()), wait);
        }
        const auto now = CTransfer::Clock::now();
        for (int i = 0; i < count; ++i) {
            const int fd = events[static_cast<size_t>(i)].data.fd;
            if (fd == wake_ || fd == stopFd) {
                return;
            }
            if (fd == requestSocket_) {
                HandleRequests(now);
            } else if (const auto it = sessions_.find(fd); it != sessions_.end()) {
                HandleTransferPackets(it->second, now, false);
            }
        }
        ExpireAndReap(CTransfer::Clock::now());
    }
}

bool CRelaydServer::AnswerExpectedSoon() const {
    return std::any_of(sessions_.begin(), sessions_.end(),
                       [](const auto& entry) { return entry.second.transfer->AnswerExpectedWithin(kSpin); });
}

// On a fast link the next acknowledgement comes back within microseconds: polling for it costs less
// than going to sleep and being woken, which is most of a lock-step round trip there. Yielding in between
// leaves the processor to whatever else is ready to run, the clients on this machine among them.
int CRelaydServer::Spin(epoll_event* events, int size) {
    const auto until = CTransfer::Clock::now() + kSpin;
    do {
        const int count = ::epoll_wait(epoll_, events, size, 0);
        if (count != 0) {
            return count;
        }
        ::sched_yield();
    } while (CTransfer::Clock::now() < until);
    return 0;
}

int CRelaydServer::WaitMilliseconds(CTransfer::TimePoint now) const {
    auto earliest = CTransfer::TimePoint::max();
    for (const auto& [fd, session] : sessions_) {
        earliest = std::min(earliest, session.transfer->Deadline());
    }
    if (earliest == CTransfer::TimePoint::max()) {
        return -1;
    }
    if (earliest <= now) {
        return 0;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(earliest - now).count();
    return static_cast<int>(std::min<int64_t>(wait, 60000));
}

void CRelaydServer::HandleRequests(CTransfer::TimePoint now) {
    std::array<uint8_t, kReceiveBuffer> buffer{};
    std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    for (;;) {
        sockaddr_in peer{};
        iovec io{buffer.data(), buffer.size()};
        msghdr message{};
        message.msg_name = &peer;
        message.msg_namelen = sizeof peer;
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        const ssize_t n = ::recvmsg(requestSocket_, &message, MSG_DONTWAIT);
        if (n < 0) {
            return;
        }
        in_addr local{};
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info{};
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                local = info.ipi_spec_dst;
            }
        }
        if (message.msg_namelen == sizeof peer && peer.sin_family == AF_INET && peer.sin_port != 0) {
            HandleRequest(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(n)), peer, local, now);
        }
    }
}

void CRelaydServer::HandleRequest(std::span<const uint8_t> packet, const sockaddr_in& peer,
                                  const in_addr& local, CTransfer::TimePoint now) {
    if (const auto it = byPeer_.find(PeerKey(peer)); it != byPeer_.end()) {
        Session& session = sessions_.at(it->second);
        // The peer's last acknowledgement may be waiting behind this request: take it first.
        HandleTransferPackets(session, now, true);
        const bool same = session.request.size() == packet.size() &&
                          std::equal(packet.begin(), packet.end(), session.request.begin());
        if (same && session.transfer->Running()) {
            session.transfer->OnRepeatedRequest(now);
            return;
        }
        // The peer has moved on to a new request from the same port.
        if (session.transfer->GetState() == CTransfer::State::Completed) {
            ++completed_;
        }
        CloseSession(session.socket);
    }
    const auto request = tftp::TftpRequest::Parse(packet);
    if (request.status == tftp::TftpRequest::Status::NotARequest) {
        if (packet.size() < 2 || tftp::ReadU16(packet, 0) != tftp::kError) {
            Refuse(peer, tftp::kIllegalOperation, "Illegal TFTP operation");
        }
        return;
    }
    if (!request.Ok()) {
        Refuse(peer, tftp::kIllegalOperation, "Malformed request");
        return;
    }
    if (request.opcode == tftp::kWriteRequest) {
        Refuse(peer, tftp::kAccessViolation, "Read-only server: writing is not allowed");
        return;
    }
    if (!request.ModeIsOctet()) {
        Refuse(peer, tftp::kIllegalOperation, "Only octet mode is served");
        return;
    }
    if (sessions_.size() >= config_.maxTransfers ||
        TransfersFrom(peer.sin_addr.s_addr) >= config_.maxTransfersPerAddress) {
        Refuse(peer, tftp::kNotDefined, "Server busy, try again later");
        return;
    }
    const auto file = directory_.OpenFile(request.fileName);
    if (!file.Ok()) {
        Refuse(peer, file.error, file.message);
        return;
    }
    StartTransfer(file, request.options, peer, local, now);
    if (const auto it = byPeer_.find(PeerKey(peer)); it != byPeer_.end()) {
        sessions_.at(it->second).request.assign(packet.begin(), packet.end());
    }
}

void CRelaydServer::StartTransfer(const CServedDirectory::OpenedFile& file,
                                  const tftp::RequestedOptions& options, const sockaddr_in& peer,
                                  const in_addr& local, CTransfer::TimePoint now) {
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr = local;
    if (socket < 0 || ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (socket >= 0) {
            ::close(socket);
        }
        ::close(file.fd);
        Refuse(peer, tftp::kNotDefined, "Server out of resources");
        return;
    }
    // Sends block while the socket buffer drains, so a whole window goes out; reads never block.
    const int sendBuffer = 1 << 20;
    ::setsockopt(socket, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    const uint16_t cap = config_.blockSizeCap != 0 ? config_.blockSizeCap : BlockSizeCapFor(peer);
    const auto granted = tftp::TransferOptions::Negotiate(options, file.size, cap);
    auto transfer = std::make_unique<CTransfer>(
        file.fd, file.size, granted,
        [socket, peer](std::span<const uint8_t> packet) { SendTo(socket, peer, packet); }, config_.giveUp);
    transfer->SetBatchSender([socket, peer](std::span<const std::span<const uint8_t>> packets) {
        SendAll(socket, peer, packets);
    });
    Session& session = sessions_[socket];
    session.socket = socket;
    session.peer = peer;
    session.transfer = std::move(transfer);
    byPeer_[PeerKey(peer)] = socket;
    AddToEpoll(epoll_, socket);
    active_ = sessions_.size();
    session.transfer->Start(now);
}

void CRelaydServer::HandleTransferPackets(Session& session, CTransfer::TimePoint now, bool drain) {
    std::array<uint8_t, 1024> buffer{}; // acknowledgements and errors are small
    // Without drain one packet is taken; the level-triggered loop comes back for more, which costs less
    // than a read that finds nothing.
    for (bool more = true; more; more = drain) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(session.socket, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) {
            return;
        }
        if (!SamePeer(from, session.peer)) {
            const bool isError = n >= 2 && tftp::ReadU16(buffer, 0) == tftp::kError;
            if (!isError) {
                SendTo(session.socket, from,
                       tftp::BuildError(tftp::kUnknownTransferId, "Unknown transfer ID"));
            }
            continue;
        }
        session.transfer->OnPacket(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(n)), now);
    }
}

void CRelaydServer::ExpireAndReap(CTransfer::TimePoint now) {
    std::vector<int> finished;
    for (auto& [fd, session] : sessions_) {
        if (session.transfer->Deadline() <= now) {
            session.transfer->OnTimer(now);
        }
        if (!session.transfer->Running()) {
            finished.push_back(fd);
        }
    }
    for (const int fd : finished) {
        if (sessions_.at(fd).transfer->GetState() == CTransfer::State::Completed) {
            ++completed_;
        }
        CloseSession(fd);
    }
    active_ = sessions_.size();
}

void CRelaydServer::CloseSession(int socket) {
    const auto it = sessions_.find(socket);
    if (it == sessions_.end()) {
        return;
    }
    byPeer_.erase(PeerKey(it->second.peer));
    if (epoll_ >= 0) {
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, socket, nullptr);
    }
    ::close(socket);
    sessions_.erase(it);
}

void CRelaydServer::Refuse(const sockaddr_in& peer, uint16_t code, std::string_view message) {
    SendTo(requestSocket_, peer, tftp::BuildError(static_cast<tftp::ErrorCode>(code), message));
}

size_t CRelaydServer::TransfersFrom(in_addr_t address) const {
    size_t count = 0;
    for (const auto& [fd, session] : sessions_) {
        count += session.peer.sin_addr.s_addr == address ? 1 : 0;
    }
    return count;
}

uint16_t CRelaydServer::BlockSizeCapFor(const sockaddr_in& peer) const {
    // The kernel knows the MTU of the route to the peer once a socket is connected there.
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int mtu = 1500;
    if (probe >= 0) {
        socklen_t length = sizeof mtu;
        if (::connect(probe, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0 ||
            ::getsockopt(probe, IPPROTO_IP, IP_MTU, &mtu, &length) != 0) {
            mtu = 1500;
        }
        ::close(probe);
    }
    const int payload = mtu - static_cast<int>(tftp::kIpUdpOverhead + tftp::kHeaderSize);
    return static_cast<uint16_t>(std::clamp<int>(payload, tftp::kDefaultBlockSize, tftp::kMaxBlockSize));
}

uint64_t CRelaydServer::PeerKey(const sockaddr_in& peer) {
    return (static_cast<uint64_t>(ntohl(peer.sin_addr.s_addr)) << 16) | ntohs(peer.sin_port);
}

} // namespace rf
