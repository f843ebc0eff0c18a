#include "engine/BackGroundDrawing.h"

#include <cmath>
#include <limits>

#include "engine/RunDisplay.h"
#include "engine/Step.h"
#include "engine/Variables.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "ui/Window1.h"

namespace V = Variables;
using fw::NonNil;
using fw::Pow;
using fw::Sqrt;

namespace {

constexpr double kOrbitYearSeconds = 30758400;  // 356 days of 86,400 s
constexpr double kYearsDisplaySteps = 500;      // the years are shown when tcalc exceeds this many steps

std::string FieldText(const char* name) {
    return NonNil(NonNil(Window1()).Find<fw::TextField>(name)).Text();
}

std::string YearsText() { return fw::Str(fw::IntegerToDouble(V::ct) / 10); }

// The label of the years, looked up anew at each display.
void ShowYears() { NonNil(NonNil(Window1()).Find<fw::StaticText>("StaticText8")).SetText(YearsText()); }

// The clocks of a new run. The drawing counter tt carries over from the last run,
// except where a time step of "-1e999" left it minus infinity, or "1e999" then
// "-1e999" left it not a number: it would never pass a frame test again, and no later
// run would draw. A tt of plus infinity (after "1e999") carries over: the first step
// passes the frame test, sets tt to 0 and draws.
void StartClocks() {
    V::t = 0;
    V::tcalc = 0;
    if (std::isnan(V::tt) || V::tt == -std::numeric_limits<double>::infinity()) V::tt = 0;
}

// The time, and on every display step the elapsed orbit years in tenths.
void YearsDisplay() {
    V::t = V::t + V::dt;
    V::tcalc = V::tcalc + V::dt;
    if (kYearsDisplaySteps * V::dt < V::tcalc) V::tcalc = 0;
    if (V::tcalc == 0) {
        V::ct = fw::DoubleToInteger((V::t / kOrbitYearSeconds) * 10);
        ShowYears();
    }
}

}  // namespace

BackGroundDrawing::~BackGroundDrawing() { theCanvas = nullptr; }

void BackGroundDrawing::Event_Run() {
    NonNil(Window1()).Refresh(true);
    Scale();
    if (V::Stable)
        VarStable();
    else
        VarUnstable();
    StarDraw();
}

void BackGroundDrawing::StarDraw() {
    for (;;) {
        if (fw::UserCancelled()) return;
        if (Stopp) return;
        AdvanceStep();
        if (!V::Valinta) PathStep();
        YearsDisplay();
        if (V::Valinta) AnimationStep();
        fw::YieldToEventLoop();
    }
}

void BackGroundDrawing::Scale() {
    V::AU = 1.496 * Pow(10, 8);
    V::scx = 270;
    V::scy = 220;
    V::sck = 3 * Pow(10, 6);
}

// A close pair on the x axis with a distant third star on the y axis.
void BackGroundDrawing::VarStable() {
    V::dt = fw::Val(FieldText("dtField"));
    StartClocks();
    V::x = (-V::AU) / 2.4;
    V::y = 0;
    V::xx = V::x;
    V::yy = V::y;
    V::x1 = V::AU / 2.4;
    V::xx1 = V::x1;
    V::y1 = 0;
    V::yy1 = V::y1;
    V::x2 = 0;
    V::xx2 = V::x2;
    V::y2 = 4 * V::AU;
    V::yy2 = V::y2;
    V::vpc = fw::Val(FieldText("SpeedField"));
    V::v = (-32.2 * V::vpc) / 100;
    V::vx = 0.4 * V::v;
    V::vy = V::v;
    V::vx1 = 0.4 * V::v;
    V::vy1 = -V::v;
    V::vx2 = -0.8 * V::v;
    V::vy2 = 0;
    V::k = 6.7 * Pow(10, -8);
    V::mo = 4 * Pow(10, 18);
}

// An equilateral triangle of circumradius AU, turning as a rigid body.
void BackGroundDrawing::VarUnstable() {
    V::dt = fw::Val(FieldText("dtField"));
    StartClocks();
    V::x = (-V::AU) / 2;
    V::xx = V::x;
    V::y = (V::AU * Sqrt(3)) / 2;
    V::yy = V::y;
    V::x1 = V::AU;
    V::xx1 = V::x1;
    V::y1 = 0;
    V::yy1 = V::y1;
    V::x2 = (-V::AU) / 2;
    V::xx2 = V::x2;
    V::y2 = ((-V::AU) * Sqrt(3)) / 2;
    V::yy2 = V::y2;
    V::vpc = fw::Val(FieldText("SpeedField"));
    V::v = (-32.2 * V::vpc) / 100;
    V::vx = ((-V::v) * Sqrt(3)) / 2;
    V::vy = (-V::v) / 2;
    V::vx1 = 0;
    V::vy1 = V::v;
    V::vx2 = (V::v * Sqrt(3)) / 2;
    V::vy2 = (-V::v) / 2;
    V::k = 6.7 * Pow(10, -8);
    V::mo = 4 * Pow(10, 18);
}
