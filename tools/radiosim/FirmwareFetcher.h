#pragma once

#include "TftpFetch.h"

#include "protocol/Wire.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

namespace rf {

// The radios' firmware downloads: one non-blocking UDP socket per fetch, bound to the radio's address and
// driven from the simulator's event loop, so a download never holds up the radios' other work.
class FirmwareFetcher {
public:
    // Called once a fetch has ended, for the radio and upgrade run it was started for.
    using Finished = std::function<void(size_t radio, uint32_t run, const TftpFetch& fetch)>;

    explicit FirmwareFetcher(Finished finished) : finished_(std::move(finished)) {}
    ~FirmwareFetcher();
    FirmwareFetcher(const FirmwareFetcher&) = delete;
    FirmwareFetcher& operator=(const FirmwareFetcher&) = delete;

    // Sends the request; the socket to watch for reading, or -1 when none could be opened. The socket is
    // closed (and so leaves any epoll set) when the fetch ends.
    int Start(size_t radio, uint32_t run, const Ipv4Bytes& from, const Ipv4Bytes& server, uint16_t port,
              const std::string& fileName, const TftpFetch::Options& options, int64_t nowMs);
    bool Owns(int fd) const { return fetches_.count(fd) != 0; }
    void OnReadable(int fd, int64_t nowMs);
    void OnTimers(int64_t nowMs);
    // Milliseconds until the next retransmission is due (0 when overdue), -1 when nothing waits.
    int TimeoutMs(int64_t nowMs) const;
    size_t size() const { return fetches_.size(); }

private:
    struct Fetch {
        size_t radio;
        uint32_t run;
        TftpFetch tftp;
    };

    void EndIfDone(int fd);

    Finished finished_;
    std::unordered_map<int, Fetch> fetches_; // by socket
};

} // namespace rf
