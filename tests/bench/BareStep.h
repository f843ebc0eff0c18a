// The arithmetic of a step alone: the limit that the engine's loop is held against.
#pragma once

#include <benchmark/benchmark.h>

#include "engine/BackGroundDrawing.h"
#include "engine/Step.h"
#include "engine/Variables.h"
#include "framework/Gate.h"

namespace bench {

constexpr long kBatch = 100000;  // steps per iteration; the stable pair stays on the canvas

// A stable run set up as the engine sets it up, from the main window's fields.
inline fw::Ref<BackGroundDrawing> FreshRun() {
    auto engine = fw::New<BackGroundDrawing>();
    engine->Scale();
    engine->VarStable();
    return engine;
}

inline void BareStep(benchmark::State& state) {
    fw::Gate::Hold hold;
    auto engine = FreshRun();
    for (auto _ : state) {
        for (long i = 0; i < kBatch; ++i) AdvanceStep();
        benchmark::DoNotOptimize(Variables::x);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

}  // namespace bench
