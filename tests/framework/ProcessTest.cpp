#include <gtest/gtest.h>

#include "tests/Support.h"

using testing_support::Outcome;

namespace {

Outcome RunProbe(const char* mode) { return testing_support::RunProgram(FW_PROBE, {mode}); }

// A thread that starts while the threads are joined at quit would never be joined:
// refused, it runs not at all.
TEST(Process, QuitWhileAThreadRunsEndsTheThreadAndExitsZero) {
    const struct {
        const char* mode;
        bool spinnerEnds;
    } cases[] = {{"quit-with-thread", true}, {"start-at-quit", false}};
    for (const auto& c : cases) {
        const Outcome o = RunProbe(c.mode);
        EXPECT_EQ(o.status, 0) << c.mode << ": " << o.err.toStdString();
        EXPECT_EQ(o.out.contains("thread ended"), c.spinnerEnds) << c.mode;
        EXPECT_TRUE(o.err.isEmpty()) << c.mode << ": " << o.err.toStdString();
    }
}

TEST(Process, AnExceptionInStartUpIsReportedOnceAndExitsOne) {
    const Outcome o = RunProbe("startup-throws");
    EXPECT_EQ(o.status, 1);
    EXPECT_FALSE(o.out.contains("event loop"));
    EXPECT_EQ(o.err.count("unhandled NilObjectException in start-up"), 1) << o.err.toStdString();
    EXPECT_EQ(o.err.count('\n'), 1);
}

// The look-ups' kept answers rest on this rule: names change only on the gate. And the
// gate itself is only let go by its holder, once for each hold.
TEST(Process, BreakingARuleOfTheGateEndsTheProcessSayingWhere) {
    const struct {
        const char* mode;
        const char* where;
    } cases[] = {{"names-off-gate", "NameMap::Set called off the gate"},
                 {"control-off-gate", "Window::AddControl called off the gate"},
                 {"release-off-gate", "Gate::Release called off the gate"},
                 {"thread-keeps-gate", "Keeper.Run ended holding the gate"}};
    for (const auto& c : cases) {
        const Outcome o = RunProbe(c.mode);
        EXPECT_EQ(o.status, -1) << c.mode;
        EXPECT_TRUE(o.err.contains(c.where)) << o.err.toStdString();
    }
}

}  // namespace
