#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <span>
#include <sys/socket.h>
#include <unistd.h>

namespace rf::relayd {

// Wakes whoever waits on the eventfd. A write that fails finds the counter already set: the wake stands.
inline void Signal(int eventFd) {
    const uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(eventFd, &one, sizeof one);
}

// Takes the wakes counted on a non-blocking eventfd, if any.
inline void Clear(int eventFd) {
    uint64_t count = 0;
    [[maybe_unused]] const auto n = ::read(eventFd, &count, sizeof count);
}

inline void SendTo(int socket, const sockaddr_in& peer, std::span<const uint8_t> packet) {
    // A send that fails is a packet lost; the retransmission timer covers it.
    ::sendto(socket, packet.data(), packet.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&peer),
             sizeof peer);
}

} // namespace rf::relayd
