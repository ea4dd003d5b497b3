#pragma once

namespace rf {

// The status page's search: a broadcast at once and then every 3 seconds, ending by itself after 30
// one-second ticks (ten broadcasts in all) or when the user stops it.
class SearchCycle {
public:
    static constexpr int kLengthTicks = 30;
    static constexpr int kSearchEveryTicks = 3;

    struct Step {
        bool search = false; // broadcast again and show the first page
        bool finished = false;
    };

    void Begin() {
        running_ = true;
        ticks_ = 0;
    }
    void End() { running_ = false; }
    // One second of a running cycle.
    Step Tick() {
        if (!running_) {
            return {};
        }
        ++ticks_;
        if (ticks_ >= kLengthTicks) {
            running_ = false;
            return {false, true};
        }
        return {ticks_ % kSearchEveryTicks == 0, false};
    }
    bool Running() const { return running_; }
    int Ticks() const { return ticks_; }

private:
    bool running_ = false;
    int ticks_ = 0;
};

} // namespace rf
