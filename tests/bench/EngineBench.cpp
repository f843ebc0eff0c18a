// Steps per second of the engine. Run: build/bin/engine_bench, and compare the
// items_per_second of the cases, all measured in the same run:
// - BM_BareStep: the arithmetic of a step alone, the limit the others are held against;
// - BM_StarDrawPaths, BM_StarDrawAnimation: the whole loop called on the benchmark's
//   thread, drawing on the real canvas of the main window;
// - BM_ProgramRunPaths, BM_ProgramRunAnimation: the program as a person runs it. It
//   starts as the program does and runs its event loop on the main thread; the run is
//   started by a click on "Stable", on the engine's own thread, and the steps are
//   counted from the simulation's own time, read on the gate.
// The benchmarks run on a thread of their own, so that the event loop keeps running.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <thread>
#include <typeinfo>

#include "engine/BackGroundDrawing.h"
#include "engine/Step.h"
#include "engine/Variables.h"
#include "framework/Gate.h"
#include "framework/Runtime.h"
#include "framework/Thread.h"
#include "framework/Window.h"
#include "ui/Startup.h"
#include "ui/Window1.h"

namespace {

constexpr long kBatch = 100000;  // steps per iteration; the stable pair stays on the canvas
long gStepsLeft = 0;
BackGroundDrawing* gEngine = nullptr;

void CountDown() {
    if (--gStepsLeft <= 0) gEngine->Stopp = true;
}

fw::Ref<BackGroundDrawing> FreshRun() {
    auto engine = fw::New<BackGroundDrawing>();
    engine->Scale();
    engine->VarStable();
    return engine;
}

void BM_BareStep(benchmark::State& state) {
    fw::Gate::Hold hold;
    auto engine = FreshRun();
    for (auto _ : state) {
        for (long i = 0; i < kBatch; ++i) AdvanceStep();
        benchmark::DoNotOptimize(Variables::x);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

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

// Runs fn on the user-interface thread and waits for it; the caller must not hold the gate.
void OnUi(const std::function<void()>& fn) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

fw::Ref<class Window1> MainWindow() {
    fw::Gate::Hold hold;
    return fw::Cast<class Window1>(fw::OpenWindow(fw::RegisteredName(typeid(class Window1))));
}

// A click on a button of the main window, as the user makes it: the framework calls
// the button's handler on the user-interface thread.
void Click(const char* button) {
    const fw::Ref<class Window1> window = MainWindow();
    OnUi([&] { static_cast<QAbstractButton*>(fw::NonNil(window->Control(button)).Widget())->click(); });
}

double StepsSoFar() {
    fw::Gate::Hold hold;
    return Variables::t / Variables::dt;
}

bool EngineRunning() {
    fw::Gate::Hold hold;
    const fw::Ref<class Window1> window = MainWindow();
    return window && window->DrawOrbits && window->DrawOrbits->IsRunning();
}

void ProgramRun(benchmark::State& state, bool animation) {
    using namespace std::chrono_literals;
    Click("RunStable");
    Click(animation ? "AnimationButton" : "PathButton");
    std::this_thread::sleep_for(300ms);  // the run has set itself up and settled
    double steps = 0;
    for (auto _ : state) {
        const double before = StepsSoFar();
        std::this_thread::sleep_for(100ms);
        steps += StepsSoFar() - before;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(steps));
    Click("StopButton");
    while (EngineRunning()) std::this_thread::sleep_for(10ms);
}

void BM_ProgramRunPaths(benchmark::State& state) { ProgramRun(state, false); }
void BM_ProgramRunAnimation(benchmark::State& state) { ProgramRun(state, true); }

BENCHMARK(BM_BareStep)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StarDrawPaths)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StarDrawAnimation)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ProgramRunPaths)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_ProgramRunAnimation)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    if (!fw::RuntimeStart(argc, argv)) return 1;
    RegisterClasses();
    std::thread benchmarks([] {
        OnUi([] {});  // the start-up has made the main window
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { fw::Quit(); }, Qt::QueuedConnection);
    });
    Main();
    benchmarks.join();
    fw::FinaliseModules();
    FinaliseProgramModules();
    return fw::RuntimeExit();
}
