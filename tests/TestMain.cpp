// One application for the whole test run, headless unless a platform is chosen.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <cstdlib>

#include "framework/Runtime.h"
#include "framework/Thread.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        static char dir[] = "/tmp/velmora-test-XXXXXX";
        if (mkdtemp(dir)) qputenv("XDG_RUNTIME_DIR", dir);
    }
    if (!fw::RuntimeStart(argc, argv)) return 1;
    const int result = RUN_ALL_TESTS();
    fw::EndAllThreads();
    fw::FinaliseModules();
    fw::RuntimeExit();
    return result;
}
