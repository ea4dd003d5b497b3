// Discovery of 1,000 simulated radios in a lab: the time from the first search until every radio is stored
// as online, and the CPU time the engine's threads spent on it; clean and with 10% loss both ways.
// Needs root (network namespaces); run it inside "unshare --net".
#include "EngineInLab.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fstream>
#include <sstream>

namespace rf::test {
namespace {

constexpr int kRadios = 1000;

// CPU seconds (user + system) of this process's threads whose name starts with "rf-".
double EngineCpuSeconds() {
    double ticks = 0;
    DIR* tasks = ::opendir("/proc/self/task");
    for (dirent* t = tasks ? ::readdir(tasks) : nullptr; t != nullptr; t = ::readdir(tasks)) {
        std::ifstream in(std::string("/proc/self/task/") + t->d_name + "/stat");
        std::string stat((std::istreambuf_iterator<char>(in)), {});
        const auto open = stat.find('(');
        const auto close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos ||
            stat.compare(open + 1, 3, "rf-") != 0) {
            continue;
        }
        std::istringstream fields(stat.substr(close + 2));
        std::string field;
        double utime = 0, stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            utime = i == 14 ? std::stod(field) : utime;
            stime = i == 15 ? std::stod(field) : stime;
        }
        ticks += utime + stime;
    }
    if (tasks != nullptr) {
        ::closedir(tasks);
    }
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

void Discover(benchmark::State& state, std::vector<std::string> simArgs) {
    for (auto _ : state) {
        Lab lab({.radios = kRadios, .subnets = 1, .simArgs = simArgs});
        if (!lab.Ok()) {
            state.SkipWithError(lab.Reason().c_str());
            return;
        }
        EngineInLab pc(lab, 1);
        if (!pc.Start()) {
            state.SkipWithError("the engine did not start");
            return;
        }
        const double cpuBefore = EngineCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const bool all = pc.DiscoveryCycle(kRadios);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        state.counters["engine_cpu_s"] = EngineCpuSeconds() - cpuBefore;
        state.counters["online"] = pc.StoredWithStatus(DeviceStatus::Online);
        if (!all) {
            state.SkipWithError("not every radio was found within one search cycle");
        }
        pc.Engine().Stop();
    }
}

void BM_Discover1000(benchmark::State& state) {
    Discover(state, {});
}
void BM_Discover1000Loss10(benchmark::State& state) {
    Discover(state, {"--loss-in", "10", "--loss-out", "10"});
}
BENCHMARK(BM_Discover1000)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Discover1000Loss10)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rf::test

BENCHMARK_MAIN();
