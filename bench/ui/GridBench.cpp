// How fast a page can refill its grid: the store gives a page of devices, the page writes every cell.
#include "core/Settings.h"
#include "ui/GridCells.h"
#include "ui/GridCtrl.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int kColumns = 13;

const rf::Settings& BundleSettings() {
    static const rf::Settings settings = rf::LoadSettings(RF_BENCH_SETTINGS_DIR);
    return settings;
}

void FillGrid(rf::CGridCtrl& grid, int rows) {
    grid.DeleteDataRows();
    grid.SetRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        grid.SetCellCheckBox(row, 0);
        for (int column = 1; column < kColumns; ++column) {
            rf::SetNormalCell(BundleSettings(), grid, row, column,
                              QStringLiteral("10.0.%1.%2").arg(row / 250).arg(row % 250));
        }
    }
}

rf::CGridCtrl& ShownGrid() {
    static rf::CGridCtrl grid;
    static bool once = [] {
        grid.resize(1000, 600);
        grid.SetColumnCount(kColumns);
        for (int column = 0; column < kColumns; ++column) {
            rf::SetHeaderCell(BundleSettings(), grid, column, 70, QStringLiteral("Column"));
        }
        grid.show();
        return true;
    }();
    (void)once;
    return grid;
}

void BM_FillGrid(benchmark::State& state) {
    rf::CGridCtrl& grid = ShownGrid();
    for (auto _ : state) {
        FillGrid(grid, static_cast<int>(state.range(0)));
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * (kColumns - 1));
}
BENCHMARK(BM_FillGrid)->Arg(30)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_PaintGrid(benchmark::State& state) {
    rf::CGridCtrl& grid = ShownGrid();
    FillGrid(grid, 1000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.viewport()->grab());
    }
}
BENCHMARK(BM_PaintGrid)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
