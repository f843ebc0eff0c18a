// The vector registers' state as the framework hands control back to the program.
#pragma once

namespace fw::detail {

// Zeroes the upper halves of the 256- and 512-bit vector registers, where the CPU has
// them. Some of the libraries below the framework run AVX code of their own that
// returns without doing so; a thread whose upper halves stay dirty runs the legacy SSE
// scalar arithmetic of the engine's step markedly slower, for as long as the thread
// lives (nothing on its way clears them again: the C library's AVX-512 string routines
// work in registers that do not count). Safe at any call, since no caller keeps a value
// there across a call; does nothing on a CPU without AVX or a build for another one.
void ClearUpperVectorState();

// Clears them as the scope is left, whichever way: for calls into such libraries with
// several ways out.
class ClearUpperVectorStateOnExit {
public:
    ClearUpperVectorStateOnExit() = default;
    ~ClearUpperVectorStateOnExit() { ClearUpperVectorState(); }
    ClearUpperVectorStateOnExit(const ClearUpperVectorStateOnExit&) = delete;
    ClearUpperVectorStateOnExit& operator=(const ClearUpperVectorStateOnExit&) = delete;
};

}  // namespace fw::detail
