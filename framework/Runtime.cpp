#include "Runtime.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>

#include "Application.h"
#include "CancelKeys.h"
#include "Controls.h"
#include "Gate.h"
#include "Graphics.h"
#include "Menu.h"
#include "Thread.h"
#include "Window.h"

namespace fw {

namespace {

QApplication* gApp = nullptr;
int gExitStatus = 0;
int gArgc = 0;

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
    std::string programName = "velmora";
    if (argc > 0 && argv[0]) {
        std::string p = argv[0];
        programName = p.substr(p.find_last_of('/') + 1);
    }
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s: no display to open windows on (DISPLAY is not set); start it under a virtual one: xvfb-run -a %s\n",
                     programName.c_str(), argc > 0 && argv[0] ? argv[0] : "velmora");
        return false;
    }
    RegisterFrameworkClasses();
    gArgc = argc;
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    gApp = detail::NewEventSystem(gArgc, argv);
    detail::StartDispatch(programName);
    detail::SetDefaultFont();
    detail::SetExecutablePath(QCoreApplication::applicationFilePath().toStdString());
    return true;
}

void Initialise(const Delegate& startup) {
    Gate::Hold hold;
    if (startup) startup();
}

void RunEventLoop() {
    if (!gApp) return;
    // The threads end also when an exception escapes the loop.
    struct EndThreads {
        ~EndThreads() { EndAllThreads(); }
    } endThreads;
    QApplication::exec();
}

void ReportUnhandledException(std::exception_ptr e, const std::string& where) {
    std::fprintf(stderr, "%s: unhandled %s in %s\n", detail::ProgramName().c_str(), ExceptionClassName(e).c_str(),
                 where.c_str());
    std::fflush(stderr);
    gExitStatus = 1;
}

void FinaliseModules() { detail::FinaliseWindowRecord(); }

int RuntimeExit() {
    detail::StopDispatch();
    delete gApp;
    gApp = nullptr;
    return gExitStatus;
}

}  // namespace fw
