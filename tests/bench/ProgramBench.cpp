// Steps per second of the program as a person runs it. This file is linked, whole,
// after the program's own main and libraries, so that the executable is the program's
// own: its start-up, its window, its event loop, and the same code at the same
// addresses (a run's speed has been seen to hang on where its code lies). The cases
// run on a thread started before main, which waits for the main window:
// - BM_BareStep: the arithmetic of a step alone, the limit;
// - BM_ProgramRunPaths, BM_ProgramRunAnimation: a click on "Stable" starts the run on
//   the engine's own thread, a click on the mode's button chooses the mode, and the
//   steps are counted from the simulation's own time, read on the gate.
// Run: build/bin/program_bench [--benchmark_...] (headless unless QT_QPA_PLATFORM is set).
// After the cases the application quits.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "framework/Runtime.h"
#include "framework/Window.h"
#include "tests/bench/BareStep.h"
#include "ui/Window1.h"

namespace {

using namespace std::chrono_literals;

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
    const fw::Ref<class Window1> window = MainWindow();
    fw::Gate::Hold hold;
    return window && window->DrawOrbits && window->DrawOrbits->IsRunning();
}

void ProgramRun(benchmark::State& state, bool animation) {
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

void BM_BareStep(benchmark::State& state) { bench::BareStep(state); }
void BM_ProgramRunPaths(benchmark::State& state) { ProgramRun(state, false); }
void BM_ProgramRunAnimation(benchmark::State& state) { ProgramRun(state, true); }

BENCHMARK(BM_BareStep)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ProgramRunPaths)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_ProgramRunAnimation)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// The command line as the program got it: main's arguments are not ours to see.
std::vector<std::string> CommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find('\0', start);
        args.push_back(all.substr(start, end - start));
        start = end == std::string::npos ? all.size() : end + 1;
    }
    return args;
}

void RunCases() {
    // Touch nothing of the program before main has begun; then wait for its start-up.
    std::this_thread::sleep_for(200ms);
    while (!MainWindow()) std::this_thread::sleep_for(10ms);
    std::vector<std::string> args = CommandLine();
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    int argc = static_cast<int>(argv.size());
    benchmark::Initialize(&argc, argv.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { fw::Quit(); }, Qt::QueuedConnection);
}

// Starts the cases before main; joined when the program has returned from main.
struct Cases {
    Cases() {
        setenv("QT_QPA_PLATFORM", "offscreen", /*replace=*/0);
        thread = std::thread(RunCases);
    }
    ~Cases() { thread.join(); }
    std::thread thread;
} gCases;

}  // namespace
