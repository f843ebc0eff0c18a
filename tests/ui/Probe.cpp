// The program's own start-up as a whole process, for what only a process of its own shows:
//   startup          what start-up leaves once the event loop runs, then quits (expect 0)
//   quit-during-run  starts a run, then quits as File > Quit does (expect 0)
//   no-application   the application class is missing, so start-up fails at the
//                    application object (expect 1, no main window, no event loop)
//   no-thread        "Stable" while no thread can start, then "Stop", "Stable" again,
//                    "Clear" and Quit (expect 0, the failure reported once)
//   loop-throws      an exception escapes the event loop during a run (expect 1,
//                    reported once, the run ended)
#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <string>

#include "ThreadLimit.h"
#include "engine/BackGroundDrawing.h"
#include "framework/Application.h"
#include "framework/Runtime.h"
#include "framework/Window.h"
#include "ui/AboutWindow.h"
#include "ui/MenuBar1.h"
#include "ui/Startup.h"
#include "ui/Window1.h"

namespace {

bool AppHasItsMenuBar() {
    // The menu bar's instance is read, not made: MenuBar1() would build it.
    return fw::App() && MenuBar1::implicitInstance && fw::App()->MenuBar() == MenuBar1::implicitInstance;
}

// What start-up has left, printed once the event loop runs; then a quit.
void ReportStartUp() {
    int visible = 0;
    QWidget* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) ++visible, shown = w;
    auto main = fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName));
    std::printf("visible windows %d%s\n", visible, main && shown == main->TopWidget() ? ", the main window" : "");
    std::printf("about window %s\n", fw::OpenWindow(AboutWindow::kClassName) ? "open" : "none");
    std::printf("menu bar on the application %s, on the main window %s\n", AppHasItsMenuBar() ? "yes" : "no",
                main && main->MenuBar() && main->MenuBar() == MenuBar1::implicitInstance ? "yes" : "no");
    std::fflush(stdout);
    fw::Quit();
}

// Sees the first event that reaches a window's top-level widget, while start-up builds
// it, and the first time one is shown.
class StartUpWatch : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(object);
        if (!w || !w->isWindow()) return false;
        if (!seenWindow_) {
            seenWindow_ = true;
            std::printf("menu bar before the first window %s\n", AppHasItsMenuBar() ? "yes" : "no");
        }
        if (event->type() == QEvent::Show && !seenShow_) {
            seenShow_ = true;
            QTimer::singleShot(0, &ReportStartUp);
        }
        return false;
    }

private:
    bool seenWindow_ = false, seenShow_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!fw::RuntimeStart(argc, argv)) return 2;
    StartUpWatch watch;
    if (mode == "startup") {
        RegisterClasses();
        qApp->installEventFilter(&watch);
        // Should start-up never show a window, the report comes all the same.
        QTimer::singleShot(10000, &ReportStartUp);
    } else if (mode == "no-application") {
        fw::RegisterClass<class Window1>(Window1::kClassName, "Window");
        fw::RegisterClass<class MenuBar1>("MenuBar1.MenuBar1", "MenuBar");
        fw::RegisterClass<class AboutWindow>(AboutWindow::kClassName, "Window");
        fw::RegisterClass<BackGroundDrawing>("BackGroundDrawing", "Thread");
    } else if (mode == "loop-throws") {
        RegisterClasses();
        QTimer::singleShot(150, [] {
            auto w = fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName));
            static_cast<QAbstractButton*>(w->RunUnstable()->Widget())->click();
        });
        QTimer::singleShot(300, [] { throw fw::NilObjectException(); });
    } else if (mode == "no-thread") {
        RegisterClasses();
        QTimer::singleShot(150, [] {
            auto w = fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName));
            auto press = [](const fw::Ref<fw::PushButton>& b) { static_cast<QAbstractButton*>(b->Widget())->click(); };
            testing_support::SetThreadCreationFails(true);
            press(w->RunStable());
            testing_support::SetThreadCreationFails(false);
            std::printf("after failed start: stable %d stop %d\n", w->RunStable()->Enabled(),
                        w->StopButton()->Enabled());
            press(w->StopButton());
            press(w->RunStable());
            std::printf("running %d\n", w->DrawOrbits && w->DrawOrbits->IsRunning());
            press(w->ClearButton());
        });
        QTimer::singleShot(400, [] {
            auto w = fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName));
            w->ChooseMenuItem(w->FileQuit());
        });
    } else {
        RegisterClasses();
        QTimer::singleShot(150, [] {
            // Press "Unstable" as a person would, then quit from the menu while it runs.
            auto w = fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName));
            static_cast<QAbstractButton*>(w->RunUnstable()->Widget())->click();
        });
        QTimer::singleShot(400, [] {
            auto w = fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName));
            std::printf("running %d\n", w->DrawOrbits && w->DrawOrbits->IsRunning());
            w->ChooseMenuItem(w->FileQuit());
        });
    }
    Main();
    std::printf("main window %s\n", fw::OpenWindow(Window1::kClassName) ? "open" : "none");
    fw::FinaliseModules();
    FinaliseProgramModules();
    return fw::RuntimeExit();
}
