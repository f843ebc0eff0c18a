// The gate: the program's code runs on one thread at a time.
//
// The user-interface thread holds the gate while it runs a handler of the program;
// an engine thread holds it while it runs and hands it over only at its yield, when
// somebody waits for it. Waiters are served first come, first served. A thread may
// take the gate again while it holds it.
#pragma once

#include <atomic>
#include <cstdint>

namespace fw {

class Gate {
public:
    static void Acquire();
    static void Release();
    // Someone besides the holder waits for the gate.
    static bool Contended();
    // Lets every waiter run once, then takes the gate back; nothing when nobody waits.
    static void HandOver();
    // Gives the gate up completely (for a wait on another thread); returns the depth to restore.
    static int ReleaseAll();
    static void Restore(int depth);
    static bool HeldByThisThread();

    // A place in the queue taken on behalf of a thread that is about to start, so
    // that it runs right after the current holder.
    static std::uint64_t Reserve();
    static void AcquireReserved(std::uint64_t ticket);

    // Called at every yield of the holder, before the hand-over (tests and benchmarks);
    // nil for none.
    static void SetYieldHook(void (*hook)());

    class Hold {
    public:
        Hold() { Acquire(); }
        ~Hold() { Release(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };
};

namespace detail {
// The one word a yield reads, kept by the gate under its lock: kYieldWaiting while
// someone waits for the gate, kYieldHooked while a yield hook is set, else 0.
inline constexpr std::uint32_t kYieldWaiting = 1, kYieldHooked = 2;
extern std::atomic<std::uint32_t> gYieldWork;
// The yield's work when the word it read is not 0: nothing for a thread that does not
// hold the gate.
void YieldSlow(std::uint32_t work);
}  // namespace detail

}  // namespace fw
