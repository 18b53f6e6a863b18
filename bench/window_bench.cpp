// SPDX-License-Identifier: MIT
// The window's costs: start-up up to the first paint against a bare Qt window, and the display
// commands a person triggers all day. Runs under Qt's offscreen platform.
#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "bench/first_paint.h"
#include "bench/list_files.h"
#include "window/app.h"
#include "window/palette_view.h"

namespace {

using namespace chromabox;

std::filesystem::path benchFolder() {
    static const std::filesystem::path folder = [] {
        auto f = std::filesystem::temp_directory_path() / "chromabox window bench";
        std::filesystem::create_directories(f);
        return f;
    }();
    return folder;
}

// A list file of `count` palettes, written once per run.
std::filesystem::path listFile(int count) {
    const auto file = benchFolder() / ("list " + std::to_string(count) + ".ini");
    if (!std::filesystem::exists(file)) bench::writeListFile(file, static_cast<std::size_t>(count));
    return file;
}

void BM_BareWindowToFirstPaint(benchmark::State& state) {
    for (auto _ : state) bench::bareWindowToFirstPaint();
}
BENCHMARK(BM_BareWindowToFirstPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StartUpToFirstPaint(benchmark::State& state) {
    const auto list = listFile(static_cast<int>(state.range(0)));
    const std::filesystem::path logo = CHROMABOX_EXAMPLES "/Palette Logo.png";
    Commands commands;  // nothing outside the window is touched here
    for (auto _ : state) {
        ProgramState program;
        startUp(program, commands, list, logo);
        bench::waitForFirstPaint(program.mainWindow.window());
        state.PauseTiming();
        tearDown(program);
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(state.range(0)) + " palettes");
}
BENCHMARK(BM_StartUpToFirstPaint)->Arg(13)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The loader's time and the whole start-up's on the same file, taken in turns so that both meet the
// heap in the same state (a million palettes cost several times more on fresh pages than on pages
// the previous round freed). The counters are per round: the start-up should cost the loader's
// time plus what a bare window costs.
void BM_StartUpBesideLoader(benchmark::State& state) {
    const auto list = listFile(static_cast<int>(state.range(0)));
    const std::filesystem::path logo = CHROMABOX_EXAMPLES "/Palette Logo.png";
    Commands commands;
    double loaderSeconds = 0, startUpSeconds = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        {
            auto alone = palette::loadPaletteList(list);
            benchmark::DoNotOptimize(alone);
            loaderSeconds += static_cast<double>(timer.nsecsElapsed()) * 1e-9;
            state.PauseTiming();
        }
        state.ResumeTiming();
        ProgramState program;
        timer.start();
        startUp(program, commands, list, logo);
        bench::waitForFirstPaint(program.mainWindow.window());
        startUpSeconds += static_cast<double>(timer.nsecsElapsed()) * 1e-9;
        state.PauseTiming();
        tearDown(program);
        state.ResumeTiming();
    }
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["loader_ms"] = loaderSeconds / rounds * 1e3;
    state.counters["startup_ms"] = startUpSeconds / rounds * 1e3;
    state.counters["startup_minus_loader_ms"] = (startUpSeconds - loaderSeconds) / rounds * 1e3;
}
BENCHMARK(BM_StartUpBesideLoader)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(4.0);

void BM_LoaderAlone(benchmark::State& state) {
    const auto list = listFile(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(palette::loadPaletteList(list));
}
BENCHMARK(BM_LoaderAlone)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One program with a thousand palettes shown, shared by the display benchmarks; main tears it
// down while the application still exists.
std::unique_ptr<ProgramState> shownProgram;

ProgramState& shown() {
    if (!shownProgram) {
        shownProgram = std::make_unique<ProgramState>();
        startUp(*shownProgram, Commands{}, listFile(1000), CHROMABOX_EXAMPLES "/Palette Logo.png");
        bench::waitForFirstPaint(shownProgram->mainWindow.window());
    }
    return *shownProgram;
}

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

template <typename Command>
void runDisplayCommand(benchmark::State& state, Command command) {
    ProgramState& program = shown();
    // Warm up, then watch the resident size across the measured calls.
    for (int i = 0; i < 1000; ++i) command(program, i);
    const long before = residentKiB();
    std::int64_t calls = 0;
    for (auto _ : state) command(program, static_cast<int>(calls++));
    QCoreApplication::processEvents();
    state.counters["rss_growth_KiB"] = static_cast<double>(residentKiB() - before);
    state.counters["calls"] = static_cast<double>(calls);
}

void BM_ShowPalette(benchmark::State& state) {
    runDisplayCommand(state, [](ProgramState& p, int i) {
        showPalette(p.mainWindow, p.paletteList, 1 + i % 1000, static_cast<palette::DisplayFormat>(1 + i % 3));
    });
}
BENCHMARK(BM_ShowPalette)->Unit(benchmark::kMicrosecond)->Iterations(100000)->Repetitions(5)->ReportAggregatesOnly();

void BM_GoNextAndFirst(benchmark::State& state) {
    runDisplayCommand(state, [](ProgramState& p, int i) { i % 1000 == 999 ? goFirst(p) : goNext(p); });
}
BENCHMARK(BM_GoNextAndFirst)->Unit(benchmark::kMicrosecond)->Iterations(100000)->Repetitions(5)->ReportAggregatesOnly();

void BM_GoPreviousAndLast(benchmark::State& state) {
    runDisplayCommand(state, [](ProgramState& p, int i) { i % 1000 == 999 ? goLast(p) : goPrevious(p); });
}
BENCHMARK(BM_GoPreviousAndLast)->Unit(benchmark::kMicrosecond)->Iterations(100000)->Repetitions(5)->ReportAggregatesOnly();

void BM_FormatCommand(benchmark::State& state) {
    runDisplayCommand(state, [](ProgramState& p, int i) { showInFormat(p, static_cast<palette::DisplayFormat>(1 + i % 3)); });
}
BENCHMARK(BM_FormatCommand)->Unit(benchmark::kMicrosecond)->Iterations(100000)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    if (shownProgram) {
        tearDown(*shownProgram);
        shownProgram.reset();
    }
    return 0;
}
