// Runs the engine against a real main window, on the test's own thread, for an exact
// number of steps.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>

#include <functional>

#include "engine/BackGroundDrawing.h"
#include "engine/Variables.h"
#include "framework/Application.h"
#include "framework/Thread.h"
#include "tests/Support.h"
#include "ui/Startup.h"
#include "ui/Window1.h"

namespace V = Variables;

class EngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterClasses();
        if (!fw::App()) testing_support::OnGate([] { NewAppInstance(); });
    }
    void SetUp() override {
        Open();
        testing_support::OnGate([] {
            V::tt = 0;
            V::ct = 0;
        });
    }
    void TearDown() override {
        fw::Gate::SetYieldHook(nullptr);
        each_ = nullptr;
        window->Close();
        window = nullptr;
    }

    // A fresh main window in place of the test's, with the fields at "50" and "100".
    void Reopen() {
        window->Close();
        Open();
    }
    void SetField(const char* name, const char* text) {
        static_cast<QLineEdit*>(fw::NonNil(window->Find<fw::TextField>(name)).Widget())->setText(text);
    }
    fw::Graphics& Canvas() { return fw::NonNil(fw::NonNil(window->Canvas1()).Graphics()); }
    std::string Years() { return fw::NonNil(window->StaticText8()).Text(); }

    // Sets up a run as the engine thread does, then integrates `steps` steps; `each`
    // sees the state after every step.
    void Run(bool stable, long steps, std::function<void(long)> each = nullptr, bool setUp = true) {
        fw::Gate::Hold hold;
        engine_ = fw::New<BackGroundDrawing>();
        if (setUp) {
            engine_->Scale();
            stable ? engine_->VarStable() : engine_->VarUnstable();
        }
        RunMore(steps, std::move(each));
    }
    // Further steps of the same run.
    void RunMore(long steps, std::function<void(long)> each = nullptr) {
        fw::Gate::Hold hold;
        engine_->Stopp = false;
        stepsLeft_ = steps;
        step_ = 0;
        each_ = std::move(each);
        current_ = this;
        fw::Gate::SetYieldHook(&EngineTest::OnYield);
        if (steps > 0) engine_->StarDraw();
        fw::Gate::SetYieldHook(nullptr);
    }

    fw::Ref<class Window1> window;

private:
    void Open() {
        window = testing_support::OnGate([] { return Window1(); });
        SetField("dtField", "50");
        SetField("SpeedField", "100");
    }
    static void OnYield() {
        EngineTest* t = current_;
        ++t->step_;
        if (t->each_) t->each_(t->step_);
        if (--t->stepsLeft_ <= 0) t->engine_->Stopp = true;
    }
    static inline EngineTest* current_ = nullptr;
    fw::Ref<BackGroundDrawing> engine_;
    long stepsLeft_ = 0, step_ = 0;
    std::function<void(long)> each_;
};
