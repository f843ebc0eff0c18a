// Runs the framework as a whole process, for the exit statuses:
//   quit-with-thread  quits from the event loop while a thread runs (expect 0)
//   startup-throws    start-up raises NilObjectException (expect 1, no event loop)
//   start-at-quit     a thread starts another one while the threads are joined at
//                     quit (expect 0: the start is refused)
//   names-off-gate, control-off-gate, release-off-gate, thread-keeps-gate
//                     a record of names changed, a control added, the gate let go,
//                     without the gate; a thread's body that returns with a hold of
//                     its own (expect the process to end at once, saying where)
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "framework/NameMap.h"
#include "framework/Runtime.h"
#include "framework/Thread.h"
#include "framework/Window.h"

namespace {

class Spinner : public fw::Thread {
public:
    void Event_Run() override {
        while (!fw::UserCancelled()) fw::YieldToEventLoop();
        std::printf("thread ended\n");
    }
};

class Keeper : public fw::Thread {
public:
    void Event_Run() override { fw::Gate::Acquire(); }
};

// At quit, once the threads are being joined, starts a thread that nobody would join.
class LateStarter : public fw::Thread {
public:
    void Event_Run() override {
        while (!fw::UserCancelled()) fw::YieldToEventLoop();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the join has begun
        fw::New<Spinner>()->Run();
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!fw::RuntimeStart(argc, argv)) return 2;
    fw::RegisterClass<Spinner>("Spinner", "Thread");
    fw::RegisterClass<LateStarter>("LateStarter", "Thread");
    if (mode == "names-off-gate") fw::detail::NameMap<int>().Set("x", 1);
    if (mode == "control-off-gate") fw::New<fw::Window>()->AddControl("x", nullptr);
    if (mode == "release-off-gate") fw::Gate::Release();
    fw::RegisterClass<Keeper>("Keeper", "Thread");
    try {
        fw::Initialise([&] {
            if (mode == "startup-throws") throw fw::NilObjectException();
            if (mode == "thread-keeps-gate") fw::New<Keeper>()->Run();
            if (mode == "start-at-quit")
                fw::New<LateStarter>()->Run();
            else
                fw::New<Spinner>()->Run();
            QTimer::singleShot(200, [] { fw::Quit(); });
        });
        std::printf("event loop\n");
        fw::RunEventLoop();
    } catch (...) {
        fw::ReportUnhandledException(std::current_exception(), "start-up");
    }
    fw::FinaliseModules();
    return fw::RuntimeExit();
}
