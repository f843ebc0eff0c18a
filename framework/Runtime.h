// Process start and exit, the event loop, handler dispatch and the report of
// exceptions that nothing handled.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace fw {

using Delegate = std::function<void()>;

// The first call into the framework: makes the application's event system.
// Returns false (after saying why on stderr) when there is no display to show windows on.
bool RuntimeStart(int& argc, char** argv);
// Runs the start-up callback once, before the first user event.
void Initialise(const Delegate& startup);
// Runs the event loop until the application quits, then ends the running threads.
void RunEventLoop();
// Asks the event loop to end (what a Quit menu item does).
void Quit();
// One line on stderr naming the exception's class and where it escaped.
void ReportUnhandledException(std::exception_ptr e, const std::string& where);
// Releases the framework's own records of windows.
void FinaliseModules();
// 0 after a normal quit; 1 when an exception reached the top of the program.
int RuntimeExit();

bool IsUiThread();
// True once the event loop has ended: threads are being told to finish.
bool IsQuitting();

// Runs one handler of the program: on the gate, with every exception reported and
// stopped here, so that none crosses the event system.
void RunHandler(const std::string& where, const std::function<void()>& handler);

}  // namespace fw
