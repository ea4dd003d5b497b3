// The interface thread during a real search: the main window (offscreen) with the status page shown runs a
// whole search cycle over 1,000 or 5,000 simulated radios, then a filter is typed one key at a time. A 5 ms
// timer measures how late the event loop serves it; the longest and the 99th-percentile delay are reported.
// Needs root (network namespaces); run it inside "unshare --net".
#include "EngineInLab.h"

#include "app/ApplicationDlg.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "pages/DeviceList.h"
#include "pages/StatusDlg.h"
#include "shell/AppContext.h"
#include "shell/PageIds.h"
#include "ui/SkinPaths.h"
#include "ui/TEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <vector>

namespace rf::test {
namespace {

constexpr int kProbeMs = 5;
constexpr int kKeyGapMs = 150;
const QString kTypedFilter = QStringLiteral("10.99.1");

// A timer due every 5 ms that records how much later than due the event loop served it.
class LatenessProbe {
public:
    LatenessProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kProbeMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            const double cpu = ThreadCpuMs();
            lateMs_.push_back(std::max<double>(0.0, static_cast<double>(now - last_) / 1e6 - kProbeMs));
            if (lateMs_.back() >= Longest()) {
                longestAt_ = static_cast<double>(now) / 1e9;
                longestCpuMs_ = cpu - lastCpu_;
            }
            last_ = now;
            lastCpu_ = cpu;
        });
    }
    void Start() {
        clock_.start();
        last_ = 0;
        lastCpu_ = ThreadCpuMs();
        timer_.start();
    }
    void Stop() { timer_.stop(); }

    double Longest() const {
        return lateMs_.empty() ? 0.0 : *std::max_element(lateMs_.begin(), lateMs_.end());
    }
    double Percentile(double p) const {
        if (lateMs_.empty()) {
            return 0.0;
        }
        std::vector<double> sorted = lateMs_;
        std::sort(sorted.begin(), sorted.end());
        return sorted[static_cast<size_t>(p * static_cast<double>(sorted.size() - 1))];
    }
    size_t Samples() const { return lateMs_.size(); }
    // Seconds from the start to the end of the longest delay.
    double LongestAt() const { return longestAt_; }
    // The interface thread's CPU time within the longest interval: near its length when the thread was
    // busy, near zero when it waited (for a lock, or for a core on a loaded machine).
    double LongestCpuMs() const { return longestCpuMs_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    std::vector<double> lateMs_;
    double longestAt_ = 0.0;
    double lastCpu_ = 0.0;
    double longestCpuMs_ = 0.0;

    static double ThreadCpuMs() {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    }
};

// Runs the event loop until done() holds or the time is up; true when it held. It sleeps between events; a
// timer of its own wakes it to look at done() again.
template <typename Done> bool RunUntil(Done done, std::chrono::milliseconds limit) {
    QTimer wake;
    wake.start(10);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit.count()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void TypeKeyByKey(CTEdit& edit, const QString& text) {
    for (const QChar c : text) {
        QTest::keyClicks(&edit, QString(c));
        RunUntil([] { return false; }, std::chrono::milliseconds(kKeyGapMs));
    }
}

void BM_SearchCycleWithStatusPage(benchmark::State& state) {
    SetLanguageIdOverride(1033);
    LoadLanguage(RF_BUNDLE_DIR);
    SetGlobalSettings(LoadSettings(RF_BUNDLE_DIR));
    const SkinPaths skin = BuildSkinPaths(RF_BUNDLE_DIR, 1033);
    const int radios = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Lab lab({.radios = radios, .subnets = 1, .simArgs = {}});
        if (!lab.Ok()) {
            state.SkipWithError(lab.Reason().c_str());
            return;
        }
        EngineInLab pc(lab, 1);
        if (!pc.Start()) {
            state.SkipWithError("the engine did not start");
            return;
        }
        AppContext context{pc.Engine(), pc.Store(), GlobalSettings(), skin};
        CStatusDlg* page = nullptr;
        CApplicationDlg window(
            context, [&](int id, const PageContext& pageContext, QWidget* parent) -> CPage* {
                return id == kPageStatus ? page = new CStatusDlg(pageContext, parent) : new CPage(id, parent);
            });
        window.show();
        RunUntil([] { return false; }, std::chrono::milliseconds(300));

        LatenessProbe probe;
        QElapsedTimer elapsed;
        elapsed.start();
        probe.Start();
        page->OnSearchClicked();
        const bool ended = RunUntil([&] { return !page->Searching(); }, std::chrono::seconds(45));
        const double searchEnd = static_cast<double>(elapsed.elapsed()) / 1000.0;
        TypeKeyByKey(*page->List().Filter(), kTypedFilter);
        RunUntil([] { return false; }, std::chrono::milliseconds(500));
        probe.Stop();
        state.SetIterationTime(static_cast<double>(elapsed.elapsed()) / 1000.0);

        state.counters["longest_ms"] = probe.Longest();
        state.counters["longest_at_s"] = probe.LongestAt();
        state.counters["longest_cpu_ms"] = probe.LongestCpuMs();
        state.counters["search_end_s"] = searchEnd;
        state.counters["p99_ms"] = probe.Percentile(0.99);
        state.counters["p50_ms"] = probe.Percentile(0.50);
        state.counters["samples"] = static_cast<double>(probe.Samples());
        state.counters["online"] = pc.OnlineCount();
        if (!ended) {
            state.SkipWithError("the search cycle did not end");
        }
        pc.Engine().Stop();
    }
}
BENCHMARK(BM_SearchCycleWithStatusPage)
    ->Arg(1000)
    ->Arg(5000)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace rf::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
