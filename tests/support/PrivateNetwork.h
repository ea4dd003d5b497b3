#pragma once

#include "support/LabRequirement.h"

#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rf::test {

// Moves the calling thread (and every thread it starts later) into a network namespace of its own with
// only the loopback interface, up. False when that is not permitted (not root).
inline bool EnterPrivateNetwork() {
    if (::unshare(CLONE_NEWNET) != 0) {
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return up;
}

} // namespace rf::test

// For a test that starts the engine or the program, whose searches must never leave this machine: moves
// the test into a network namespace of its own first, or skips it (fails it when the lab is required).
#define ENTER_PRIVATE_NETWORK_OR_SKIP()                                                                      \
    SKIP_LAB_UNLESS(::rf::test::EnterPrivateNetwork(), "needs root for a network namespace of its own")
