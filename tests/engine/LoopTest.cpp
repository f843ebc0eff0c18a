#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "engine/Pictures.h"
#include "framework/Values.h"

namespace {

class LoopTest : public EngineTest {
protected:
    std::vector<long> ZeroSteps(bool stable, long steps, const double& counter) {
        std::vector<long> at;
        Run(stable, steps, [&](long step) {
            if (counter == 0) at.push_back(step);
        });
        return at;
    }
    void SetMode(bool animation) {
        testing_support::OnGate([&] { V::Valinta = animation; });
    }
    // A label and a ct that no display of a run could give, so that a display shows.
    void ShowOldYears() {
        testing_support::OnGate([&] {
            fw::NonNil(window->StaticText8()).SetText("-");
            V::ct = 7;
        });
    }
    // The on-screen picture of what the run left on a wiped canvas: how many pixels
    // differ from the background.
    int DrawnPixels() {
        return testing_support::OnGate([&] {
            int drawn = 0;
            for (int y = 0; y < Canvas().Height(); ++y)
                for (int x = 0; x < Canvas().Width(); ++x) drawn += !(Canvas().Pixel(x, y) == kBackground);
            return drawn;
        });
    }
    std::vector<std::uint32_t> CanvasPixels() {
        return testing_support::OnGate([&] {
            std::vector<std::uint32_t> pixels;
            for (int y = 0; y < Canvas().Height(); ++y)
                for (int x = 0; x < Canvas().Width(); ++x) pixels.push_back(Canvas().Pixel(x, y).rgb);
            return pixels;
        });
    }
    static constexpr fw::Color kBackground{0xC1DBD3};
};

TEST_F(LoopTest, YearsAreShownEvery501StepsAtDt50AndEvery500AtDt01) {
    EXPECT_EQ(ZeroSteps(true, 1600, V::tcalc), (std::vector<long>{501, 1002, 1503}));
    SetField("dtField", "0.1");
    EXPECT_EQ(ZeroSteps(true, 1600, V::tcalc), (std::vector<long>{500, 1000, 1500}));
}

TEST_F(LoopTest, TheYearsLabelShowsTenthsOfAYearFromTheTime) {
    SetField("dtField", "50");
    ShowOldYears();
    std::string before;
    Run(true, 501, [&](long step) {
        if (step == 500) before = Years();
    });
    EXPECT_EQ(before, "-");  // nothing shown before the first display step
    EXPECT_EQ(V::t, 25050);
    EXPECT_EQ(V::ct, 0);
    EXPECT_EQ(Years(), "0");
    SetField("dtField", "3600");
    Run(true, 501 * 2);  // t = 3,607,200 s: 1.17 years
    EXPECT_EQ(V::ct, 1);
    EXPECT_EQ(Years(), "0.1");
    // A new run keeps showing the last value until its own first display.
    SetField("dtField", "50");
    std::vector<std::string> shown;
    Run(true, 500, [&](long) { shown.push_back(Years()); });
    EXPECT_EQ(shown.back(), "0.1");
}

// The orbit year is 356 days of 86,400 s. A time exactly on a tenth-year boundary
// shows that tenth and a time one Double below it the tenth before, so a year longer
// by any amount fails the first kind of case and a shorter one the second.
TEST_F(LoopTest, TheOrbitYearIs30758400Seconds) {
    constexpr double kTenth = 3075840;
    struct Case {
        double t;
        std::int32_t ct;
        const char* years;
    } cases[] = {{3 * kTenth, 3, "0.3"},
                 {std::nextafter(3 * kTenth, 0.0), 2, "0.2"},
                 {1000 * kTenth, 1000, "100"},
                 {std::nextafter(1000 * kTenth, 0.0), 999, "99.9"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hexfloat << c.t);
        Run(true, 0);
        testing_support::OnGate([&] {  // the next step is a display step and ends at c.t
            V::t = c.t - V::dt;
            V::tcalc = 500 * V::dt;
        });
        RunMore(1);
        ASSERT_EQ(V::t, c.t);
        EXPECT_EQ(V::ct, c.ct);
        EXPECT_EQ(Years(), c.years);
    }
}

TEST_F(LoopTest, PathFramesEvery51StepsAtDt50AndEvery50AtDt03) {
    SetMode(false);
    EXPECT_EQ(ZeroSteps(true, 160, V::tt), (std::vector<long>{51, 102, 153}));
    testing_support::OnGate([] { V::tt = 0; });
    SetField("dtField", "0.3");
    EXPECT_EQ(ZeroSteps(true, 160, V::tt), (std::vector<long>{50, 100, 150}));
}

TEST_F(LoopTest, APathFrameSetsOnePixelPerStarInItsColour) {
    SetMode(false);
    window->Refresh(true);
    Run(true, 51);
    const fw::Color back{0xC1DBD3};
    const int px[] = {fw::DoubleToInteger(270 + V::x / V::sck), fw::DoubleToInteger(270 + V::x1 / V::sck),
                      fw::DoubleToInteger(270 + V::x2 / V::sck)};
    const int py[] = {fw::DoubleToInteger(220 + V::y / V::sck), fw::DoubleToInteger(220 + V::y1 / V::sck),
                      fw::DoubleToInteger(220 + V::y2 / V::sck)};
    EXPECT_EQ(Canvas().Pixel(px[0], py[0]), fw::RGB(0, 0, 255));
    EXPECT_EQ(Canvas().Pixel(px[1], py[1]), fw::RGB(0, 150, 0));
    EXPECT_EQ(Canvas().Pixel(px[2], py[2]), fw::RGB(255, 0, 0));
    int coloured = 0;
    for (int y = 0; y < 486; ++y)
        for (int x = 0; x < 567; ++x) coloured += !(Canvas().Pixel(x, y) == back);
    EXPECT_EQ(coloured, 3);
}

TEST_F(LoopTest, AnimationFramesEvery101Steps) {
    SetMode(true);
    EXPECT_EQ(ZeroSteps(true, 320, V::tt), (std::vector<long>{101, 202, 303}));
}

TEST_F(LoopTest, AnimationFrameRemembersWhereThePicturesWent) {
    SetMode(true);
    std::vector<double> xxAt100;
    Run(true, 101, [&](long step) {
        if (step == 100) xxAt100 = {V::xx, V::yy2};
    });
    EXPECT_EQ(xxAt100[0], -149600000 / 2.4);  // untouched until the first frame
    EXPECT_EQ(V::xx, V::x);
    EXPECT_EQ(V::yy2, V::y2);
}

TEST_F(LoopTest, TheDrawingCounterCarriesOverIntoTheNextRunAndMode) {
    SetMode(true);
    Run(true, 80);
    testing_support::OnGate([] { V::tt = 4000; });
    SetMode(false);
    std::vector<long> at;
    Run(true, 60, [&](long step) {
        if (V::tt == 0) at.push_back(step);
    });
    EXPECT_EQ(at, (std::vector<long>{1, 52}));
}

// With a time step of 0 or below, tt and tcalc exceed their thresholds at every step.
TEST_F(LoopTest, ZeroAndNegativeTimeStepsShowTheYearsAndDrawAFrameAtEveryStep) {
    struct Case {
        const char* dt;
        double t;           // after 30 steps
        const char* years;  // shown after them
        bool still;         // the stars keep their start positions
    } cases[] = {{"0", 0, "0", true}, {"-1e6", -3e7, "-0.9", false}};  // -3e7 s: -9.75 tenths
    for (const auto& c : cases) {
        for (bool animation : {false, true}) {
            SCOPED_TRACE(std::string(c.dt) + (animation ? " animation" : " paths"));
            SetField("dtField", c.dt);
            SetMode(animation);
            ShowOldYears();
            testing_support::OnGate([] { V::ax = NAN; });
            Run(true, 0);
            const double x = V::x, y2 = V::y2;
            long frames = 0, years = 0;
            RunMore(30, [&](long) {
                frames += V::tt == 0;
                years += V::tcalc == 0;
            });
            EXPECT_EQ(frames, 30);
            EXPECT_EQ(years, 30);
            EXPECT_EQ(V::t, c.t);
            EXPECT_EQ(Years(), c.years);
            EXPECT_EQ(V::x == x && V::y2 == y2, c.still);
            EXPECT_TRUE(std::isfinite(V::ax) && V::ax != 0);  // the forces are computed all the same
        }
    }
}

// An infinite time step spoils the drawing of its own run only. After "1e999" the
// drawing counter is +inf: the next run's first step passes the frame test, sets it to 0
// and draws at step 1. After "-1e999" it is -inf, and after "1e999" then "-1e999" not a
// number; neither passes a frame test again, so the next run starts it at 0 and draws
// what the first run of a fresh program draws.
TEST_F(LoopTest, ARunAfterAnInfiniteTimeStepDrawsAgain) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        std::vector<const char*> earlier;
        bool fresh;  // else the counter is +inf at the start and the first frame is at step 1
    } cases[] = {{{}, true}, {{"-1e999"}, true}, {{"1e999", "-1e999"}, true}, {{"1e999"}, false}};
    constexpr long kSteps = 1000;
    for (bool animation : {false, true}) {
        const long period = animation ? 101 : 51;  // steps from one frame to the next at dt 50
        std::vector<std::uint32_t> fresh;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (animation ? "animation" : "paths") << " after " << c.earlier.size()
                                            << " bad runs" << (c.fresh ? "" : ", the last at 1e999"));
            testing_support::OnGate([] { V::tt = 0; });  // as at program start
            SetMode(animation);
            for (const char* dt : c.earlier) {
                SetField("dtField", dt);
                Run(false, 300);
            }
            if (!c.fresh) {
                EXPECT_EQ(testing_support::OnGate([] { return V::tt; }), kInf);
            }
            SetField("dtField", "50");
            window->Refresh(true);
            std::vector<long> frames, want;
            int drawnAtFirstFrame = 0;
            Run(false, kSteps, [&](long step) {
                if (V::tt != 0) return;
                if (frames.empty()) drawnAtFirstFrame = DrawnPixels();
                frames.push_back(step);
            });
            for (long s = c.fresh ? period : 1; s <= kSteps; s += period) want.push_back(s);
            EXPECT_EQ(frames, want);
            EXPECT_GT(drawnAtFirstFrame, 0);
            if (c.earlier.empty()) {
                fresh = CanvasPixels();
            } else if (c.fresh) {
                const std::vector<std::uint32_t> now = CanvasPixels();
                long differ = 0;
                for (std::size_t i = 0; i < now.size(); ++i) differ += now[i] != fresh[i];
                EXPECT_EQ(differ, 0) << "pixels that differ from the fresh program's";
            }
        }
    }
}

