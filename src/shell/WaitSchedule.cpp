#include "shell/WaitSchedule.h"

#include <algorithm>

namespace rf {

WaitSchedule::WaitSchedule(int seconds, bool search, int searchCount)
    : total_(2 * std::max(seconds, 0)), search_(search), searchCount_(std::max(searchCount, 0)),
      remaining_(std::max(searchCount, 0)) {}

WaitSchedule::Step WaitSchedule::Tick() {
    Step step;
    ++tick_;
    if (search_ && remaining_ > 0 && tick_ == total_ - 6 * remaining_ + 6) {
        step.sendLeave = remaining_ == searchCount_;
        --remaining_;
        step.search = true;
    }
    if (tick_ < total_) {
        step.progress = tick_;
    } else {
        step.progress = total_;
        step.close = true;
    }
    return step;
}

} // namespace rf
