#pragma once

namespace rf {

// The timing of the wait dialog: ticks of 500 ms, and optional searches near its end, 3 s apart, the last
// one on the final tick. Plain computation, driven by the dialog's timer.
class WaitSchedule {
public:
    WaitSchedule(int seconds, bool search, int searchCount);

    struct Step {
        bool sendLeave = false; // before the first search: announced devices are told to leave
        bool search = false;
        bool close = false;
        int progress = 0;
    };
    // One timer tick.
    Step Tick();

    int Total() const { return total_; }
    int CurrentTick() const { return tick_; }

private:
    int tick_ = 1;
    int total_;
    bool search_;
    int searchCount_;
    int remaining_;
};

} // namespace rf
