// What a thousand simulated radios cost: building the lab, and the per-datagram work of answering a search,
// a heartbeat tick, a GetInfo and a scan (sockets excluded).
#include "DevicePackets.h"
#include "RadioFactory.h"

#include <benchmark/benchmark.h>

namespace rf {
namespace {

SimOptions Options(size_t radios) {
    std::string error;
    return *ParseSimOptions({"--radios", std::to_string(radios), "--segment", "r0,10.99.0.0/16"}, error);
}

void BM_MakeRadios(benchmark::State& state) {
    const SimOptions options = Options(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeRadios(options));
    }
}
BENCHMARK(BM_MakeRadios)->Arg(1000);

void BM_AnswerPacket(benchmark::State& state) {
    const auto radios = MakeRadios(Options(1000));
    size_t i = 0;
    for (auto _ : state) {
        const Radio& r = radios[i++ % radios.size()];
        benchmark::DoNotOptimize(DevicePacket(1, r.model(), r.mac(), r.Announce(1000).bytes()));
    }
}
BENCHMARK(BM_AnswerPacket);

void BM_GetInfo(benchmark::State& state) {
    auto radios = MakeRadios(Options(1000));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(radios[i++ % radios.size()].Execute(MessageType::GetInfo, {}, 1000));
    }
}
BENCHMARK(BM_GetInfo);

void BM_ScanOf1000(benchmark::State& state) {
    const auto radios = MakeRadios(Options(1000));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScanPayloads(radios[1], radios, 1));
    }
}
BENCHMARK(BM_ScanOf1000);

} // namespace
} // namespace rf

BENCHMARK_MAIN();
