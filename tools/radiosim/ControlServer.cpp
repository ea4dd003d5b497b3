#include "ControlServer.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace rf {
namespace {

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 5000) <= 0) {
                return false; // a client that stops reading is dropped, not waited for
            }
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

ControlServer::~ControlServer() {
    for (const auto& [fd, pending] : clients_) {
        ::close(fd);
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(path_.c_str());
    }
}

bool ControlServer::Open(const std::string& path, std::string& error) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        error = "control socket path too long";
        return false;
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    ::unlink(path.c_str());
    if (listenFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 16) != 0) {
        error = "control socket " + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    return true;
}

int ControlServer::Accept() {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
        clients_[fd];
    }
    return fd;
}

bool ControlServer::Serve(int fd, const Handler& handler) {
    char buffer[4096];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return true;
    }
    std::string& pending = clients_[fd];
    bool alive = n > 0 && pending.size() < 65536;
    if (alive) {
        pending.append(buffer, static_cast<size_t>(n));
    }
    for (size_t end; alive && (end = pending.find('\n')) != std::string::npos;) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        alive = WriteAll(fd, handler(line) + "\n");
    }
    if (!alive) {
        clients_.erase(fd);
        ::close(fd);
    }
    return alive;
}

} // namespace rf
