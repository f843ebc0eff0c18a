// Hand-over to the user-interface thread, for the framework's own use.
#pragma once

#include <functional>

namespace fw::detail {

// Runs fn on the user-interface thread soon; callable from any thread, never blocks.
void PostToUi(std::function<void()> fn);
// Runs fn on the user-interface thread, on the gate, and waits for it. A caller that
// holds the gate gives it up for the wait. Rethrows what fn threw. When the
// application quits meanwhile, throws ThreadAbort.
void RunOnUi(const std::function<void()>& fn);
// Called at screen rate on the user-interface thread, for coalesced repaints.
int AddRefreshHook(std::function<void()> hook);
void RemoveRefreshHook(int id);

// Ends a thread quietly when the application quits under it.
struct ThreadAbort {};

}  // namespace fw::detail
