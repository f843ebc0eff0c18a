#include <cmath>

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
    for (const auto& c : kCases) {
        SetField("dtField", c.dt);
        SetField("SpeedField", c.speed);
        Run(true, 0);
        const double AU = 149600000;
        EXPECT_EQ(V::dt, c.expectedDt) << c.dt;
        EXPECT_DOUBLE_EQ(V::v, c.expectedV) << c.speed;
        EXPECT_EQ(V::x, -AU / 2.4);
        EXPECT_EQ(V::x1, AU / 2.4);
        EXPECT_EQ(V::y2, 4 * AU);
        EXPECT_EQ(V::y, 0);
        EXPECT_EQ(V::vx, 0.4 * V::v);
        EXPECT_EQ(V::vy1, -V::v);
        EXPECT_EQ(V::vx2, -0.8 * V::v);
        EXPECT_EQ(V::vx + V::vx1 + V::vx2, 0.0);  // no total momentum
        EXPECT_EQ(V::xx, V::x);
        EXPECT_EQ(V::yy2, V::y2);
        EXPECT_EQ(V::t, 0);
        EXPECT_EQ(V::tcalc, 0);
        EXPECT_DOUBLE_EQ(V::k * V::mo, 2.68e11);
    }
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
