// The round trip of RunOnUi from another thread to an idle user-interface thread that
// waits in its event loop, as the program's threads meet it.
// Run: build/bin/dispatch_bench
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

#include <thread>

#include "framework/Dispatch.h"
#include "framework/Runtime.h"

namespace {

void BM_RunOnUiRoundTrip(benchmark::State& state) {
    int calls = 0;
    for (auto _ : state) fw::detail::RunOnUi([&] { ++calls; });
    benchmark::DoNotOptimize(calls);
}
BENCHMARK(BM_RunOnUiRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!fw::RuntimeStart(argc, argv)) return 1;
    benchmark::Initialize(&argc, argv);
    // The benchmark runs on a thread of its own; this one is the idle user interface.
    std::thread runner([] {
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        fw::detail::PostToUi([] { fw::Quit(); });
    });
    fw::RunEventLoop();
    runner.join();
    fw::FinaliseModules();
    return fw::RuntimeExit();
}
