#include "engine/Step.h"

#include "engine/Variables.h"
#include "framework/Values.h"

namespace V = Variables;
using fw::Pow;
using fw::Sqrt;

namespace {

// Distances, forces and accelerations from the positions of this step, each result
// stored before the next formula reads it.
void Accelerations() {
    V::r = Sqrt(Pow(V::x - V::x1, 2) + Pow(V::y - V::y1, 2));
    V::r1 = Sqrt(Pow(V::x2 - V::x1, 2) + Pow(V::y2 - V::y1, 2));
    V::r2 = Sqrt(Pow(V::x - V::x2, 2) + Pow(V::y - V::y2, 2));

    V::f = ((-V::k) * V::mo) * V::mo / Pow(V::r, 2);
    V::f1 = ((-V::k) * V::mo) * V::mo / Pow(V::r2, 2);
    V::f2 = ((-V::k) * V::mo) * V::mo / Pow(V::r1, 2);

    V::ax = (((V::x - V::x1) / V::r) / V::mo) * V::f + (((V::x - V::x2) / V::r2) / V::mo) * V::f1;
    V::ay = (((V::y - V::y1) / V::r) / V::mo) * V::f + (((V::y - V::y2) / V::r2) / V::mo) * V::f1;
    V::ax1 = (((V::x1 - V::x) / V::r) / V::mo) * V::f + (((V::x1 - V::x2) / V::r1) / V::mo) * V::f2;
    V::ay1 = (((V::y1 - V::y) / V::r) / V::mo) * V::f + (((V::y1 - V::y2) / V::r1) / V::mo) * V::f2;
    V::ax2 = (((V::x2 - V::x) / V::r2) / V::mo) * V::f1 + (((V::x2 - V::x1) / V::r1) / V::mo) * V::f2;
    V::ay2 = (((V::y2 - V::y) / V::r2) / V::mo) * V::f1 + (((V::y2 - V::y1) / V::r1) / V::mo) * V::f2;
}

// Semi-implicit Euler: all velocities first, then the positions with the new velocities.
void Kick() {
    V::vx = V::vx + (V::ax * V::dt);
    V::vy = V::vy + (V::ay * V::dt);
    V::vx1 = V::vx1 + (V::ax1 * V::dt);
    V::vy1 = V::vy1 + (V::ay1 * V::dt);
    V::vx2 = V::vx2 + (V::ax2 * V::dt);
    V::vy2 = V::vy2 + (V::ay2 * V::dt);
}

void Drift() {
    V::x = V::x + (V::vx * V::dt);
    V::y = V::y + (V::vy * V::dt);
    V::x1 = V::x1 + (V::vx1 * V::dt);
    V::y1 = V::y1 + (V::vy1 * V::dt);
    V::x2 = V::x2 + (V::vx2 * V::dt);
    V::y2 = V::y2 + (V::vy2 * V::dt);
}

}  // namespace

void AdvanceStep() {
    Accelerations();
    Kick();
    Drift();
}

