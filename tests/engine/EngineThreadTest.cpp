// The engine on its own thread, as a run goes.
#include <QLineEdit>

#include "EngineFixture.h"

using namespace testing_support;

namespace {

class EngineThreadTest : public EngineTest {
protected:
    fw::Ref<BackGroundDrawing> Start(bool stable, bool stopFirst = false) {
        auto e = fw::New<BackGroundDrawing>();
        OnGate([&] {
            e->theCanvas = window->Canvas1();
            e->Stopp = stopFirst;
            V::Stable = stable;
            e->Run();
        });
        return e;
    }
    static bool Ended(const fw::Ref<BackGroundDrawing>& e) { return WaitFor([&] { return !e->IsRunning(); }); }
};

TEST_F(EngineThreadTest, AStopBeforeTheThreadBeginsStillWipesAndSetsUpButTakesNoStep) {
    OnGate([&] {
        Canvas().Pixel(3, 3, fw::RGB(1, 2, 3));
        V::t = 99;
        V::x = 5;
    });
    auto e = Start(true, true);
    ASSERT_TRUE(Ended(e));
    OnGate([&] {
        EXPECT_EQ(Canvas().Pixel(3, 3), fw::Color{0xC1DBD3});
        EXPECT_EQ(V::t, 0);
        EXPECT_EQ(V::x, -149600000 / 2.4);
        EXPECT_EQ(V::sck, 3000000);
    });
}

TEST_F(EngineThreadTest, StableAndUnstableStartsChooseTheirConfiguration) {
    for (bool stable : {true, false}) {
        auto e = Start(stable, true);
        ASSERT_TRUE(Ended(e));
        OnGate([&] { EXPECT_EQ(V::x1, stable ? 149600000 / 2.4 : 149600000.0); });
    }
}

TEST_F(EngineThreadTest, StopEndsTheRunAtTheNextStep) {
    auto e = Start(false);
    ASSERT_TRUE(WaitFor([&] { return OnGate([] { return V::t > 50 * 1000; }); }));
    double tAtStop = 0;
    OnGate([&] {
        e->Stopp = true;
        tAtStop = V::t;
    });
    ASSERT_TRUE(Ended(e));
    OnGate([&] { EXPECT_EQ(V::t, tAtStop); });  // no step after the stop
}

TEST_F(EngineThreadTest, AUserCancelEndsTheRunAndChangesNoControl) {
    auto e = Start(true);
    ASSERT_TRUE(WaitFor([&] { return OnGate([] { return V::t > 0; }); }));
    const bool stopEnabled = window->StopButton()->Enabled();
    const std::string dt = window->dtField()->Text();
    QTest::keyClick(window->TopWidget(), Qt::Key_Escape);
    ASSERT_TRUE(Ended(e));
    EXPECT_FALSE(e->Stopp);
    EXPECT_EQ(window->StopButton()->Enabled(), stopEnabled);
    EXPECT_EQ(window->dtField()->Text(), dt);
    EXPECT_TRUE(window->IsOpen());
}

TEST_F(EngineThreadTest, ANilCanvasEndsTheRunWithAReportAndTheApplicationGoesOn) {
    OnGate([] { V::Valinta = false; });
    StderrCapture err;
    auto e = Start(true);
    ASSERT_TRUE(WaitFor([&] { return OnGate([] { return V::t > 0; }); }));
    OnGate([&] {
        // A control of another class under the canvas's name: the look-up gives nil.
        auto label = window->New<fw::StaticText>();
        window->AddControl("Canvas1", label);
    });
    ASSERT_TRUE(Ended(e));
    err.Restore();
    EXPECT_NE(err.Text().find("NilObjectException in BackGroundDrawing.Run"), std::string::npos) << err.Text();
    EXPECT_TRUE(window->IsOpen());
}

TEST_F(EngineThreadTest, TheYearsReachTheLabelFromTheEngineThread) {
    SetField("dtField", "100000");
    auto e = Start(true);
    ASSERT_TRUE(WaitFor([&] { return window->StaticText8()->Widget()->property("text").toString() != "0"; }));
    OnGate([&] { e->Stopp = true; });
    ASSERT_TRUE(Ended(e));
}

}  // namespace
