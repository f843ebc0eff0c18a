#include "Gate.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <errno.h>
#include <mutex>
#include <utility>

namespace fw {

namespace detail {
std::atomic<std::uint32_t> gYieldWork{0};
}

namespace {

std::mutex gMutex;
std::condition_variable gTurn;
// Ticket lock, guarded by gMutex: the holder's ticket is `serving`; the gate is free
// when serving == next.
std::uint64_t gNext = 0;
std::uint64_t gServing = 0;
Gate::Loan* gOffered = nullptr;  // guarded by gMutex
std::atomic<void (*)()> gHook{nullptr};  // written under gMutex
thread_local int tDepth = 0;
// On the borrower while it runs a loan: the depth of the lender's hold, which this
// thread may not let go.
thread_local int tLentDepth = 0;
thread_local bool tBorrower = false;

// Call with gMutex held, after every change of the queue or the hook.
void Publish() {
    const std::uint32_t word = (gNext - gServing > 1 ? detail::kYieldWaiting : 0u) |
                               (gHook.load(std::memory_order_relaxed) ? detail::kYieldHooked : 0u);
    detail::gYieldWork.store(word, std::memory_order_relaxed);
}

// Runs the loan on offer on the borrower, with gMutex held on entry and on return.
void RunOffered(std::unique_lock<std::mutex>& lock) {
    Gate::Loan* loan = std::exchange(gOffered, nullptr);
    lock.unlock();
    const int depth = std::exchange(tDepth, 1);
    tLentDepth = 1;
    loan->RunLent();
    if (tDepth != 1) detail::Refuse("a call lent the gate", "returned at another depth of the gate than it began");
    tLentDepth = 0;
    tDepth = depth;
    lock.lock();
}

// Waits for the ticket's turn; the borrower runs the loans offered meanwhile (the
// holder waits for them, so without this both would wait for each other).
void WaitFor(std::uint64_t ticket) {
    std::unique_lock lock(gMutex);
    for (;;) {
        gTurn.wait(lock, [ticket] { return gServing == ticket || (tBorrower && gOffered); });
        if (gServing == ticket) return;
        RunOffered(lock);
    }
}

// The holder's last level gone: the next in the queue gets the gate.
void LetGo() {
    {
        std::lock_guard lock(gMutex);
        ++gServing;
        Publish();
    }
    gTurn.notify_all();
}

}  // namespace

void detail::Refuse(const char* where, const char* what) {
    std::fprintf(stderr, "%s: %s %s\n", program_invocation_short_name, where, what);
    std::abort();
}

std::uint64_t Gate::Reserve() {
    std::lock_guard lock(gMutex);
    const std::uint64_t ticket = gNext++;
    Publish();
    return ticket;
}

void Gate::AcquireReserved(std::uint64_t ticket) {
    WaitFor(ticket);
    tDepth = 1;
}

void Gate::Acquire() {
    if (tDepth > 0) {
        ++tDepth;
        return;
    }
    WaitFor(Reserve());
    tDepth = 1;
}

void Gate::Release() {
    if (tDepth <= tLentDepth) detail::Refuse("Gate::Release", "called off the gate");
    if (--tDepth > 0) return;
    LetGo();
}

void Gate::ReleaseLast(const char* where) {
    if (tDepth != 1 || tLentDepth != 0) detail::Refuse(where, "ended holding the gate another number of times than once");
    tDepth = 0;
    LetGo();
}

bool Gate::Contended() {
    return (detail::gYieldWork.load(std::memory_order_relaxed) & detail::kYieldWaiting) != 0;
}

void Gate::HandOver() {
    if (tDepth <= tLentDepth) detail::Refuse("Gate::HandOver", "called off the gate");
    if (!Contended()) return;
    // Queue up again in the same step as letting go, so that the waiters cannot
    // take the gate back and forth among themselves while this thread waits for the lock.
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(gMutex);
        ticket = gNext++;
        ++gServing;
        Publish();
    }
    gTurn.notify_all();
    WaitFor(ticket);
}

Gate::Away::Away() : depth_(tDepth) {
    if (tLentDepth != 0) detail::Refuse("Gate::Away", "called on a gate that is only lent");
    if (depth_ == 0) return;
    tDepth = 0;
    LetGo();
}

Gate::Away::~Away() {
    if (depth_ == 0) return;
    WaitFor(Reserve());
    tDepth = depth_;
}

bool Gate::HeldByThisThread() { return tDepth > 0; }

void Gate::BecomeBorrower() { tBorrower = true; }

void Gate::Offer(Loan& loan) {
    if (tDepth == 0 || tBorrower) detail::Refuse("Gate::Offer", "called by a thread that does not hold the gate for itself");
    {
        std::lock_guard lock(gMutex);
        if (gOffered) detail::Refuse("Gate::Offer", "called while another loan is on offer");
        gOffered = &loan;
    }
    gTurn.notify_all();  // a borrower that waits for the gate takes it there
}

bool Gate::Withdraw(Loan& loan) {
    std::lock_guard lock(gMutex);
    if (gOffered != &loan) return false;
    gOffered = nullptr;
    return true;
}

void Gate::TakeLoan() {
    if (!tBorrower) return;
    std::unique_lock lock(gMutex);
    if (gOffered) RunOffered(lock);
}

bool Gate::Borrowed() { return tLentDepth != 0; }

void Gate::SetYieldHook(void (*hook)()) {
    std::lock_guard lock(gMutex);
    gHook.store(hook, std::memory_order_relaxed);
    Publish();
}

void detail::YieldSlow(std::uint32_t work) {
    if (tDepth == 0 || tLentDepth != 0) return;
    if (work & kYieldHooked)
        if (auto hook = gHook.load(std::memory_order_relaxed)) hook();
    if (work & kYieldWaiting) Gate::HandOver();
}

}  // namespace fw
