// The program's own start-up as a whole process, for what only the exit shows:
//   quit-during-run  starts a run, then quits as File > Quit does (expect 0)
//   no-application   the application class is missing, so start-up fails at the
//                    application object (expect 1, no main window, no event loop)
#include <QAbstractButton>
#include <QTimer>

#include <cstdio>
#include <string>

#include "engine/BackGroundDrawing.h"
#include "framework/Runtime.h"
#include "framework/Window.h"
#include "ui/AboutWindow.h"
#include "ui/MenuBar1.h"
#include "ui/Startup.h"
#include "ui/Window1.h"

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!fw::RuntimeStart(argc, argv)) return 2;
    if (mode == "no-application") {
        fw::RegisterClass<class Window1>(Window1::kClassName, "Window");
        fw::RegisterClass<class MenuBar1>("MenuBar1.MenuBar1", "MenuBar");
        fw::RegisterClass<class AboutWindow>(AboutWindow::kClassName, "Window");
        fw::RegisterClass<BackGroundDrawing>("BackGroundDrawing", "Thread");
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
