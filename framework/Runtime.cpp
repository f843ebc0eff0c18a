#include "Runtime.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "Application.h"
#include "Controls.h"
#include "Gate.h"
#include "Graphics.h"
#include "Menu.h"
#include "Thread.h"
#include "Ui.h"
#include "Window.h"

namespace fw {

namespace {

constexpr int kRefreshMs = 16;  // screen rate for coalesced repaints
constexpr int kDefaultTextPixels = 12;

QApplication* gApp = nullptr;
std::thread::id gUiThread;
std::atomic<bool> gQuitting{false};
int gExitStatus = 0;
std::string gProgramName = "velmora";
int gArgc = 0;

std::mutex gQueueMutex;
std::condition_variable gQueueDone;
std::vector<std::function<void()>> gQueue;

std::map<int, std::function<void()>> gHooks;  // user-interface thread only
int gNextHook = 1;
QTimer* gTimer = nullptr;

void DrainQueue() {
    std::vector<std::function<void()>> work;
    {
        std::lock_guard lock(gQueueMutex);
        work.swap(gQueue);
    }
    for (auto& fn : work) fn();
}

void OnRefreshTick() {
    DrainQueue();
    // Copy: a hook may remove itself or others.
    std::vector<std::function<void()>> hooks;
    hooks.reserve(gHooks.size());
    for (auto& [id, hook] : gHooks) hooks.push_back(hook);
    for (auto& hook : hooks) hook();
}

// Escape and Ctrl+. in any window of the application ask running threads to cancel.
// A key that an open menu or popup takes, or the menu bar while the keyboard is in it,
// only closes or leaves that menu.
class CancelKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool ctrlDot = key->key() == Qt::Key_Period && (key->modifiers() & Qt::ControlModifier);
            const bool inMenu = QApplication::activePopupWidget() || qobject_cast<QMenuBar*>(watched);
            if ((key->key() == Qt::Key_Escape || ctrlDot) && !key->isAutoRepeat() && !inMenu) SignalUserCancel();
        }
        return false;
    }
};

void RegisterFrameworkClasses() {
    RegisterClass<Object>("Object", "");
    RegisterClass<Application>("Application", "Object");
    RegisterClass<FolderItem>("FolderItem", "Object");
    RegisterClass<Picture>("Picture", "Object");
    RegisterClass<Graphics>("Graphics", "Object");
    RegisterClass<Window>("Window", "Object");
    RegisterClass<RectControl>("RectControl", "Object");
    RegisterClass<Canvas>("Canvas", "RectControl");
    RegisterClass<PushButton>("PushButton", "RectControl");
    RegisterClass<RadioButton>("RadioButton", "RectControl");
    RegisterClass<TextField>("TextField", "RectControl");
    RegisterClass<StaticText>("StaticText", "RectControl");
    RegisterClass<MenuItem>("MenuItem", "Object");
    RegisterClass<MenuBar>("MenuBar", "MenuItem");
    RegisterClass<QuitMenuItem>("QuitMenuItem", "MenuItem");
    RegisterClass<AppleMenuItem>("AppleMenuItem", "MenuItem");
    RegisterClass<Thread>("Thread", "Object");
}

bool HasDisplay() {
    if (std::getenv("QT_QPA_PLATFORM")) return true;
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

}  // namespace

bool RuntimeStart(int& argc, char** argv) {
    if (argc > 0 && argv[0]) {
        std::string p = argv[0];
        gProgramName = p.substr(p.find_last_of('/') + 1);
    }
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s: no display to open windows on (DISPLAY is not set); start it under a virtual one: xvfb-run -a %s\n",
                     gProgramName.c_str(), argc > 0 && argv[0] ? argv[0] : "velmora");
        return false;
    }
    RegisterFrameworkClasses();
    gArgc = argc;
    gUiThread = std::this_thread::get_id();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    gApp = new QApplication(gArgc, argv);
    QFont font = QApplication::font();
    font.setPixelSize(kDefaultTextPixels);
    QApplication::setFont(font);
    detail::SetExecutablePath(QCoreApplication::applicationFilePath().toStdString());
    gApp->installEventFilter(new CancelKeyFilter(gApp));
    gTimer = new QTimer(gApp);
    QObject::connect(gTimer, &QTimer::timeout, gApp, &OnRefreshTick);
    gTimer->start(kRefreshMs);
    return true;
}

void Initialise(const Delegate& startup) {
    Gate::Hold hold;
    if (startup) startup();
}

void RunEventLoop() {
    if (!gApp) return;
    QApplication::exec();
    EndAllThreads();
}

void Quit() { QCoreApplication::quit(); }

bool IsQuitting() { return gQuitting.load(std::memory_order_relaxed); }

void ReportUnhandledException(std::exception_ptr e, const std::string& where) {
    std::fprintf(stderr, "%s: unhandled %s in %s\n", gProgramName.c_str(), ExceptionClassName(e).c_str(),
                 where.c_str());
    std::fflush(stderr);
    gExitStatus = 1;
}

namespace detail {
void ReportHandlerException(std::exception_ptr e, const std::string& where) {
    std::fprintf(stderr, "%s: %s in %s; the handler was ended\n", gProgramName.c_str(),
                 ExceptionClassName(e).c_str(), where.c_str());
    std::fflush(stderr);
}
}  // namespace detail

void RunHandler(const std::string& where, const std::function<void()>& handler) {
    Gate::Hold hold;
    try {
        handler();
    } catch (...) {
        detail::ReportHandlerException(std::current_exception(), where);
    }
}

void FinaliseModules() { detail::FinaliseWindowRecord(); }

int RuntimeExit() {
    delete gApp;
    gApp = nullptr;
    gTimer = nullptr;
    return gExitStatus;
}

bool IsUiThread() { return std::this_thread::get_id() == gUiThread; }

namespace detail {

void BeginQuit() {
    gQuitting.store(true);
    {
        std::lock_guard lock(gQueueMutex);
    }
    gQueueDone.notify_all();
}

void PostToUi(std::function<void()> fn) {
    std::lock_guard lock(gQueueMutex);
    gQueue.push_back(std::move(fn));
}

void RunOnUi(const std::function<void()>& fn) {
    if (IsUiThread()) {
        Gate::Hold hold;
        fn();
        return;
    }
    struct Request {
        bool done = false;
        bool abandoned = false;
        std::exception_ptr error;
    };
    auto req = std::make_shared<Request>();
    const int depth = Gate::ReleaseAll();
    PostToUi([req, fn] {
        {
            std::lock_guard lock(gQueueMutex);
            if (req->abandoned) return;
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
            std::lock_guard lock(gQueueMutex);
            req->error = error;
            req->done = true;
        }
        gQueueDone.notify_all();
    });
    bool done = false;
    std::exception_ptr error;
    {
        std::unique_lock lock(gQueueMutex);
        gQueueDone.wait(lock, [&] { return req->done || gQuitting.load(); });
        done = req->done;
        req->abandoned = !done;
        error = req->error;
    }
    Gate::Restore(depth);
    if (!done) throw ThreadAbort{};
    if (error) std::rethrow_exception(error);
}

int AddRefreshHook(std::function<void()> hook) {
    const int id = gNextHook++;
    gHooks[id] = std::move(hook);
    return id;
}

void RemoveRefreshHook(int id) { gHooks.erase(id); }

}  // namespace detail
}  // namespace fw
