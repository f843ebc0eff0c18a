// The gate: the program's code runs on one thread at a time.
//
// The user-interface thread holds the gate while it runs a handler of the program. An
// engine thread holds it from its start to the end of its body, and lets it go only at
// its yield, when somebody waits for it. Between two yields it may have the
// user-interface thread run a call on its behalf (a loan): the gate is lent, not let
// go, so nobody else gets in while the call runs. Waiters are served first come, first
// served. A thread may take the gate again while it holds it.
//
// The depth is checked, not trusted: letting go of a gate that this thread does not
// hold, or ending a thread's body at another depth than it began, ends the process
// with a message that names the call.
#pragma once

#include <atomic>
#include <cstdint>

namespace fw {

class Gate {
public:
    static void Acquire();
    // Once for each Acquire of this thread.
    static void Release();
    // Someone besides the holder waits for the gate.
    static bool Contended();
    // Lets every waiter run once, then takes the gate back; nothing when nobody waits.
    static void HandOver();
    static bool HeldByThisThread();

    // A place in the queue taken on behalf of a thread that is about to start: it gets
    // the gate once every thread queued before it has had its turn.
    static std::uint64_t Reserve();
    static void AcquireReserved(std::uint64_t ticket);
    // The end of a thread's body, which holds the gate once, as AcquireReserved left it.
    static void ReleaseLast(const char* where);

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

    // Gives the gate up completely for a wait on other threads, and takes it back at
    // the same depth when the scope ends, also on an exception.
    class Away {
    public:
        Away();
        ~Away();
        Away(const Away&) = delete;
        Away& operator=(const Away&) = delete;

    private:
        int depth_;
    };

    // A call that the holder has the borrowing thread (the user-interface thread) run
    // on its behalf while it waits.
    class Loan {
    public:
        // On the borrower, which holds the gate for the call.
        virtual void RunLent() noexcept = 0;

    protected:
        ~Loan() = default;
    };
    // Makes this thread the borrower; once, on the user-interface thread.
    static void BecomeBorrower();
    // By the holder, one loan at a time: the borrower runs it at its next TakeLoan, or
    // at once if it waits for the gate.
    static void Offer(Loan& loan);
    // By the holder: takes its loan back; false when the borrower has already begun it.
    static bool Withdraw(Loan& loan);
    // By the borrower: runs the loan on offer, if any.
    static void TakeLoan();
    // This thread runs a loan now.
    static bool Borrowed();
};

namespace detail {
// A rule of the framework broken is a programming error: says which call, and ends the
// process.
[[noreturn]] void Refuse(const char* where, const char* what);

// The one word a yield reads, kept by the gate under its lock: kYieldWaiting while
// someone waits for the gate, kYieldHooked while a yield hook is set, else 0.
inline constexpr std::uint32_t kYieldWaiting = 1, kYieldHooked = 2;
extern std::atomic<std::uint32_t> gYieldWork;
// The yield's work when the word it read is not 0: nothing for a thread that does not
// hold the gate, nor for one that only borrows it.
void YieldSlow(std::uint32_t work);
}  // namespace detail

}  // namespace fw
