#include "shell/WaitSchedule.h"

#include <gtest/gtest.h>
#include <vector>

namespace rf {
namespace {

struct Run {
    std::vector<int> searchTicks;
    std::vector<int> leaveTicks;
    int closeTick = 0;
    int lastProgress = 0;
};

Run RunToEnd(int seconds, bool search, int count) {
    WaitSchedule schedule(seconds, search, count);
    Run run;
    for (int guard = 0; guard < 10000 && run.closeTick == 0; ++guard) {
        const auto step = schedule.Tick();
        const int tick = schedule.CurrentTick();
        if (step.search) {
            run.searchTicks.push_back(tick);
        }
        if (step.sendLeave) {
            run.leaveTicks.push_back(tick);
        }
        if (step.close) {
            run.closeTick = tick;
        }
        run.lastProgress = step.progress;
    }
    return run;
}

TEST(WaitSchedule, SixtySecondsWithThreeSearches) {
    const auto run = RunToEnd(60, true, 3);
    EXPECT_EQ(run.searchTicks, (std::vector<int>{108, 114, 120}));
    EXPECT_EQ(run.leaveTicks, std::vector<int>{108})
        << "announced devices are told to leave before the first";
    EXPECT_EQ(run.closeTick, 120);
    EXPECT_EQ(run.lastProgress, 120);
}

TEST(WaitSchedule, WithoutSearchOnlyShowsProgress) {
    const auto run = RunToEnd(10, false, 3);
    EXPECT_TRUE(run.searchTicks.empty());
    EXPECT_EQ(run.closeTick, 20);
}

TEST(WaitSchedule, MoreSearchesThanFitSkipTheEarlyOnes) {
    // 5 s = 10 ticks; the first of four searches would fall on tick -2.
    const auto run = RunToEnd(5, true, 4);
    EXPECT_TRUE(run.searchTicks.empty()) << "a missed tick is never reached again";
    EXPECT_EQ(run.closeTick, 10);
    const auto one = RunToEnd(1, true, 1);
    EXPECT_EQ(one.searchTicks, std::vector<int>{2});
    EXPECT_EQ(one.closeTick, 2);
}

TEST(WaitSchedule, ZeroSecondsClosesOnTheFirstTick) {
    const auto run = RunToEnd(0, true, 1);
    EXPECT_EQ(run.closeTick, 2);
    EXPECT_EQ(run.lastProgress, 0);
}

} // namespace
} // namespace rf
