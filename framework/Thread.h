// Threads of the program, and the yield that lets the user interface run.
#pragma once

#include <atomic>
#include <cstdint>

#include "Object.h"

namespace fw {

class Thread : public Object {
public:
    // Returns at once; the Run event (Event_Run) is then raised once on a new thread,
    // which ends when it returns. The object lives at least as long as its thread.
    void Run();
    // The thread's body.
    virtual void Event_Run() {}
    bool IsRunning() const { return running_.load(std::memory_order_acquire); }

private:
    friend bool UserCancelled();
    std::atomic<bool> running_{false};
    bool started_ = false;
    std::uint64_t cancelsSeen_ = 0;
};

// Lets the user interface run a waiting handler; costs one load when nobody waits.
void YieldToEventLoop();
// True once for each running thread after the user pressed Escape or Ctrl+. in a
// window of the application, and always while the application quits.
bool UserCancelled();
// For the framework: the user asked to cancel (a press while no thread runs is dropped).
void SignalUserCancel();
namespace detail {
// Called at every yield, before the hand-over: lets tests and benchmarks count and stop steps.
void SetYieldHook(void (*hook)());
}  // namespace detail

// Ends the threads at quit: they see UserCancelled(), run to their stop test and are joined.
void EndAllThreads();  // also makes UserCancelled() true from then on

}  // namespace fw
