#pragma once

#include <algorithm>

namespace rf {

// The status page's search: a broadcast at once, then every 3 seconds; it ends by itself after 30 seconds
// or when the user stops it. The list is shown again with every 3-second search.
//
// In the first 2 seconds it also searches again every half second while the last search left doubt:
// it brought new devices, or some known device did not answer it (a lost search or answer). Over a lossy
// link one search in five reaches a device or comes back from it in vain, and with a search every 3
// seconds a few devices of a thousand stayed missing for 9 seconds and more. Once every known device
// answered a search and none was new, just the 3-second searches remain: a network without loss gets one
// extra broadcast.
class SearchCycle {
public:
    static constexpr int kTickMs = 500;
    static constexpr int kLengthSeconds = 30;
    static constexpr int kLengthTicks = kLengthSeconds * 1000 / kTickMs;
    static constexpr int kSearchEveryTicks = 3000 / kTickMs;
    static constexpr int kEarlyTicks = 2000 / kTickMs; // ticks on which an early search may go out

    struct Step {
        bool search = false; // broadcast again
        bool reload = false; // show the first page
        bool finished = false;
    };

    // What the engine has heard so far: the devices it knows and the answers to searches it has had.
    struct Heard {
        int devices = 0;
        long answers = 0;
    };

    // Called right after the first search of the cycle went out.
    void Begin(Heard heard) {
        running_ = true;
        early_ = true;
        ticks_ = 0;
        atSearch_ = heard;
    }
    void End() { running_ = false; }
    // One tick (kTickMs) of a running cycle.
    Step Tick(Heard heard) {
        if (!running_) {
            return {};
        }
        ++ticks_;
        if (ticks_ >= kLengthTicks) {
            running_ = false;
            return {.finished = true};
        }
        const bool regular = ticks_ % kSearchEveryTicks == 0;
        const bool someSilent = heard.answers - atSearch_.answers < std::max(heard.devices, 1);
        early_ = early_ && ticks_ <= kEarlyTicks && (heard.devices > atSearch_.devices || someSilent);
        const bool search = regular || early_;
        if (search) {
            atSearch_ = heard;
        }
        return {.search = search, .reload = regular};
    }
    bool Running() const { return running_; }
    int Ticks() const { return ticks_; }

private:
    bool running_ = false;
    bool early_ = false;
    int ticks_ = 0;
    Heard atSearch_; // when the last search went out
};

} // namespace rf
