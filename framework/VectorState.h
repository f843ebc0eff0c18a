// The vector registers' state as the framework hands control back to the program.
#pragma once

namespace fw::detail {

// Zeroes the upper halves of the 256- and 512-bit vector registers, where the CPU has
// them. Some of the libraries below the framework run AVX code of their own that
// returns without doing so; while they stay dirty, the legacy SSE scalar arithmetic of
// the engine's step runs about a third longer on that thread, and nothing on its way
// clears them again (on a CPU with AVX-512 the C library's string routines work in
// registers that need no clearing, and so never clear them). Safe at any call, since no
// caller keeps a value there across a call; nothing on a CPU without AVX, or in a build
// for another kind of CPU.
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
