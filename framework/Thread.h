// Threads of the program, and the yield that lets the user interface run.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "Gate.h"
#include "Object.h"

namespace fw {

namespace detail {
struct ThreadLife;
}

class Thread : public Object {
public:
    Thread();
    ~Thread() override;
    // One object, one thread: a copy would share the thread's life record.
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Returns at once; the Run event (Event_Run) is then raised once on a new thread,
    // which ends when it returns. The object lives at least as long as its thread.
    // Once the threads are being joined at quit, it starts nothing.
    void Run();
    // The thread's body.
    virtual void Event_Run() {}
    // From Run until the thread has ended; any thread may ask.
    bool IsRunning() const;

private:
    // Shared with the framework's list of started threads.
    const std::shared_ptr<detail::ThreadLife> life_;
    bool started_ = false;
    std::uint64_t cancelsSeen_ = 0;
};

// Lets the user interface run a waiting handler. One relaxed load when nobody waits
// and no hook is set; a thread that does not hold the gate has nothing to hand over.
inline void YieldToEventLoop() {
    const std::uint32_t work = detail::gYieldWork.load(std::memory_order_relaxed);
    if (work != 0) detail::YieldSlow(work);
}

namespace detail {
// Cancel requests so far, and one more at quit; each thread keeps the count it has seen.
extern std::atomic<std::uint64_t> gCancelEvents;
extern thread_local constinit std::uint64_t tCancelsSeen;
bool UserCancelledSlow(std::uint64_t events);
}  // namespace detail

// True once for each running thread after the user asked to cancel (the cancel keys),
// and always while the application quits. One relaxed load while nothing was asked.
inline bool UserCancelled() {
    const std::uint64_t events = detail::gCancelEvents.load(std::memory_order_relaxed);
    return events != detail::tCancelsSeen && detail::UserCancelledSlow(events);
}

namespace detail {
// The user asked to cancel: one request for every thread running now. Dropped while
// none runs, so that a later thread does not see it.
void SignalUserCancel();
}  // namespace detail

// Ends the threads at quit: they see UserCancelled(), run to their stop test and are
// joined. The join waits as long as it takes: a body that never tests UserCancelled()
// (or never returns after it) keeps the application from quitting.
void EndAllThreads();  // also makes UserCancelled() true from then on

}  // namespace fw
