#include "Thread.h"

#include <algorithm>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Dispatch.h"

namespace fw {

namespace detail {
std::atomic<std::uint64_t> gCancelEvents{0};
thread_local constinit std::uint64_t tCancelsSeen = 0;

// Whether a thread runs: set when it starts, cleared as its very last step, after
// which it only has to be joined.
struct ThreadLife {
    std::atomic<bool> running{false};
};

}  // namespace detail

namespace {

struct Started {
    std::thread thread;
    std::shared_ptr<detail::ThreadLife> life;
};

std::mutex gThreadsMutex;
std::vector<Started> gThreads;  // guarded by gThreadsMutex
// Set when the sweep at quit begins; from then on no thread starts, since none
// would be joined. Guarded by gThreadsMutex.
bool gSwept = false;
thread_local Thread* tCurrent = nullptr;

// Joins the threads that have ended (all of them when `all`), outside the lock.
void JoinThreads(bool all) {
    std::vector<std::thread> toJoin;
    {
        std::lock_guard lock(gThreadsMutex);
        gSwept = gSwept || all;
        for (auto it = gThreads.begin(); it != gThreads.end();) {
            if (all || !it->life->running.load()) {
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

Thread::Thread() : life_(std::make_shared<detail::ThreadLife>()) {}
Thread::~Thread() = default;

bool Thread::IsRunning() const { return life_->running.load(std::memory_order_acquire); }

void Thread::Run() {
    if (started_) return;  // an object is started once
    started_ = true;
    JoinThreads(false);
    auto self = std::static_pointer_cast<Thread>(shared_from_this());
    cancelsSeen_ = detail::gCancelEvents.load();
    // The thread waits for its place in the gate's queue, which is taken only once the
    // thread exists: a thread that cannot be made (EAGAIN) leaves no ticket that
    // nobody would serve, and no running count that nothing would lower.
    std::promise<std::uint64_t> place;
    // Made and listed in one hold of the lock, so that the sweep at quit either finds
    // the thread or has begun before it, and then it is refused.
    std::lock_guard lock(gThreadsMutex);
    if (gSwept) return;
    std::thread thread([self, ticket = place.get_future(), life = life_]() mutable {
        Gate::AcquireReserved(ticket.get());
        tCurrent = self.get();
        detail::tCancelsSeen = self->cancelsSeen_;
        const std::string where = self->FullClassName() + ".Run";
        try {
            self->Event_Run();
        } catch (const detail::ThreadAbort&) {
            // The application quit while the thread waited for it.
        } catch (...) {
            detail::ReportHandlerException(std::current_exception(), where);
        }
        tCurrent = nullptr;
        self.reset();  // on the gate: the object's destructor is the program's code
        // A body that kept a hold of its own would keep every other thread out for good.
        Gate::ReleaseLast(where.c_str());
        life->running.store(false, std::memory_order_release);
    });
    life_->running.store(true);
    place.set_value(Gate::Reserve());
    gThreads.push_back(Started{std::move(thread), life_});
}

namespace detail {
bool UserCancelledSlow(std::uint64_t events) {
    if (IsQuitting()) return true;
    tCancelsSeen = events;
    return tCurrent != nullptr;  // only the program's threads are cancelled
}
}  // namespace detail

void detail::SignalUserCancel() {
    std::lock_guard lock(gThreadsMutex);
    if (std::any_of(gThreads.begin(), gThreads.end(), [](const Started& t) { return t.life->running.load(); }))
        gCancelEvents.fetch_add(1);
}

void EndAllThreads() {
    detail::BeginQuit();
    detail::gCancelEvents.fetch_add(1);  // every thread's next UserCancelled() looks
    Gate::Away away;  // the threads need the gate to reach their stop test
    JoinThreads(true);
}

}  // namespace fw
