// The state of the simulation, shared by the engine and the main window.
//
// Units: kilometres, seconds, km/s, km/s^2. Star 0's values carry no suffix, star
// 1's and star 2's the suffixes 1 and 2. Distances: r (stars 0-1), r1 (1-2),
// r2 (0-2); forces: f (from r), f1 (from r2), f2 (from r1), negative for attraction.
// All zero at program start. The program's code runs on the gate, which a running
// engine lets go only at its yield, at the end of a step: the user interface changes
// these only between two steps.
#pragma once

#include <cstdint>

namespace Variables {

inline bool Stable = false;   // configuration of the next run: stable or unstable
inline bool Valinta = false;  // display mode: true animation, false paths
inline double AU = 0;         // astronomical unit, km
inline double scx = 0, scy = 0;  // canvas pixel of the origin
inline double sck = 0;           // km per pixel
inline double dt = 0;            // time step, s
inline double vpc = 0;           // speed percentage
inline double v = 0;             // start speed, km/s
inline double k = 0;             // gravitational constant
inline double mo = 0;            // mass of each star
inline double x = 0, y = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
inline double vx = 0, vy = 0, vx1 = 0, vy1 = 0, vx2 = 0, vy2 = 0;
inline double ax = 0, ay = 0, ax1 = 0, ay1 = 0, ax2 = 0, ay2 = 0;
inline double r = 0, r1 = 0, r2 = 0;
inline double f = 0, f1 = 0, f2 = 0;
inline double xx = 0, yy = 0, xx1 = 0, yy1 = 0, xx2 = 0, yy2 = 0;  // where each picture was last drawn
inline double t = 0;      // simulated time since the start of the run, s
inline double tcalc = 0;  // counter of the years display, s
inline double tt = 0;     // counter of the drawing, s; carries over from run to run
inline std::int32_t ct = 0;  // elapsed time in tenths of an orbit year, as last shown

}  // namespace Variables
