// The bottom of the framework: which thread is the user interface's, handing work to
// it through Qt's event queue, running a handler of the program on the gate, and the
// quit flag.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace fw {

bool IsUiThread();
// True once the event loop has ended: threads are being told to finish.
bool IsQuitting();
// Asks the event loop to end (what a Quit menu item does); callable from any thread.
void Quit();

// Runs the handler of one event: on the gate, with every exception reported and
// stopped here, so that none crosses the event system. A handler whose event comes
// while this thread runs a call lent the gate (from an event loop nested in that call,
// or an event that the call sends) is not run, since it would run in the middle of the
// lender's step: that is reported instead, and false returned.
bool RunHandler(const std::string& where, const std::function<void()>& handler);

namespace detail {

// On the user-interface thread, once the application's event system exists.
void StartDispatch(const std::string& programName);
// Before the event system goes; calls posted after this are dropped.
void StopDispatch();

// Runs fn on the user-interface thread as soon as it is idle; callable from any thread,
// it waits at most for another post. From StopDispatch on, fn is dropped unrun: a post
// that races StopDispatch either reaches the receiver before it goes, or is dropped.
void PostToUi(std::function<void()> fn);
// Runs fn on the user-interface thread, on the gate, and waits for it. A caller that
// holds the gate lends it to the user-interface thread for fn and keeps it: nothing
// else of the program runs between the caller's code before the call and after it,
// and calls posted meanwhile that an event loop nested in fn would deliver wait for
// fn's end. Rethrows what fn threw. When the application quits before fn has begun,
// throws ThreadAbort.
void RunOnUi(const std::function<void()>& fn);
// Runs fn, which is the program's, on the gate that the caller holds, with every
// exception reported and stopped here.
void RunReported(const std::string& where, const std::function<void()>& fn);
// Call before reading an event on the user-interface thread in code that sees events
// of every object (the event system's own look at each event): it may have been posted
// from another thread, and this orders its making before the read, for the thread
// checker, which cannot see the locks of Qt's event queue.
void OrderAfterPosts();
// For code that touches widgets and is reached only from the user-interface thread:
// ends the process with a message when that does not hold.
void RequireUiThread(const char* where);
// The same for code that only a holder of the gate may run.
void RequireGate(const char* where);

// Ends a thread quietly when the application quits under it.
struct ThreadAbort {};

// From here on UserCancelled() is true and threads waiting for the UI thread give up.
void BeginQuit();
// One line on stderr for an exception that ended a handler or a thread.
void ReportHandlerException(std::exception_ptr e, const std::string& where);
const std::string& ProgramName();

}  // namespace detail
}  // namespace fw
