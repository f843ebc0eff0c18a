#include "Thread.h"

#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "Gate.h"
#include "Runtime.h"
#include "Ui.h"

namespace fw {

namespace {

struct Started {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
};

std::mutex gThreadsMutex;
std::vector<Started> gThreads;  // guarded by gThreadsMutex
std::atomic<int> gRunning{0};
std::atomic<std::uint64_t> gCancels{0};
thread_local Thread* tCurrent = nullptr;

// Joins the threads that have finished (all of them when `all`), outside the lock.
void JoinThreads(bool all) {
    std::vector<std::thread> toJoin;
    {
        std::lock_guard lock(gThreadsMutex);
        for (auto it = gThreads.begin(); it != gThreads.end();) {
            if (all || it->finished->load()) {
                toJoin.push_back(std::move(it->thread));
                it = gThreads.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& t : toJoin) t.join();
}

}  // namespace

void Thread::Run() {
    if (started_) return;  // an object is started once
    started_ = true;
    JoinThreads(false);
    auto self = std::static_pointer_cast<Thread>(shared_from_this());
    cancelsSeen_ = gCancels.load();
    // The thread waits for its place in the gate's queue, which is taken only once the
    // thread exists: a thread that cannot be made (EAGAIN) leaves no ticket that
    // nobody would serve, and no running count that nothing would lower.
    std::promise<std::uint64_t> place;
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([self, ticket = place.get_future(), finished]() mutable {
        Gate::AcquireReserved(ticket.get());
        tCurrent = self.get();
        try {
            self->Event_Run();
        } catch (const detail::ThreadAbort&) {
            // The application quit while the thread waited for it.
        } catch (...) {
            detail::ReportHandlerException(std::current_exception(), self->FullClassName() + ".Run");
        }
        tCurrent = nullptr;
        self->running_.store(false);
        gRunning.fetch_sub(1);
        self.reset();  // on the gate: the object's destructor is the program's code
        Gate::Release();
        finished->store(true);
    });
    running_.store(true);
    gRunning.fetch_add(1);
    place.set_value(Gate::Reserve());
    std::lock_guard lock(gThreadsMutex);
    gThreads.push_back(Started{std::move(thread), finished});
}

namespace detail {
std::atomic<void (*)()> gYieldHook{nullptr};
void SetYieldHook(void (*hook)()) { gYieldHook.store(hook); }
}  // namespace detail

void YieldToEventLoop() {
    if (!Gate::HeldByThisThread()) return;  // nothing to hand over
    if (auto hook = detail::gYieldHook.load(std::memory_order_relaxed)) hook();
    Gate::HandOver();
}

bool UserCancelled() {
    if (IsQuitting()) return true;
    Thread* t = tCurrent;
    if (!t) return false;
    const std::uint64_t cancels = gCancels.load(std::memory_order_relaxed);
    if (cancels == t->cancelsSeen_) return false;
    t->cancelsSeen_ = cancels;
    return true;
}

void SignalUserCancel() {
    if (gRunning.load() > 0) gCancels.fetch_add(1);
}

void EndAllThreads() {
    detail::BeginQuit();
    const int depth = Gate::ReleaseAll();
    JoinThreads(true);
    Gate::Restore(depth);
}

}  // namespace fw
