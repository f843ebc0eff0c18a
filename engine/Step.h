// The arithmetic of one integration step, on the globals of Variables.
#pragma once

// Distances, forces, accelerations from the current positions; then all velocities;
// then all positions with the new velocities (semi-implicit Euler).
void AdvanceStep();
