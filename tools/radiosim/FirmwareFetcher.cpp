#include "FirmwareFetcher.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace rf {
namespace {

sockaddr_in Address(const Ipv4Bytes& ip, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    std::memcpy(&address.sin_addr.s_addr, ip.data(), 4);
    return address;
}

int OpenSocket(const Ipv4Bytes& from) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int on = 1;
    const int buffer = 1 << 20; // room for a whole window of blocks
    ::setsockopt(fd, IPPROTO_IP, IP_TRANSPARENT, &on,
                 sizeof on); // a radio that moved outside the lab's route
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    const sockaddr_in local = Address(from, 0);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Packets taken from one socket per ready event, so that one busy download cannot starve the rest.
constexpr int kBudget = 64;

} // namespace

FirmwareFetcher::~FirmwareFetcher() {
    for (const auto& [fd, fetch] : fetches_) {
        ::close(fd);
    }
}

int FirmwareFetcher::Start(size_t radio, uint32_t run, const Ipv4Bytes& from, const Ipv4Bytes& server,
                           uint16_t port, const std::string& fileName, const TftpFetch::Options& options,
                           int64_t nowMs) {
    const int fd = OpenSocket(from);
    if (fd < 0) {
        return -1;
    }
    auto send = [fd, server](uint16_t toPort, std::span<const uint8_t> packet) {
        const sockaddr_in to = Address(server, toPort);
        // A send that fails is a packet lost: the retransmission timer covers it.
        ::sendto(fd, packet.data(), packet.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to);
    };
    auto [it, added] = fetches_.emplace(fd, Fetch{radio, run, TftpFetch(fileName, port, options, send)});
    it->second.tftp.Start(nowMs);
    return fd;
}

void FirmwareFetcher::OnReadable(int fd, int64_t nowMs) {
    const auto it = fetches_.find(fd);
    if (it == fetches_.end()) {
        return;
    }
    static thread_local std::vector<uint8_t> buffer(65536);
    for (int budget = kBudget; budget > 0 && it->second.tftp.Running(); --budget) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) {
            break;
        }
        it->second.tftp.OnDatagram(ntohs(from.sin_port), std::span(buffer.data(), static_cast<size_t>(n)),
                                   nowMs);
    }
    EndIfDone(fd);
}

void FirmwareFetcher::OnTimers(int64_t nowMs) {
    std::vector<int> due;
    for (auto& [fd, fetch] : fetches_) {
        if (fetch.tftp.Deadline() <= nowMs) {
            fetch.tftp.OnTimer(nowMs);
            due.push_back(fd);
        }
    }
    for (const int fd : due) {
        EndIfDone(fd);
    }
}

int FirmwareFetcher::TimeoutMs(int64_t nowMs) const {
    int64_t earliest = INT64_MAX;
    for (const auto& [fd, fetch] : fetches_) {
        earliest = std::min(earliest, fetch.tftp.Deadline());
    }
    if (earliest == INT64_MAX) {
        return -1;
    }
    return static_cast<int>(std::clamp<int64_t>(earliest - nowMs, 0, 60000));
}

void FirmwareFetcher::EndIfDone(int fd) {
    const auto it = fetches_.find(fd);
    if (it == fetches_.end() || it->second.tftp.Running()) {
        return;
    }
    const Fetch fetch = std::move(it->second);
    fetches_.erase(it);
    ::close(fd);
    finished_(fetch.radio, fetch.run, fetch.tftp);
}

} // namespace rf
