// The gate: the program's code runs on one thread at a time.
//
// The user-interface thread holds the gate while it runs a handler of the program;
// an engine thread holds it while it runs and hands it over only at its yield, when
// somebody waits for it. Waiters are served first come, first served. A thread may
// take the gate again while it holds it.
#pragma once

#include <cstdint>

namespace fw {

class Gate {
public:
    static void Acquire();
    static void Release();
    // Someone waits for the gate: a single relaxed load, cheap enough for every step.
    static bool Contended();
    // Lets every waiter run once, then takes the gate back.
    static void HandOver();
    // Gives the gate up completely (for a wait on another thread); returns the depth to restore.
    static int ReleaseAll();
    static void Restore(int depth);
    static bool HeldByThisThread();

    // A place in the queue taken on behalf of a thread that is about to start, so
    // that it runs right after the current holder.
    static std::uint64_t Reserve();
    static void AcquireReserved(std::uint64_t ticket);

    class Hold {
    public:
        Hold() { Acquire(); }
        ~Hold() { Release(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };
};

}  // namespace fw
