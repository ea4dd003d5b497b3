#include "relayd/RelaydProcess.h"

#include "relayd/SocketCalls.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace rf {

namespace {

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

CRelaydProcess::CRelaydProcess(COperateSystemInfo& system, Listener listener)
    : system_(system), listener_(std::move(listener)) {}

CRelaydProcess::~CRelaydProcess() {
    End();
}

bool CRelaydProcess::Start(const std::string& program, const std::vector<std::string>& arguments) {
    std::array<int, 2> input{-1, -1};
    std::array<int, 2> output{-1, -1};
    // The input is a socket so that a write to a server that is gone fails instead of raising SIGPIPE.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input.data()) != 0 ||
        ::pipe2(output.data(), O_CLOEXEC) != 0) {
        for (int fd : {input[0], input[1], output[0], output[1]}) {
            CloseFd(fd);
        }
        return false;
    }
    COperateSystemInfo::StandardStreams streams{.input = input[0], .output = output[1]};
    const bool started = system_.RunElevated(program, arguments, false, &pid_, &streams);
    ::close(input[0]);
    ::close(output[1]);
    input_ = input[1];
    pidfd_ = streams.pidfd;
    reader_ = std::jthread([this, fd = output[0]](const std::stop_token& stop) { Read(stop, fd); });
    if (!started) {
        End();
    }
    return started;
}

bool CRelaydProcess::Send(const RelaydMessage& command) {
    const std::string line = command.Format();
    for (size_t done = 0; input_ >= 0 && done < line.size();) {
        const ssize_t n = ::send(input_, line.data() + done, line.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return input_ >= 0;
}

void CRelaydProcess::End() {
    if (input_ < 0 && pidfd_ < 0) {
        return;
    }
    CloseFd(input_); // the server's own signal to leave
    if (!WaitExit(kLeaveTime)) {
        // Still there: pkexec asking for a password, or a server that does not read its input.
        Signal(SIGTERM);
        if (!WaitExit(kLeaveTime)) {
            Signal(SIGKILL);
            WaitExit(kLeaveTime);
        }
    }
    system_.ChildRuns(pid_); // reaps it
    CloseFd(pidfd_);
    if (reader_.joinable()) {
        reader_.request_stop();
        reader_.join();
    }
}

bool CRelaydProcess::Runs() const {
    pollfd fd{pidfd_, POLLIN, 0};
    return pidfd_ >= 0 && ::poll(&fd, 1, 0) == 0;
}

bool CRelaydProcess::WaitExit(std::chrono::milliseconds time) const {
    pollfd fd{pidfd_, POLLIN, 0};
    return pidfd_ < 0 || ::poll(&fd, 1, static_cast<int>(time.count())) != 0;
}

void CRelaydProcess::Signal(int signal) const {
    ::syscall(SYS_pidfd_send_signal, pidfd_, signal, nullptr, 0);
}

bool CRelaydProcess::Started() const {
    const std::lock_guard lock(mutex_);
    return started_;
}

std::optional<uint16_t> CRelaydProcess::Port() const {
    const std::lock_guard lock(mutex_);
    return port_;
}

std::map<std::string, RelaydMessage> CRelaydProcess::Transfers() const {
    const std::lock_guard lock(mutex_);
    return transfers_;
}

// Reads status lines until the server closes its output or the reader is stopped.
void CRelaydProcess::Read(const std::stop_token& stop, int statusFd) {
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    {
        // Gone before wake is closed: its destructor waits for a stop being requested on another thread.
        const std::stop_callback waking(stop, [wake] { relayd::Signal(wake); });
        ReadLines(stop, statusFd, wake);
    }
    ::close(statusFd);
    if (wake >= 0) {
        ::close(wake);
    }
}

void CRelaydProcess::ReadLines(const std::stop_token& stop, int statusFd, int wake) {
    std::string pending;
    std::array<char, 4096> buffer{};
    while (!stop.stop_requested()) {
        std::array<pollfd, 2> fds{{{statusFd, POLLIN, 0}, {wake, POLLIN, 0}}};
        if (::poll(fds.data(), wake >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) {
            return;
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        const ssize_t n = ::read(statusFd, buffer.data(), buffer.size());
        if (n <= 0 && !(n < 0 && errno == EINTR)) {
            return;
        }
        pending.append(buffer.data(), static_cast<size_t>(std::max<ssize_t>(n, 0)));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            if (const auto message = RelaydMessage::Parse(pending.substr(0, end))) {
                Take(*message);
            }
        }
    }
}

void CRelaydProcess::Take(const RelaydMessage& message) {
    {
        const std::lock_guard lock(mutex_);
        switch (message.kind) {
        case RelaydMessage::Kind::Started:
            started_ = true;
            break;
        case RelaydMessage::Kind::Listening:
            port_ = message.port;
            break;
        case RelaydMessage::Kind::Progress:
        case RelaydMessage::Kind::Done:
        case RelaydMessage::Kind::Failed:
            transfers_[message.address] = message;
            break;
        default:
            break;
        }
    }
    if (listener_) {
        listener_(message);
    }
}

} // namespace rf
