// One application for the whole test run, headless unless a platform is chosen.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>

#include "framework/Runtime.h"
#include "framework/Thread.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a runtime folder; one of the process's own, removed when it ends.
    std::unique_ptr<QTemporaryDir> runtimeDir;
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        runtimeDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/velmora-test-XXXXXX");
        if (runtimeDir->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
    }
    if (!fw::RuntimeStart(argc, argv)) return 1;
    const int result = RUN_ALL_TESTS();
    fw::EndAllThreads();
    fw::FinaliseModules();
    fw::RuntimeExit();
    return result;
}
