#include "Dispatch.h"

#include <QCoreApplication>
#include <QEvent>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "Gate.h"
#include "Object.h"

namespace fw {
namespace {

std::thread::id gUiThread;
std::atomic<bool> gQuitting{false};
std::string gProgramName = "velmora";

// Raised (release) after a call is made and before it is posted; read (acquire) before
// a posted event is touched on the user-interface thread. Qt's queue has locks of its
// own, which the thread checker cannot see: this pair shows it the order they keep.
std::atomic<std::uint64_t> gPosted{0};

// A call carried by Qt's event queue to the user-interface thread.
class CallEvent : public QEvent {
public:
    static QEvent::Type Kind() {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }
    explicit CallEvent(std::function<void()> fn) : QEvent(Kind()), fn_(std::move(fn)) {}
    // Also when the call is dropped unrun, its captures go after the acquire.
    ~CallEvent() override { detail::OrderAfterPosts(); }
    void Run() { fn_(); }
    std::function<void()> Take() { return std::move(fn_); }

private:
    std::function<void()> fn_;
};

// Calls delivered while the user-interface thread runs a call lent the gate (by an
// event loop nested in that call): they would run in the middle of the lender's step,
// so they wait for the loan's end. User-interface thread only.
std::vector<std::function<void()>> gHeldBack;

// Lives on the user-interface thread and runs the calls posted to it.
class Receiver : public QObject {
public:
    // The event system's notify has ordered the posts before this read already: every
    // event reaches here through it, on this thread.
    bool event(QEvent* e) override {
        if (e->type() != CallEvent::Kind()) return QObject::event(e);
        auto* call = static_cast<CallEvent*>(e);
        if (Gate::Borrowed())
            gHeldBack.push_back(call->Take());
        else
            call->Run();
        return true;
    }
};

// The receiver, and the lock that keeps each post apart from the receiver's end: a post
// that has found the receiver has handed its call to Qt before the receiver can go.
std::mutex gReceiverMutex;
Receiver* gReceiver = nullptr;  // guarded by gReceiverMutex

// Calls that a thread waits for; their ends are announced on one condition.
std::mutex gCallsMutex;
std::condition_variable gCallEnded;

}  // namespace

bool IsUiThread() { return std::this_thread::get_id() == gUiThread; }

bool IsQuitting() { return gQuitting.load(std::memory_order_relaxed); }

void Quit() { QCoreApplication::quit(); }

bool RunHandler(const std::string& where, const std::function<void()>& handler) {
    if (Gate::Borrowed()) {
        std::fprintf(stderr, "%s: %s not run: its event came while a call lent the gate by another thread ran\n",
                     gProgramName.c_str(), where.c_str());
        return false;
    }
    Gate::Hold hold;
    detail::RunReported(where, handler);
    return true;
}

namespace detail {

void StartDispatch(const std::string& programName) {
    gProgramName = programName;
    gUiThread = std::this_thread::get_id();
    Gate::BecomeBorrower();
    (void)CallEvent::Kind();
    std::lock_guard lock(gReceiverMutex);
    gReceiver = new Receiver;
}

void StopDispatch() {
    Receiver* receiver = nullptr;
    {
        std::lock_guard lock(gReceiverMutex);
        std::swap(receiver, gReceiver);
    }
    delete receiver;  // the calls posted to it and not run yet go with it, unrun
}

const std::string& ProgramName() { return gProgramName; }

void PostToUi(std::function<void()> fn) {
    auto call = std::make_unique<CallEvent>(std::move(fn));
    std::lock_guard lock(gReceiverMutex);
    if (!gReceiver) return;  // the call goes unrun, after the lock
    gPosted.fetch_add(1, std::memory_order_release);
    QCoreApplication::postEvent(gReceiver, call.release());
}

void RunReported(const std::string& where, const std::function<void()>& fn) {
    try {
        fn();
    } catch (...) {
        ReportHandlerException(std::current_exception(), where);
    }
}

namespace {

// A call that the holder of the gate lends the gate for: run on the user-interface
// thread while the holder waits, so that no handler and no other thread gets in
// between the holder's step and its yield.
class LentCall final : public Gate::Loan {
public:
    explicit LentCall(const std::function<void()>& fn) : fn_(fn) {}

