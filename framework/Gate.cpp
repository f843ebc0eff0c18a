#include "Gate.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace fw {
namespace {

std::mutex gMutex;
std::condition_variable gTurn;
// Ticket lock: the holder's ticket is `serving`; the gate is free when serving == next.
std::atomic<std::uint64_t> gNext{0};
std::atomic<std::uint64_t> gServing{0};
thread_local int tDepth = 0;

void WaitFor(std::uint64_t ticket) {
    std::unique_lock lock(gMutex);
    gTurn.wait(lock, [ticket] { return gServing.load(std::memory_order_relaxed) == ticket; });
}

}  // namespace

std::uint64_t Gate::Reserve() {
    std::lock_guard lock(gMutex);
    return gNext.fetch_add(1, std::memory_order_relaxed);
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
        gServing.fetch_add(1, std::memory_order_relaxed);
    }
    gTurn.notify_all();
}

bool Gate::Contended() {
    return gNext.load(std::memory_order_relaxed) - gServing.load(std::memory_order_relaxed) > 1;
}

void Gate::HandOver() {
    if (!Contended()) return;
    // Queue up again in the same step as letting go, so that the waiters cannot
    // take the gate back and forth among themselves while this thread waits for the lock.
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(gMutex);
        ticket = gNext.fetch_add(1, std::memory_order_relaxed);
        gServing.fetch_add(1, std::memory_order_relaxed);
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

}  // namespace fw
