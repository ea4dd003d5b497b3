#pragma once

// A lab for tests: the radios' and the PC's network namespaces joined by veth pairs, with radiosim
// serving the radios, built by scripts/lab under a name unique to this test and torn down in the
// destructor. Tests skip (with Reason()) when the lab cannot be built, for instance without root: see
// SKIP_WITHOUT_LAB.
#include "support/LabRequirement.h"
#include "support/Shell.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace rf::test {

struct LabOptions {
    int radios = 4;
    int subnets = 1;
    std::vector<std::string> simArgs; // extra radiosim options
};

class Lab {
public:
    explicit Lab(const LabOptions& options) : name_(UniqueName()) {
        if (::geteuid() != 0) {
            reason_ = "needs root to build a network lab";
            return;
        }
        std::string command = std::string(RF_SOURCE_DIR) + "/scripts/lab up " +
                              std::to_string(options.radios) + " --name " + name_ + " --subnets " +
                              std::to_string(options.subnets);
#ifdef RF_RADIOSIM
        command += " --sim " + ShellQuote(RF_RADIOSIM);
#endif
        command += " --";
        for (const std::string& arg : options.simArgs) {
            command += " " + ShellQuote(arg);
        }
        const ShellResult r = RunShell(command + " 2>&1");
        up_ = r.status == 0;
        if (!up_) {
            reason_ = "lab did not come up: " + r.output;
            Down();
        }
    }
    ~Lab() {
        Down();
    }
    Lab(const Lab&) = delete;
    Lab& operator=(const Lab&) = delete;

    bool Ok() const {
        return up_;
    }
    const std::string& Reason() const {
        return reason_;
    }
    const std::string& Name() const {
        return name_;
    }
    std::string PcNamespace() const {
        return name_ + "-pc";
    }
    std::string RadiosNamespace() const {
        return name_ + "-radios";
    }

    // The PC's address on subnet i, and that subnet's broadcast address.
    static std::string PcAddress(int subnet) {
        return "10." + std::to_string(99 - subnet) + ".255.254";
    }
    static std::string Broadcast(int subnet) {
        return "10." + std::to_string(99 - subnet) + ".255.255";
    }

    // Runs a command in the PC's namespace.
    ShellResult RunInPc(const std::string& command) const {
        return RunShell("ip netns exec " + PcNamespace() + " " + command + " 2>&1");
    }

    // Asks the simulator (see radiosim --control); the answer without its closing empty line.
    std::string Control(const std::string& request) const {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = "/run/rflab/" + name_ + "/control.sock";
        std::memcpy(address.sun_path, path.c_str(), path.size());
        std::string answer;
        if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const std::string line = request + "\n";
            if (::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
                char buffer[65536];
                ssize_t n = 0;
                while (answer.find("\n\n") == std::string::npos &&
                       (n = ::read(fd, buffer, sizeof buffer)) > 0) {
                    answer.append(buffer, static_cast<size_t>(n));
                }
            }
        }
        if (fd >= 0) {
            ::close(fd);
        }
        const auto end = answer.find("\n\n");
        return end == std::string::npos ? answer : answer.substr(0, end + 1);
    }

    // One JSON line per radio, as the simulator holds it now.
    std::vector<std::string> Radios() const {
        std::vector<std::string> lines;
        const std::string all = Control("list");
        for (size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(all.substr(start, end - start));
        }
        return lines;
    }

    // A UDP socket that lives in the PC's namespace, bound to address:port (-1 on failure). Only the
    // thread that creates it enters the namespace; the socket stays there wherever it is used.
    int OpenUdpInPc(const std::string& address, uint16_t port) const {
        return OpenUdpIn(PcNamespace(), address, port);
    }
    // The same on the radios' side: any address of their subnets, one no radio has too, as another host
    // on the segment would.
    int OpenUdpInRadios(const std::string& address, uint16_t port) const {
        return OpenUdpIn(RadiosNamespace(), address, port);
    }

private:
    static int OpenUdpIn(const std::string& netns, const std::string& address, uint16_t port) {
        int fd = -1;
        std::thread([&] {
            const int ns = ::open(("/run/netns/" + netns).c_str(), O_RDONLY | O_CLOEXEC);
            if (ns < 0 || ::setns(ns, CLONE_NEWNET) != 0) {
                if (ns >= 0) {
                    ::close(ns);
                }
                return;
            }
            ::close(ns);
            fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            const int on = 1;
            ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
            ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
            sockaddr_in local{};
            local.sin_family = AF_INET;
            local.sin_port = htons(port);
            ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
                ::close(fd);
                fd = -1;
            }
        }).join();
        return fd;
    }

    static std::string UniqueName() {
        static std::atomic<int> counter{0};
        return "rl" + std::to_string(::getpid()) + static_cast<char>('a' + counter++ % 26);
    }
    void Down() {
        if (::geteuid() == 0) {
            RunShell(std::string(RF_SOURCE_DIR) + "/scripts/lab down --name " + name_ + " >/dev/null 2>&1");
        }
    }

    std::string name_;
    std::string reason_;
    bool up_ = false;
};

} // namespace rf::test
