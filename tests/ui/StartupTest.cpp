#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

namespace {

struct Outcome {
    int status;
    QString out, err;
};

Outcome RunProbe(const char* mode) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (!env.contains("XDG_RUNTIME_DIR")) env.insert("XDG_RUNTIME_DIR", QDir::tempPath());
    p.setProcessEnvironment(env);
    p.start(UI_PROBE, {mode});
    EXPECT_TRUE(p.waitForFinished(20000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

TEST(Startup, QuitDuringARunEndsCleanlyWithStatusZero) {
    const Outcome o = RunProbe("quit-during-run");
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains("running 1")) << o.out.toStdString();
    EXPECT_TRUE(o.err.isEmpty()) << o.err.toStdString();
}

TEST(Startup, AFailedStartUpStepLeavesTheLaterOnesUndoneAndExitsOne) {
    const Outcome o = RunProbe("no-application");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.contains("main window none")) << o.out.toStdString();
    EXPECT_EQ(o.err.count("unhandled"), 1) << o.err.toStdString();
    EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
}

}  // namespace