TEST_F(LoopTest, DegenerateNumbersGoThroughAndTheRunGoesOn) {
    struct Case {
        const char* dt;
        bool collide;
    } cases[] = {{"50", true}, {"1e999", false}, {"-1e999", false}, {"1e300", false}};
    for (const auto& c : cases) {
        SetField("dtField", c.dt);
        for (bool animation : {false, true}) {
            SetMode(animation);
            Run(true, 0);
            if (c.collide)
                testing_support::OnGate([] {
                    V::x1 = V::x;
                    V::y1 = V::y;
                });
            double t = 0;  // every one of the 250 steps counts its time
            for (int i = 0; i < 250; ++i) t += V::dt;
            RunMore(250);
            EXPECT_EQ(V::t, t) << c.dt;
            EXPECT_FALSE(std::isfinite(V::x) && std::isfinite(V::x1) && std::isfinite(V::vx)) << c.dt;
        }
    }
}

// Coordinates beyond the Integer range come to its bounds, far off the canvas; at a
// scale too coarse to tell the stars apart, all three are drawn at the origin pixel,
// star 2 last.
TEST_F(LoopTest, ScalesFarOutOfRangeDrawOffTheCanvasOrAtTheOrigin) {
    const fw::Ref<fw::Picture> ar3 = AR3();
    ASSERT_NE(ar3, nullptr);
    int ar3Pixels = 0;
    for (int y = 0; y < ar3->Height(); ++y)
        for (int x = 0; x < ar3->Width(); ++x) ar3Pixels += (ar3->Image().pixel(x, y) & 0xFFFFFF) != kBackground.rgb;
    for (double sck : {0.0, 1e-300, 1e300, static_cast<double>(INFINITY)}) {
        for (bool animation : {false, true}) {
            SCOPED_TRACE(std::to_string(sck) + (animation ? " animation" : " paths"));
            const bool atOrigin = sck > 1;
            SetMode(animation);
            Run(true, 0);
            testing_support::OnGate([&] {
                V::sck = sck;
                window->Refresh(true);
            });
            RunMore(210);  // a frame at least once in 101 steps
            EXPECT_EQ(DrawnPixels(), !atOrigin ? 0 : animation ? ar3Pixels : 1);
            if (atOrigin) {
                const fw::Color centre = testing_support::OnGate([&] { return Canvas().Pixel(270, 220); });
                EXPECT_EQ(centre.rgb, animation ? ar3->Image().pixel(3, 3) & 0xFFFFFF : 0xFF0000u);
            }
        }
    }
}

}  // namespace
