#pragma once

#include "ControlServer.h"
#include "FirmwareFetcher.h"
#include "Radio.h"
#include "SimOptions.h"
#include "TimerQueue.h"
#include "UdpEndpoint.h"

#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace rf {

// All radios of a lab in one process: one socket per port, one epoll loop, one timer heap.
class Simulator {
public:
    explicit Simulator(SimOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool Open(std::string& error);
    // Serves until SIGTERM or SIGINT arrives.
    void Run();

private:
    struct Stats {
        uint64_t received = 0, sent = 0, droppedIn = 0, droppedOut = 0, searches = 0, hostile = 0;
        std::map<uint16_t, uint64_t> droppedOutByType;
    };

    int64_t Now() const;
    int WaitMs() const;
    bool Dropped(int percent);
    bool Emit(UdpEndpoint& socket, int segment, const Ipv4Bytes& from, const Ipv4Bytes& to, uint16_t port,
              std::span<const uint8_t> bytes);
    void Drain(UdpEndpoint& socket, bool searches);
    int SegmentOf(int ifindex) const;

    void OnSearch(const Datagram& search);
    void Answer(size_t radio, Ipv4Bytes searcher);
    void FollowSearcher(Radio& radio, const Ipv4Bytes& searcher);
    void Heartbeat(size_t radio, uint32_t generation);
    void SendHostile(int segment, const Ipv4Bytes& searcher);

    void OnCommand(const Datagram& command);
    void Reply(Radio& radio, const Ipv4Bytes& from, const Ipv4Bytes& pc, uint16_t type,
               std::span<const uint8_t> payload);
    void SendScan(Radio& radio, const Ipv4Bytes& pc);

    void StartFetch(Radio& radio);
    void OnFetchFinished(size_t index, uint32_t run, const TftpFetch& fetch);
    void Report(Radio& radio, uint8_t state);
    void ScheduleFlash(Radio& radio);
    void FinishFlash(size_t index, uint32_t run);
    std::string NewVersion(const Radio& radio) const;

    std::string Control(const std::string& request);
    std::string StatsJson() const;
    Radio* FindRadio(const std::string& macText);

    SimOptions options_;
    std::vector<Radio> radios_;
    std::unordered_map<uint64_t, size_t> byMac_;
    UdpEndpoint searchSocket_;
    UdpEndpoint commandSocket_;
    ControlServer control_;
    FirmwareFetcher fetcher_;
    TimerQueue timers_;
    std::mt19937_64 lossRng_;
    std::mt19937_64 jitterRng_;
    int epoll_ = -1;
    int signals_ = -1;
    Stats stats_;
};

} // namespace rf
