#include "ui/Startup.h"

#include <exception>

#include "engine/BackGroundDrawing.h"
#include "framework/Runtime.h"
#include "ui/AboutWindow.h"
#include "ui/MenuBar1.h"
#include "ui/Velmoras.h"
#include "ui/Window1.h"

void RegisterClasses() {
    fw::RegisterClass<Velmoras>("Velmoras", "Application");
    fw::RegisterClass<class Window1>(Window1::kClassName, "Window");
    fw::RegisterClass<class MenuBar1>("MenuBar1.MenuBar1", "MenuBar");
    fw::RegisterClass<class AboutWindow>(AboutWindow::kClassName, "Window");
    fw::RegisterClass<BackGroundDrawing>("BackGroundDrawing", "Thread");
}

void Main() {
    const char* where = "start-up";
    try {
        fw::Delegate startup = &Startup;
        fw::Initialise(startup);
        startup = nullptr;
        where = "the event loop";
        fw::RunEventLoop();
    } catch (...) {
        fw::ReportUnhandledException(std::current_exception(), where);
    }
}

void Startup() {
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
    MakeDefaultView();
}

void InitFileTypes() {}  // the application opens no documents

void NewAppInstance() {
    fw::Ref<Velmoras> app = fw::New<Velmoras>();
    fw::NonNil(app).SetMenuBar(MenuBar1());
    fw::RegisterApplication(app);
}

void ApplicationAddMenuHandlers() {}  // the one menu handler belongs to the main window

void MakeDefaultView() { (void)Window1(); }

void FinaliseProgramModules() { MenuBar1::implicitInstance = nullptr; }
