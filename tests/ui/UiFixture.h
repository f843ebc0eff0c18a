// The application as start-up leaves it: the application object, its menu bar and
// the main window.
#pragma once

#include <gtest/gtest.h>

#include "engine/BackGroundDrawing.h"
#include "engine/Variables.h"
#include "framework/Application.h"
#include "framework/Runtime.h"
#include "tests/Support.h"
#include "ui/AboutWindow.h"
#include "ui/MenuBar1.h"
#include "ui/Startup.h"
#include "ui/Window1.h"

namespace V = Variables;

class UiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterClasses();
        if (!fw::App()) testing_support::OnGate([] { NewAppInstance(); });
    }
    void SetUp() override { window = testing_support::OnGate([] { return Window1(); }); }
    void TearDown() override {
        if (auto about = fw::OpenWindow(AboutWindow::kClassName)) about->Close();
        if (auto w = fw::OpenWindow(Window1::kClassName)) w->Close();
        StopAll();
        window = nullptr;
    }
    // Ends every engine this test started, and waits for their threads.
    void StopAll() {
        for (auto& e : engines_) {
            testing_support::OnGate([&] { e->Stopp = true; });
            EXPECT_TRUE(testing_support::WaitFor([&] { return !e->IsRunning(); }));
        }
        engines_.clear();
    }
    // Clicks a control of the main window, as a person would.
    void Click(const char* name) {
        testing_support::Click(window->Control(name));
        if (window->DrawOrbits) Remember(window->DrawOrbits);
    }
    void Remember(const fw::Ref<BackGroundDrawing>& e) {
        for (auto& known : engines_)
            if (known == e) return;
        engines_.push_back(e);
    }
    // Presses a start button; V::t is 0 until the new run has taken a step.
    void Start(const char* name) {
        testing_support::OnGate([] { V::t = 0; });
        Click(name);
    }
    // Of every engine this test started: how many still run without a stop request.
    int UnstoppedRunning() {
        return testing_support::OnGate([&] {
            int n = 0;
            for (auto& e : engines_) n += !e->Stopp && e->IsRunning();
            return n;
        });
    }
    bool Enabled(const char* name) { return fw::NonNil(window->Control(name)).Enabled(); }
    fw::Graphics& Canvas() { return fw::NonNil(fw::NonNil(window->Canvas1()).Graphics()); }
    // Waits until the running engine has set up its run and taken some steps.
    bool RunGoing() {
        return testing_support::WaitFor([] { return testing_support::OnGate([] { return V::t > 0; }); });
    }

    fw::Ref<class Window1> window;

private:
    std::vector<fw::Ref<BackGroundDrawing>> engines_;
};
