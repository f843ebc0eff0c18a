// Steps per second of the engine: the bare arithmetic of a step, and the whole loop
// drawing paths or animating pictures on the real canvas of a (headless) main window,
// called on the benchmark's own thread. Run: build/bin/engine_bench (compare the
// items_per_second of the three; the two frame benchmarks give what one frame of
// drawing costs). The program as a person runs it: program_bench.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "framework/Runtime.h"
#include "framework/Gate.h"
#include "ui/Startup.h"
#include "ui/Window1.h"
#include "engine/RunDisplay.h"
#include "tests/bench/BareStep.h"

namespace {

using bench::FreshRun;
using namespace std::chrono_literals;

void BM_BareStep(benchmark::State& state) { bench::BareStep(state); }

// Ends each batch of the loop as the "Stop" button ends a run: from another thread it
// takes the gate, which the loop hands over at its next yield, and sets Stopp. So the
// loop's yields are the program's own, with no hook at every step.
class Stopper {
public:
    explicit Stopper(BackGroundDrawing& engine) : engine_(engine), thread_([this] { Serve(); }) {}
    ~Stopper() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    // The next batch ends after about `after`.
    void Arm(std::chrono::microseconds after) {
        {
            std::lock_guard lock(mutex_);
            after_ = after;
            armed_ = true;
        }
        wake_.notify_one();
    }

private:
    void Serve() {
        for (;;) {
            std::chrono::microseconds after;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return armed_ || quit_; });
                if (quit_) return;
                armed_ = false;
                after = after_;
            }
            std::this_thread::sleep_for(after);
            fw::Gate::Hold hold;
            engine_.Stopp = true;
        }
    }

    BackGroundDrawing& engine_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::chrono::microseconds after_{};
    bool armed_ = false, quit_ = false;
    std::thread thread_;
};

void RunLoop(benchmark::State& state, bool animation) {
    fw::Gate::Hold hold;
    Variables::Valinta = animation;
    Variables::tt = 0;
    auto engine = FreshRun();
    Stopper stopper(*engine);
    double steps = 0;
    for (auto _ : state) {
        const double before = Variables::t / Variables::dt;
        engine->Stopp = false;
        stopper.Arm(5ms);  // about the time of the bare step's batch
        engine->StarDraw();
        steps += Variables::t / Variables::dt - before;  // one dt a step, as the program counts
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(std::llround(steps)));
}

void BM_StarDrawPaths(benchmark::State& state) { RunLoop(state, false); }
void BM_StarDrawAnimation(benchmark::State& state) { RunLoop(state, true); }

// One frame of each display alone, as the loop draws it every 50 or 100 steps: the
// look-ups and the three dots, or the six pictures. The stars stand still, so this is
// the frame with its code and pixels in the cache; the loop above pays it cold.
template <void (*DisplayStep)(), bool animation>
void Frame(benchmark::State& state) {
    fw::Gate::Hold hold;
    Variables::Valinta = animation;
    auto engine = FreshRun();
    for (auto _ : state) {
        Variables::tt = -Variables::dt;  // the step's own count then says "draw now"
        DisplayStep();
    }
}
void BM_PathFrame(benchmark::State& state) { Frame<PathStep, false>(state); }
void BM_AnimationFrame(benchmark::State& state) { Frame<AnimationStep, true>(state); }

BENCHMARK(BM_BareStep)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StarDrawPaths)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StarDrawAnimation)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PathFrame);
BENCHMARK(BM_AnimationFrame);

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
