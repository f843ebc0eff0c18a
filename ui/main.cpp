#include "framework/Runtime.h"
int main(int argc, char** argv) {
    if (!fw::RuntimeStart(argc, argv)) return 1;
    fw::RunEventLoop();
    return fw::RuntimeExit();
}
