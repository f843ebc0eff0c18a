#include <random>

#include "UiFixture.h"

using testing_support::OnGate;
using testing_support::WaitFor;

namespace {

class RunControlsTest : public UiTest {
protected:
    void ExpectRunning() {
        EXPECT_FALSE(Enabled("RunStable"));
        EXPECT_FALSE(Enabled("RunUnstable"));
        EXPECT_TRUE(Enabled("StopButton"));
    }
    void ExpectIdle() {
        EXPECT_TRUE(Enabled("RunStable"));
        EXPECT_TRUE(Enabled("RunUnstable"));
        EXPECT_FALSE(Enabled("StopButton"));
    }
    double Sck() { return OnGate([] { return V::sck; }); }
    // The engine has run Scale: a scale button now acts on this run.
    bool ScaleSet() { return WaitFor([&] { return Sck() == 3000000; }); }
};

TEST_F(RunControlsTest, StartHandsANewEngineTheCanvasAndStartsIt) {
    for (const char* button : {"RunStable", "RunUnstable"}) {
        SCOPED_TRACE(button);
        Start(button);
        auto engine = window->DrawOrbits;
        ASSERT_NE(engine, nullptr);
        EXPECT_TRUE(engine->IsRunning());
        OnGate([&] {
            EXPECT_FALSE(engine->Stopp);
            EXPECT_EQ(engine->theCanvas, window->Canvas1());
            EXPECT_EQ(V::Stable, std::string(button) == "RunStable");
        });
        ExpectRunning();
        ASSERT_TRUE(RunGoing());
        Click("StopButton");
        EXPECT_TRUE(OnGate([&] { return engine->Stopp; }));
        EXPECT_EQ(window->DrawOrbits, engine);  // kept until the next start
        ExpectIdle();
    }
}

TEST_F(RunControlsTest, StopBeforeAnyStartDoesNothing) {
    Click("StopButton");
    EXPECT_EQ(window->DrawOrbits, nullptr);
    EXPECT_TRUE(Enabled("StopButton"));
    EXPECT_TRUE(Enabled("RunStable"));
    EXPECT_TRUE(Enabled("RunUnstable"));
}

TEST_F(RunControlsTest, StopThenStartGivesANewEngineAndTheOldOneStops) {
    Start("RunStable");
    auto first = window->DrawOrbits;
    ASSERT_TRUE(RunGoing());
    Click("StopButton");
    Start("RunStable");
    auto second = window->DrawOrbits;
    EXPECT_NE(first, second);
    EXPECT_FALSE(OnGate([&] { return second->Stopp; }));
    EXPECT_TRUE(OnGate([&] { return first->Stopp; }));
    EXPECT_TRUE(WaitFor([&] { return !first->IsRunning(); }));
    EXPECT_TRUE(second->IsRunning());
}

TEST_F(RunControlsTest, ScaleButtonsMultiplyAndDivideByFiveDuringARun) {
    Start("RunUnstable");
    ASSERT_TRUE(ScaleSet());
    Click("ScaleUpButton");
    EXPECT_EQ(Sck(), 15000000);
    Click("ScaleDownButton");
    EXPECT_EQ(Sck(), 3000000);
    Click("ScaleDownButton");
    EXPECT_EQ(Sck(), 600000);
    // A change made while idle does not survive the next start.
    Click("StopButton");
    Click("ScaleUpButton");
    Start("RunUnstable");
    ASSERT_TRUE(RunGoing());
    EXPECT_EQ(Sck(), 3000000);
}

TEST_F(RunControlsTest, HundredsOfScalePressesDriveTheScaleToTheLimitsHarmlessly) {
    OnGate([] { V::Valinta = false; });
    for (bool up : {false, true}) {
        Start("RunUnstable");
        ASSERT_TRUE(ScaleSet());
        for (int i = 0; i < (up ? 500 : 1000); ++i)
            testing_support::Click(up ? window->ScaleUpButton() : window->ScaleDownButton());
        EXPECT_EQ(Sck(), up ? INFINITY : 0.0);
        Click("AnimationButton");
        QTest::qWait(30);
        Click("PathButton");
        QTest::qWait(30);
        EXPECT_TRUE(window->DrawOrbits->IsRunning());
        Click("StopButton");
    }
}

TEST_F(RunControlsTest, PathsChosenDuringARunCarryIntoTheNextRun) {
    Start("RunStable");
    ASSERT_TRUE(RunGoing());
    Click("PathButton");
    EXPECT_FALSE(OnGate([] { return V::Valinta; }));
    Click("StopButton");
    Start("RunUnstable");
    // Dots in the three colours appear on the wiped canvas.
    const fw::Color colours[] = {fw::RGB(0, 0, 255), fw::RGB(0, 150, 0), fw::RGB(255, 0, 0)};
    EXPECT_TRUE(WaitFor([&] {
        return OnGate([&] {
            bool all = true;
            for (fw::Color c : colours) {
                bool found = false;
                for (int y = 0; y < 486 && !found; ++y)
                    for (int x = 0; x < 567 && !found; ++x) found = Canvas().Pixel(x, y) == c;
                all = all && found;
            }
            return all;
        });
    }));
}

TEST_F(RunControlsTest, TheFiveDisplayButtonsWipeTheCanvasInEveryStateAndChangeNoRunState) {
    const char* wipers[] = {"ClearButton", "ScaleUpButton", "ScaleDownButton", "AnimationButton", "PathButton"};
    auto check = [&](const char* state) {
        for (const char* button : wipers) {
            SCOPED_TRACE(std::string(state) + " " + button);
            const bool stable = Enabled("RunStable"), stop = Enabled("StopButton");
            auto engine = window->DrawOrbits;
            OnGate([&] { Canvas().Pixel(0, 0, fw::RGB(9, 9, 9)); });  // a corner no star reaches
            Click(button);
            EXPECT_EQ(OnGate([&] { return Canvas().Pixel(0, 0); }), fw::Color{0xC1DBD3});
            EXPECT_EQ(Enabled("RunStable"), stable);
            EXPECT_EQ(Enabled("StopButton"), stop);
            EXPECT_EQ(window->DrawOrbits, engine);
        }
    };
    check("initial");
    Start("RunStable");
    ASSERT_TRUE(RunGoing());
    check("running");
    Click("StopButton");
    check("idle");
}

TEST_F(RunControlsTest, ClosingTheWindowStopsARunningEngineOnly) {
    // Before any start and when idle: nothing changes.
    window->TopWidget()->close();
    EXPECT_EQ(window->DrawOrbits, nullptr);
    window = OnGate([] { return Window1(); });
    Start("RunStable");
    auto engine = window->DrawOrbits;
    ASSERT_TRUE(RunGoing());
    window->TopWidget()->close();
    EXPECT_TRUE(OnGate([&] { return engine->Stopp; }));
    ASSERT_TRUE(WaitFor([&] { return !engine->IsRunning(); }));
    QTest::qWait(50);
    EXPECT_EQ(fw::OpenWindow(Window1::kClassName), nullptr);  // the engine opened no new window
}

TEST_F(RunControlsTest, AfterAUserCancelTheButtonsShowARunUntilStop) {
    Start("RunStable");
    auto engine = window->DrawOrbits;
    ASSERT_TRUE(RunGoing());
    QTest::keyClick(window->TopWidget(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !engine->IsRunning(); }));
    ExpectRunning();
    Click("StopButton");
    EXPECT_TRUE(OnGate([&] { return engine->Stopp; }));
    ExpectIdle();
}

TEST_F(RunControlsTest, RandomClicksDuringRunsKeepTheStatesConsistent) {
    const char* buttons[] = {"RunStable", "RunUnstable", "StopButton", "ClearButton", "ScaleUpButton",
                             "ScaleDownButton", "AnimationButton", "PathButton"};
    std::mt19937 random(12345);
    for (int i = 0; i < 400; ++i) {
        const char* b = buttons[random() % std::size(buttons)];
        if (std::string(b).rfind("Run", 0) == 0)
            Start(b);
        else
            Click(b);
        if (i % 16 == 0) QTest::qWait(2);
        // At most one engine runs that has not been asked to stop.
        EXPECT_LE(UnstoppedRunning(), 1);
        EXPECT_EQ(Enabled("RunStable"), Enabled("RunUnstable"));
        if (!Enabled("StopButton")) {
            EXPECT_TRUE(Enabled("RunStable"));
        }
    }
}

}  // namespace