    void RunLent() noexcept override {
        std::exception_ptr error;
        try {
            fn_();
        } catch (...) {
            error = std::current_exception();
        }
        for (auto& held : std::exchange(gHeldBack, {})) PostToUi(std::move(held));
        {
            std::lock_guard lock(gCallsMutex);
            error_ = error;
            done_ = true;
        }
        gCallEnded.notify_all();  // `this` may be gone from here on
    }

    // Waits for the call; true when it ran, false when the application quit first.
    bool Wait() {
        std::unique_lock lock(gCallsMutex);
        // A call that has begun is waited for even at quit: it uses fn, which lives with the caller.
        gCallEnded.wait(lock, [&] { return done_ || (gQuitting.load() && Gate::Withdraw(*this)); });
        return done_;
    }
    std::exception_ptr Error() const { return error_; }  // after Wait

private:
    const std::function<void()>& fn_;
    bool done_ = false;  // guarded by gCallsMutex
    std::exception_ptr error_;
};

void Lend(const std::function<void()>& fn) {
    LentCall call(fn);
    Gate::Offer(call);
    try {
        // Wakes a user-interface thread that rests in its event loop; one that waits for
        // the gate takes the loan by itself.
        PostToUi([] { Gate::TakeLoan(); });
    } catch (...) {
        if (!Gate::Withdraw(call)) call.Wait();
        throw;
    }
    if (!call.Wait()) throw ThreadAbort{};
    if (call.Error()) std::rethrow_exception(call.Error());
}

}  // namespace

void RunOnUi(const std::function<void()>& fn) {
    if (IsUiThread()) {
        Gate::Hold hold;
        fn();
        return;
    }
    if (Gate::HeldByThisThread()) {
        Lend(fn);
        return;
    }
    struct Call {
        bool started = false, done = false, abandoned = false;
        std::exception_ptr error;
    };
    auto call = std::make_shared<Call>();
    PostToUi([call, &fn] {
        {
            std::lock_guard lock(gCallsMutex);
            if (call->abandoned) return;  // the caller has gone, and fn with it
            call->started = true;
        }
        std::exception_ptr error;
        {
            Gate::Hold hold;
            try {
                fn();
            } catch (...) {
                error = std::current_exception();
            }
        }
        {
            std::lock_guard lock(gCallsMutex);
            call->error = error;
            call->done = true;
        }
        gCallEnded.notify_all();
    });
    bool done = false;
    std::exception_ptr error;
    {
        std::unique_lock lock(gCallsMutex);
        // A call that has begun is waited for even at quit: it uses fn, which lives here.
        gCallEnded.wait(lock, [&] { return call->done || (gQuitting.load() && !call->started); });
        done = call->done;
        call->abandoned = !done;
        error = call->error;
    }
    if (!done) throw ThreadAbort{};
    if (error) std::rethrow_exception(error);
}

void OrderAfterPosts() { (void)gPosted.load(std::memory_order_acquire); }

namespace {
void Require(bool holds, const char* where, const char* off) {
    if (!holds) Refuse(where, (std::string("called off ") + off).c_str());
}
}  // namespace

void RequireUiThread(const char* where) { Require(IsUiThread(), where, "the user-interface thread"); }

void RequireGate(const char* where) { Require(Gate::HeldByThisThread(), where, "the gate"); }

void BeginQuit() {
    gQuitting.store(true);
    {
        std::lock_guard lock(gCallsMutex);
    }
    gCallEnded.notify_all();
}

void ReportHandlerException(std::exception_ptr e, const std::string& where) {
    std::fprintf(stderr, "%s: %s in %s; the handler was ended\n", gProgramName.c_str(),
                 ExceptionClassName(e).c_str(), where.c_str());
    std::fflush(stderr);
}

}  // namespace detail
}  // namespace fw
