#include "framework/Runtime.h"
#include "ui/Startup.h"

int main(int argc, char** argv) {
    if (!fw::RuntimeStart(argc, argv)) return 1;
    RegisterClasses();
    Main();
    fw::FinaliseModules();
    FinaliseProgramModules();
    return fw::RuntimeExit();
}
