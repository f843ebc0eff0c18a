#include "Gate.h"

#include <condition_variable>
#include <mutex>

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
std::atomic<void (*)()> gHook{nullptr};  // written under gMutex
thread_local int tDepth = 0;

// Call with gMutex held, after every change of the queue or the hook.
void Publish() {
    const std::uint32_t word = (gNext - gServing > 1 ? detail::kYieldWaiting : 0u) |
                               (gHook.load(std::memory_order_relaxed) ? detail::kYieldHooked : 0u);
    detail::gYieldWork.store(word, std::memory_order_relaxed);
}

void WaitFor(std::uint64_t ticket) {
    std::unique_lock lock(gMutex);
    gTurn.wait(lock, [ticket] { return gServing == ticket; });
}

}  // namespace

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
    if (tDepth++ > 0) return;
    WaitFor(Reserve());
}

void Gate::Release() {
    if (--tDepth > 0) return;
    {
        std::lock_guard lock(gMutex);
        ++gServing;
        Publish();
    }
    gTurn.notify_all();
}

bool Gate::Contended() {
    return (detail::gYieldWork.load(std::memory_order_relaxed) & detail::kYieldWaiting) != 0;
}

void Gate::HandOver() {
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

int Gate::ReleaseAll() {
    const int depth = tDepth;
    if (depth > 0) {
        tDepth = 1;
        Release();
    }
    return depth;
}

void Gate::Restore(int depth) {
    if (depth <= 0) return;
    Acquire();
    tDepth = depth;
}

bool Gate::HeldByThisThread() { return tDepth > 0; }

void Gate::SetYieldHook(void (*hook)()) {
    std::lock_guard lock(gMutex);
    gHook.store(hook, std::memory_order_relaxed);
    Publish();
}

void detail::YieldSlow(std::uint32_t work) {
    if (tDepth == 0) return;
    if (work & kYieldHooked)
        if (auto hook = gHook.load(std::memory_order_relaxed)) hook();
    if (work & kYieldWaiting) Gate::HandOver();
}

}  // namespace fw
