#include "Thread.h"

#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

#include "Dispatch.h"

namespace fw {

namespace detail {
std::atomic<std::uint64_t> gCancelEvents{0};
thread_local constinit std::uint64_t tCancelsSeen = 0;
}  // namespace detail

namespace {

struct Started {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
};

std::mutex gThreadsMutex;
std::vector<Started> gThreads;  // guarded by gThreadsMutex
std::atomic<int> gRunning{0};
thread_local Thread* tCurrent = nullptr;

// Joins the threads that have finished (all of them when `all`), outside the lock.
void JoinThreads(bool all) {
    std::vector<std::thread> toJoin;
    {
        std::lock_guard lock(gThreadsMutex);
        for (auto it = gThreads.begin(); it != gThreads.end();) {
            if (all || it->finished->load()) {
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
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([self, ticket = place.get_future(), finished]() mutable {
        Gate::AcquireReserved(ticket.get());
        tCurrent = self.get();
        detail::tCancelsSeen = self->cancelsSeen_;
        try {
            self->Event_Run();
        } catch (const detail::ThreadAbort&) {
            // The application quit while the thread waited for it.
        } catch (...) {
            detail::ReportHandlerException(std::current_exception(), self->FullClassName() + ".Run");
        }
        tCurrent = nullptr;
        self->running_.store(false);
        gRunning.fetch_sub(1);
        self.reset();  // on the gate: the object's destructor is the program's code
        Gate::Release();
        finished->store(true);
    });
    running_.store(true);
    gRunning.fetch_add(1);
    place.set_value(Gate::Reserve());
    std::lock_guard lock(gThreadsMutex);
    gThreads.push_back(Started{std::move(thread), finished});
}

namespace detail {
bool UserCancelledSlow(std::uint64_t events) {
    if (IsQuitting()) return true;
    tCancelsSeen = events;
    return tCurrent != nullptr;  // only the program's threads are cancelled
}
}  // namespace detail

namespace {

// The user asked to cancel; a press while no thread runs is dropped.
void SignalUserCancel() {
    if (gRunning.load() > 0) detail::gCancelEvents.fetch_add(1);
}

// Escape and Ctrl+. in any window of the application ask running threads to cancel.
// A key that an open menu or popup takes, or the menu bar while the keyboard is in it,
// only closes or leaves that menu.
class CancelKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        detail::SeePostedEvents();
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool ctrlDot = key->key() == Qt::Key_Period && (key->modifiers() & Qt::ControlModifier);
            const bool inMenu = QApplication::activePopupWidget() || qobject_cast<QMenuBar*>(watched);
            if ((key->key() == Qt::Key_Escape || ctrlDot) && !key->isAutoRepeat() && !inMenu) SignalUserCancel();
        }
        return false;
    }
};

}  // namespace

namespace detail {
void InstallCancelKeys() {
    detail::RequireUiThread("InstallCancelKeys");
    qApp->installEventFilter(new CancelKeyFilter(qApp));
}
}  // namespace detail

void EndAllThreads() {
    detail::BeginQuit();
    detail::gCancelEvents.fetch_add(1);  // every thread's next UserCancelled() looks
    const int depth = Gate::ReleaseAll();
    JoinThreads(true);
    Gate::Restore(depth);
}

}  // namespace fw
