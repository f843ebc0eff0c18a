// Start-up and shut-down of the application.
#pragma once

// Registers the program's classes with the framework, before any object of them exists.
void RegisterClasses();
// Hands Startup to the framework's initialisation and runs the event loop; an
// exception that escapes either goes to the unhandled-exception report.
void Main();
// The start-up callback: the application object with its menu bar, then the main window.
void Startup();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void MakeDefaultView();
// Releases what the program's modules hold at shut-down: the menu bar's instance.
void FinaliseProgramModules();
