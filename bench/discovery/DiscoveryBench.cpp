// Discovery of 1,000, 5,000 and 10,000 simulated radios in a lab, following the status page's search
// cycle: the time from the first search until every radio is stored as online with its details, the CPU
// time the engine's threads spent on it (in all, and for the announce and reply processors), the datagrams
// the PC sent and received per radio found, and the datagrams the PC's namespace dropped for a full socket
// receive buffer (RcvbufErrors); clean and with 10% loss both ways.
// Needs root (network namespaces); run it inside "unshare --net".
#include "EngineInLab.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fstream>
#include <linux/capability.h>
#include <sstream>
#include <sys/syscall.h>

namespace rf::test {
namespace {

// CPU seconds (user + system) of this process's threads whose name passes `wanted`.
template <typename Wanted> double CpuSecondsOfThreads(Wanted wanted) {
    double ticks = 0;
    DIR* tasks = ::opendir("/proc/self/task");
    for (dirent* t = tasks ? ::readdir(tasks) : nullptr; t != nullptr; t = ::readdir(tasks)) {
        std::ifstream in(std::string("/proc/self/task/") + t->d_name + "/stat");
        std::string stat((std::istreambuf_iterator<char>(in)), {});
        const auto open = stat.find('(');
        const auto close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos ||
            !wanted(stat.substr(open + 1, close - open - 1))) {
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

double EngineCpuSeconds() {
    return CpuSecondsOfThreads([](const std::string& name) { return name.rfind("rf-", 0) == 0; });
}

// The UDP counter of the namespace of the calling thread ("RcvbufErrors", say); -1 when it is not there.
long UdpCounter(const std::string& name) {
    std::ifstream in("/proc/thread-self/net/snmp");
    std::string names;
    std::string values;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("Udp: ", 0) == 0) {
            (names.empty() ? names : values) = line;
        }
    }
    std::istringstream n(names);
    std::istringstream v(values);
    for (std::string field, value; n >> field && v >> value;) {
        if (field == name) {
            return std::stol(value);
        }
    }
    return -1;
}

struct UdpCounters {
    long rcvbufErrors = -1;
    long inDatagrams = -1;
    long outDatagrams = -1;
};

UdpCounters PcCounters(EngineInLab& pc) {
    UdpCounters counters;
    pc.InPc([&] {
        counters = {UdpCounter("RcvbufErrors"), UdpCounter("InDatagrams"), UdpCounter("OutDatagrams")};
    });
    return counters;
}

// The engine's threads that do the work of a discovery, each with its CPU seconds so far.
std::vector<std::pair<std::string, double>> ThreadCpu() {
    std::vector<std::pair<std::string, double>> cpu;
    for (const char* thread : {"rf-announce", "rf-reply", "rf-retransmit"}) {
        const std::string name = thread;
        cpu.emplace_back(name, CpuSecondsOfThreads([&](const std::string& n) { return n == name; }));
    }
    return cpu;
}

// Takes CAP_NET_ADMIN from the calling thread (and the threads it starts), as for a user without it:
// the reply socket's buffer is then capped by net.core.rmem_max.
bool DropNetAdmin() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    data[CAP_NET_ADMIN / 32].effective &= ~(1u << (CAP_NET_ADMIN % 32));
    data[CAP_NET_ADMIN / 32].permitted &= ~(1u << (CAP_NET_ADMIN % 32));
    return ::syscall(SYS_capset, &header, data) == 0;
}

void Discover(benchmark::State& state, int radios, std::vector<std::string> simArgs, bool netAdmin = true) {
    for (auto _ : state) {
        Lab lab({.radios = radios, .subnets = 1, .simArgs = simArgs});
        if (!lab.Ok()) {
            state.SkipWithError(lab.Reason().c_str());
            return;
        }
        EngineInLab pc(lab, 1);
        bool started = false;
        pc.InPc([&] { started = (netAdmin || DropNetAdmin()) && pc.Engine().Start(3, 2000); });
        if (!started) {
            state.SkipWithError("the engine did not start");
            return;
        }
        const UdpCounters before = PcCounters(pc);
        const double cpuBefore = EngineCpuSeconds();
        const auto threadsBefore = ThreadCpu();
        const auto start = std::chrono::steady_clock::now();
        const bool all = pc.DiscoveryCycle(radios);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        state.counters["engine_cpu_s"] = EngineCpuSeconds() - cpuBefore;
        const auto threadsAfter = ThreadCpu();
        for (size_t i = 0; i < threadsAfter.size(); ++i) {
            state.counters[threadsAfter[i].first + "_cpu_s"] =
                threadsAfter[i].second - threadsBefore[i].second;
        }
        const int online = pc.StoredWithStatus(DeviceStatus::Online);
        state.counters["online"] = online;
        const UdpCounters after = PcCounters(pc);
        state.counters["rcvbuf_errors"] = static_cast<double>(after.rcvbufErrors - before.rcvbufErrors);
        const double found = std::max(online, 1);
        state.counters["sent_per_device"] =
            static_cast<double>(after.outDatagrams - before.outDatagrams) / found;
        state.counters["received_per_device"] =
            static_cast<double>(after.inDatagrams - before.inDatagrams) / found;
        // As the kernel reports it: twice the bytes granted.
        state.counters["reply_rcvbuf_kB"] = pc.Engine().ReplyReceiveBufferSize() / 1024.0;
        if (!all) {
            state.SkipWithError("not every radio was found within one search cycle");
        }
        pc.Engine().Stop();
    }
}

void BM_Discover1000(benchmark::State& state) {
    Discover(state, 1000, {});
}
void BM_Discover5000(benchmark::State& state) {
    Discover(state, 5000, {});
}
void BM_Discover10000(benchmark::State& state) {
    Discover(state, 10000, {});
}
void BM_Discover5000Unprivileged(benchmark::State& state) {
    Discover(state, 5000, {}, false);
}
void BM_Discover1000Loss10(benchmark::State& state) {
    Discover(state, 1000, {"--loss-in", "10", "--loss-out", "10"});
}
BENCHMARK(BM_Discover1000)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Discover5000)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Discover10000)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Discover5000Unprivileged)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Discover1000Loss10)
    ->Iterations(1)
    ->Repetitions(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rf::test

BENCHMARK_MAIN();
