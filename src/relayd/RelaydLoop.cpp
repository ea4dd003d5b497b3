#include "relayd/RelaydLoop.h"

#include "relayd/SocketCalls.h"
#include "relayd/TftpPacket.h"
#include "relayd/TftpRequest.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cstring>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rf {

namespace {

using relayd::Clear;
using relayd::SendTo;
using relayd::Signal;

constexpr size_t kReceiveBuffer = 65536;

void AddToEpoll(int epoll, int fd) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
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

std::string ReasonText(CTransfer::State state) {
    switch (state) {
    case CTransfer::State::Running:
        return "server stopped";
    case CTransfer::State::Completed:
        return {};
    case CTransfer::State::PeerError:
        return "client gave up";
    case CTransfer::State::TimedOut:
        return "client went silent";
    case CTransfer::State::Unanswered:
        return "client never acknowledged";
    case CTransfer::State::ReadFailed:
        return "file read error";
    }
    return {};
}

} // namespace

CRelaydLoop::CRelaydLoop(const RelaydConfig& config, const CServedDirectory& directory,
                         CTransferAdmission& admission, const CAllowedAddresses& allowed,
                         const StatusSink& status, std::atomic<uint64_t>& completed, int requestSocket)
    : config_(config), directory_(directory), admission_(admission), allowed_(allowed), status_(status),
      completed_(completed), requestSocket_(requestSocket) {}

CRelaydLoop::~CRelaydLoop() {
    workers_.clear();
    for (const int fd : {requestSocket_, epoll_, wake_, ended_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool CRelaydLoop::Open() {
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ended_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || wake_ < 0 || ended_ < 0) {
        return false;
    }
    AddToEpoll(epoll_, requestSocket_);
    AddToEpoll(epoll_, wake_);
    AddToEpoll(epoll_, ended_);
    return true;
}

void CRelaydLoop::Run(std::stop_token stop, int stopFd) {
    std::stop_callback wake(stop, [this] { Signal(wake_); });
    if (stopFd >= 0) {
        AddToEpoll(epoll_, stopFd);
    }
    std::array<epoll_event, 8> events{};
    bool running = true;
    while (running && !stop.stop_requested()) {
        const int count = ::epoll_wait(epoll_, events.data(), static_cast<int>(events.size()), -1);
        for (int i = 0; i < count; ++i) {
            const int fd = events[static_cast<size_t>(i)].data.fd;
            if (fd == wake_ || fd == stopFd) {
                running = false;
                break;
            }
            if (fd == requestSocket_) {
                HandleRequests(CTransfer::Clock::now());
            } else if (fd == ended_) {
                Clear(ended_);
                Reap();
            }
        }
    }
    for (auto& [key, worker] : workers_) {
        worker->Stop();
    }
}

void CRelaydLoop::HandleRequests(CTransfer::TimePoint now) {
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

bool CRelaydLoop::TakeRepeatedRequest(std::span<const uint8_t> packet, const sockaddr_in& peer,
                                      CTransfer::TimePoint now) {
    const auto it = workers_.find(PeerKey(peer));
    if (it == workers_.end()) {
        return false;
    }
    if (it->second->TakeRepeatedRequest(packet, now)) {
        return true;
    }
    // The peer has moved on to a new request from the same port, or the transfer is over.
    workers_.erase(it);
    return false;
}

void CRelaydLoop::HandleRequest(std::span<const uint8_t> packet, const sockaddr_in& peer,
                                const in_addr& local, CTransfer::TimePoint now) {
    if (TakeRepeatedRequest(packet, peer, now)) {
        return;
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
    if (!allowed_.Allows(peer.sin_addr.s_addr)) {
        Refuse(peer, tftp::kAccessViolation, "Not a device being upgraded");
        return;
    }
    if (!admission_.TryAdmit(peer.sin_addr.s_addr)) {
        Refuse(peer, tftp::kNotDefined, "Server busy, try again later");
        Report({.kind = RelaydMessage::Kind::Failed, .text = "server busy"}, peer, request.fileName);
        return;
    }
    const auto file = directory_.OpenFile(request.fileName);
    if (!file.Ok()) {
        admission_.Release(peer.sin_addr.s_addr);
        Refuse(peer, file.error, file.message);
        Report({.kind = RelaydMessage::Kind::Failed, .text = std::string(file.message)}, peer,
               request.fileName);
        return;
    }
    StartTransfer(file, request.options, request.fileName, packet, peer, local, now);
}

// Called with a place admitted for peer: the transfer keeps it, or it is given back here.
void CRelaydLoop::StartTransfer(const CServedDirectory::OpenedFile& file,
                                const tftp::RequestedOptions& options, const std::string& name,
                                std::span<const uint8_t> request, const sockaddr_in& peer,
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
        admission_.Release(peer.sin_addr.s_addr);
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
    ++active_;
    auto worker = std::make_unique<CTransferWorker>(
        socket, peer, request, std::move(transfer),
        [this, peer, name](CTransfer::State state) { TransferEnded(peer, name, state); },
        [this, peer, name](uint64_t bytes, uint64_t total) {
            Report({.kind = RelaydMessage::Kind::Progress, .bytes = bytes, .total = total}, peer, name);
        });
    if (!worker->Start(now)) {
        worker.reset();
        Refuse(peer, tftp::kNotDefined, "Server out of resources");
        return;
    }
    workers_[PeerKey(peer)] = std::move(worker);
}

void CRelaydLoop::TransferEnded(const sockaddr_in& peer, const std::string& file, CTransfer::State state) {
    const bool completed = state == CTransfer::State::Completed;
    if (completed) {
        ++completed_;
    }
    Report({.kind = completed ? RelaydMessage::Kind::Done : RelaydMessage::Kind::Failed,
            .text = ReasonText(state)},
           peer, file);
    --active_;
    // Given back last, so that a transfer no longer counted as active has been counted as completed.
    admission_.Release(peer.sin_addr.s_addr);
    Signal(ended_);
}

void CRelaydLoop::Reap() {
    std::erase_if(workers_, [](const auto& entry) { return entry.second->Finished(); });
}

void CRelaydLoop::Report(RelaydMessage message, const sockaddr_in& peer, const std::string& file) const {
    if (!status_) {
        return;
    }
    char address[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &peer.sin_addr, address, sizeof address);
    message.address = address;
    message.file = file;
    status_(message);
}

void CRelaydLoop::Refuse(const sockaddr_in& peer, uint16_t code, std::string_view message) {
    SendTo(requestSocket_, peer, tftp::BuildError(static_cast<tftp::ErrorCode>(code), message));
}

uint16_t CRelaydLoop::BlockSizeCapFor(const sockaddr_in& peer) const {
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

uint64_t CRelaydLoop::PeerKey(const sockaddr_in& peer) {
    return (static_cast<uint64_t>(ntohl(peer.sin_addr.s_addr)) << 16) | ntohs(peer.sin_port);
}

} // namespace rf
