#include <gtest/gtest.h>

#include "tests/Support.h"

using testing_support::Outcome;

namespace {

Outcome RunProbe(const char* mode) { return testing_support::RunProgram(UI_PROBE, {mode}); }

// The program's own start-up path, as its main runs it.
TEST(Startup, OpensOneMainWindowAndNoAboutWindowWithTheMenuBarOnTheApplicationFirst) {
    const Outcome o = RunProbe("startup");
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.startsWith("menu bar before the first window yes\n"
                                 "visible windows 1, the main window\n"
                                 "about window none\n"
                                 "menu bar on the application yes, on the main window yes\n"))
        << o.out.toStdString();
    EXPECT_TRUE(o.err.isEmpty()) << o.err.toStdString();
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

// Reported as coming from where it came from, then shut down as after a quit.
TEST(Startup, AnExceptionThatEscapesTheEventLoopIsReportedAsSuch) {
    const Outcome o = RunProbe("loop-throws");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.contains("main window open")) << o.out.toStdString();
    EXPECT_EQ(o.err.count("unhandled NilObjectException in the event loop"), 1) << o.err.toStdString();
}

TEST(Startup, ARunWhoseThreadCannotStartIsReportedAndTheWindowStaysUsable) {
    const Outcome o = RunProbe("no-thread");
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_EQ(o.err.count("system_error in Window1.Window1.RunStable.Action"), 1) << o.err.toStdString();
    EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains("after failed start: stable 0 stop 1")) << o.out.toStdString();
    EXPECT_TRUE(o.out.contains("running 1")) << o.out.toStdString();  // a later start works
}

}  // namespace
