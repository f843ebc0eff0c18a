#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "EngineFixture.h"

namespace {

struct StartCase {
    const char* dt;
    const char* speed;
    double expectedDt;
    double expectedV;
};

const StartCase kCases[] = {
    {"50", "100", 50, -32.2}, {"50", "0", 50, 0},  {"50", "-100", 50, 32.2},
    {"abc", "100", 0, -32.2}, {"", "100", 0, -32.2}, {"0.5", "50", 0.5, -16.1},
};

TEST_F(EngineTest, StableStartFromTheTwoFields) {
    const double AU = 149600000;
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.dt) + " / " + c.speed);
        SetField("dtField", c.dt);
        SetField("SpeedField", c.speed);
        testing_support::OnGate([] { V::xx = V::yy = V::xx1 = V::yy1 = V::xx2 = V::yy2 = NAN; });
        Run(true, 0);
        EXPECT_EQ(V::dt, c.expectedDt);
        EXPECT_DOUBLE_EQ(V::v, c.expectedV);
        // The pair 5/6 AU apart on the x axis, about the origin; star 2 at 4 AU on the y axis.
        EXPECT_DOUBLE_EQ(V::x1 - V::x, AU * 5 / 6);
        EXPECT_EQ(V::x + V::x1, 0);
        EXPECT_EQ(V::y2, 598400000);
        EXPECT_EQ(V::y, 0);
        EXPECT_EQ(V::y1, 0);
        EXPECT_EQ(V::x2, 0);
        // No total momentum; the pair turns clockwise on the canvas (y grows downward)
        // at a positive speed, the other way at a negative one, and drifts in -x.
        EXPECT_EQ(V::vx + V::vx1 + V::vx2, 0.0);
        EXPECT_EQ(V::vy + V::vy1 + V::vy2, 0.0);
        const double spin = (V::x * V::vy - V::y * V::vx) + (V::x1 * V::vy1 - V::y1 * V::vx1);
        EXPECT_EQ((spin > 0) - (spin < 0), (c.expectedV < 0) - (c.expectedV > 0));
        EXPECT_EQ(V::vx + V::vx1 < 0, c.expectedV < 0);
        // The pictures were last drawn at the start positions.
        EXPECT_EQ((std::array{V::xx, V::yy, V::xx1, V::yy1, V::xx2, V::yy2}),
                  (std::array{V::x, V::y, V::x1, V::y1, V::x2, V::y2}));
        EXPECT_EQ(V::t, 0);
        EXPECT_EQ(V::tcalc, 0);
        EXPECT_DOUBLE_EQ(V::k * V::mo, 2.68e11);
    }
    // At 100 percent, the velocities in km/s.
    SetField("dtField", "50");
    SetField("SpeedField", "100");
    Run(true, 0);
    for (auto [got, want] : {std::pair{V::vx, -12.88}, {V::vy, -32.2}, {V::vx1, -12.88}, {V::vy1, 32.2},
                             {V::vx2, 25.76}, {V::vy2, 0.0}})
        EXPECT_DOUBLE_EQ(got, want);
}

TEST_F(EngineTest, UnstableStartIsARigidlyTurningTriangle) {
    for (const auto& c : kCases) {
        SetField("dtField", c.dt);
        SetField("SpeedField", c.speed);
        Run(false, 0);
        const double AU = 149600000;
        EXPECT_EQ(V::dt, c.expectedDt);
        EXPECT_DOUBLE_EQ(V::v, c.expectedV);
        EXPECT_EQ(V::x1, AU);
        EXPECT_EQ(V::x, -AU / 2);
        EXPECT_EQ(V::x2, -AU / 2);
        EXPECT_EQ(V::y, -V::y2);
        const double rx[] = {V::x, V::x1, V::x2}, ry[] = {V::y, V::y1, V::y2};
        const double vx[] = {V::vx, V::vx1, V::vx2}, vy[] = {V::vy, V::vy1, V::vy2};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(std::hypot(rx[i], ry[i]), AU, 1e-6);                          // circumradius AU
            EXPECT_NEAR(std::hypot(vx[i], vy[i]), std::fabs(V::v), 1e-12);            // speed |v|
            EXPECT_NEAR(rx[i] * vx[i] + ry[i] * vy[i], 0, 1e-3 * AU);                 // perpendicular
        }
    }
}

TEST_F(EngineTest, StartPositionsOnTheCanvasAtTheStartScale) {
    Run(true, 0);
    EXPECT_EQ(V::sck, 3000000);
    EXPECT_EQ(V::scx, 270);
    EXPECT_EQ(V::scy, 220);
    EXPECT_NEAR(V::x / V::sck, -21, 0.5);
    EXPECT_NEAR(V::x1 / V::sck, 21, 0.5);
    EXPECT_NEAR(V::y2 / V::sck, 199, 0.5);
    Run(false, 0);
    EXPECT_NEAR(V::x1 / V::sck, 50, 0.5);
    EXPECT_NEAR(V::x / V::sck, -25, 0.5);
    EXPECT_NEAR(V::y / V::sck, 43, 0.5);
    EXPECT_NEAR(V::y2 / V::sck, -43, 0.5);
}

TEST_F(EngineTest, EveryStartResetsTheScaleButNotTheDrawingCounter) {
    Run(true, 0);
    testing_support::OnGate([] {
        V::sck = 15000000;
        V::tt = 1234;
        V::ct = 7;
    });
    Run(true, 0);
    EXPECT_EQ(V::sck, 3000000);
    EXPECT_EQ(V::tt, 1234);
    EXPECT_EQ(V::ct, 7);
}

}  // namespace
