// The top of the framework: process start and exit, the event loop, the report of
// exceptions that nothing handled, and the registration of the framework's classes.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "Dispatch.h"

namespace fw {

using Delegate = std::function<void()>;

// The first call into the framework: makes the application's event system.
// Returns false (after saying why on stderr) when there is no display to show windows on.
bool RuntimeStart(int& argc, char** argv);
// Runs the start-up callback once, before the first user event.
void Initialise(const Delegate& startup);
// Runs the event loop until the application quits, then ends the running threads.
void RunEventLoop();
// One line on stderr naming the exception's class and where it escaped.
void ReportUnhandledException(std::exception_ptr e, const std::string& where);
// Releases the framework's own records of windows.
void FinaliseModules();
// 0 after a normal quit; 1 when an exception reached the top of the program.
int RuntimeExit();

}  // namespace fw
