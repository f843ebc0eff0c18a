// Steps per second of the engine: the bare arithmetic of a step, and the whole loop
// drawing paths or animating pictures on the real canvas of a (headless) main window,
// called on the benchmark's own thread. Run: build/bin/engine_bench (compare the
// items_per_second of the three). The program as a person runs it: program_bench.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

#include "framework/Runtime.h"
#include "framework/Thread.h"
#include "ui/Startup.h"
#include "ui/Window1.h"
#include "tests/bench/BareStep.h"

namespace {

using bench::FreshRun;
using bench::kBatch;
long gStepsLeft = 0;
BackGroundDrawing* gEngine = nullptr;

void CountDown() {
    if (--gStepsLeft <= 0) gEngine->Stopp = true;
}

void BM_BareStep(benchmark::State& state) { bench::BareStep(state); }

void RunLoop(benchmark::State& state, bool animation) {
    fw::Gate::Hold hold;
    Variables::Valinta = animation;
    Variables::tt = 0;
    auto engine = FreshRun();
    gEngine = engine.get();
    fw::detail::SetYieldHook(&CountDown);
    for (auto _ : state) {
        gStepsLeft = kBatch;
        engine->Stopp = false;
        engine->StarDraw();
    }
    fw::detail::SetYieldHook(nullptr);
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_StarDrawPaths(benchmark::State& state) { RunLoop(state, false); }
void BM_StarDrawAnimation(benchmark::State& state) { RunLoop(state, true); }

BENCHMARK(BM_BareStep)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StarDrawPaths)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StarDrawAnimation)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!fw::RuntimeStart(argc, argv)) return 1;
    RegisterClasses();
    {
        fw::Gate::Hold hold;
        NewAppInstance();
        (void)Window1();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fw::FinaliseModules();
    return fw::RuntimeExit();
}
