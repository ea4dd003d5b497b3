// relayd_delay_line IFACE_A IFACE_B DELAY_US [MAX_SECONDS]: joins two interfaces like a bridge, in user
// space, holding every frame DELAY_US microseconds on its way, so that a benchmark can give a veth path the
// round trip of a real radio link (this kernel has no netem). Runs inside the benchmark's own middle
// namespace until SIGTERM or MAX_SECONDS (default 3600) have passed.
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopping = 0;

constexpr size_t kMaxQueued = 200000; // frames held per direction; beyond that they are dropped

struct Frame {
    Clock::time_point due;
    std::vector<uint8_t> bytes;
};

int OpenInterface(const char* name) {
    const int fd = ::socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, htons(ETH_P_ALL));
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(ETH_P_ALL);
    address.sll_ifindex = static_cast<int>(::if_nametoindex(name));
    if (fd < 0 || address.sll_ifindex == 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        std::fprintf(stderr, "delay line: cannot open %s: %s\n", name, std::strerror(errno));
        std::exit(1);
    }
    const int buffer = 16 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    return fd;
}

// Locally sent UDP leaves a veth with its checksum not yet filled in; IPv4 allows none at all (zero).
void ClearUdpChecksum(std::vector<uint8_t>& frame) {
    constexpr size_t kEth = 14;
    if (frame.size() < kEth + 20 || frame[12] != 0x08 || frame[13] != 0x00 || frame[kEth + 9] != 17) {
        return;
    }
    const size_t ipHeader = static_cast<size_t>(frame[kEth] & 0x0F) * 4;
    if (frame.size() >= kEth + ipHeader + 8) {
        frame[kEth + ipHeader + 6] = 0;
        frame[kEth + ipHeader + 7] = 0;
    }
}

void Take(int fd, std::deque<Frame>& queue, std::chrono::microseconds delay) {
    static std::vector<uint8_t> buffer(1 << 16);
    for (;;) {
        sockaddr_ll from{};
        socklen_t length = sizeof from;
        const ssize_t n =
            ::recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) {
            return;
        }
        if (from.sll_pkttype == PACKET_OUTGOING || queue.size() >= kMaxQueued) {
            continue; // our own sends, seen again; or more than we hold
        }
        Frame frame{Clock::now() + delay, std::vector<uint8_t>(buffer.begin(), buffer.begin() + n)};
        ClearUdpChecksum(frame.bytes);
        queue.push_back(std::move(frame));
    }
}

void Release(int fd, std::deque<Frame>& queue, Clock::time_point now) {
    while (!queue.empty() && queue.front().due <= now) {
        ::send(fd, queue.front().bytes.data(), queue.front().bytes.size(), 0);
        queue.pop_front();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s IFACE_A IFACE_B DELAY_US [MAX_SECONDS]\n", argv[0]);
        return 2;
    }
    const std::chrono::microseconds delay(std::atol(argv[3]));
    const auto end = Clock::now() + std::chrono::seconds(argc > 4 ? std::atol(argv[4]) : 3600);
    struct sigaction action {};
    action.sa_handler = [](int) { stopping = 1; };
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);

    const int a = OpenInterface(argv[1]);
    const int b = OpenInterface(argv[2]);
    std::deque<Frame> toB, toA;
    while (!stopping && Clock::now() < end) {
        auto next = Clock::now() + std::chrono::milliseconds(100);
        for (const auto* queue : {&toB, &toA}) {
            if (!queue->empty() && queue->front().due < next) {
                next = queue->front().due;
            }
        }
        const auto wait = std::max(next - Clock::now(), Clock::duration::zero());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
        if (::ppoll(fds, 2, &timeout, nullptr) > 0) {
            if (fds[0].revents & POLLIN) {
                Take(a, toB, delay);
            }
            if (fds[1].revents & POLLIN) {
                Take(b, toA, delay);
            }
        }
        const auto now = Clock::now();
        Release(b, toB, now);
        Release(a, toA, now);
    }
    ::close(a);
    ::close(b);
    return 0;
}
