// The framework's own plumbing: hand-over to the user-interface thread, and the
// pieces that one part of the framework calls in another.
#pragma once

#include <exception>
#include <functional>
#include <string>

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

// One line on stderr for an exception that ended a handler or a thread.
void ReportHandlerException(std::exception_ptr e, const std::string& where);
// From here on UserCancelled() is true and threads waiting for the UI thread give up.
void BeginQuit();
void FinaliseWindowRecord();
void SetExecutablePath(const std::string& path);

}  // namespace fw::detail
