#include "relayd/RelaydControl.h"

#include "relayd/AllowedAddresses.h"
#include "relayd/RelaydServer.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace rf {

namespace {

constexpr size_t kLongestCommand = size_t{64} * 1024;

} // namespace

CRelaydControl::CRelaydControl(int commandFd, int statusFd) : commandFd_(commandFd), statusFd_(statusFd) {}

void CRelaydControl::Send(const RelaydMessage& message) {
    const std::string line = message.Format();
    const std::lock_guard lock(writing_);
    for (size_t done = 0; done < line.size();) {
        const ssize_t n = ::write(statusFd_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        done += static_cast<size_t>(n);
    }
}

void CRelaydControl::Serve(CRelaydServer& server, int stopFd) {
    std::string pending;
    std::array<char, 4096> buffer{};
    while (true) {
        std::array<pollfd, 2> fds{{{commandFd_, POLLIN, 0}, {stopFd, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
        const ssize_t n = ::read(commandFd_, buffer.data(), buffer.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        pending.append(buffer.data(), static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            Carry(server, pending.substr(0, end));
        }
        if (pending.size() > kLongestCommand) {
            pending.clear();
        }
    }
}

void CRelaydControl::Carry(CRelaydServer& server, const std::string& line) {
    const auto message = RelaydMessage::Parse(line);
    const auto addresses = message && message->kind == RelaydMessage::Kind::Allow
                               ? CAllowedAddresses::Parse(message->addresses)
                               : std::nullopt;
    if (!addresses) {
        std::fprintf(stderr, "Relayd: command ignored: %s\n", line.c_str());
        return;
    }
    server.Allow(*addresses);
}

} // namespace rf
