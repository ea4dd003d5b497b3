#include "core/PortLock.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace rf {

bool PortLock::Acquire() {
    if (Held()) {
        return true;
    }
    heldElsewhere_ = false;
    error_.clear();
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error_ = std::string("cannot make the port lock's socket: ") + std::strerror(errno);
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t length = std::min(name_.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name_.data(), length); // sun_path[0] = 0: an abstract name
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        const int error = errno;
        ::close(fd);
        heldElsewhere_ = error == EADDRINUSE;
        error_ = std::string("cannot take the port lock: ") + std::strerror(error);
        return false;
    }
    fd_ = fd;
    return true;
}

void PortLock::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace rf
