#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

#include "ProbeWindow.h"
#include "framework/Dispatch.h"
#include "framework/Runtime.h"
#include "framework/Thread.h"
#include "tests/Support.h"

using namespace testing_support;

namespace {

// Keeps a pair of values unequal inside each step and equal at its yield, so a
// handler that ran inside a step would see them differ.
class Stepper : public fw::Thread {
public:
    long a = 0, b = 0;
    long steps = 0;
    double work = 0;
    bool stop = false;
    bool untilCancelled = false;
    void Event_Run() override {
        for (;;) {
            if (fw::UserCancelled()) return;
            if (stop) return;
            ++a;
            for (int i = 0; i < 50; ++i) work = work * 1.000001 + 1;  // a little work inside the step
            ++b;
            ++steps;
            fw::YieldToEventLoop();
        }
    }
};

class Thrower : public fw::Thread {
public:
    void Event_Run() override { throw fw::NilObjectException(); }
};

// Builds a window from its own thread, as the engine does after the window was closed.
class Builder : public fw::Thread {
public:
    fw::Ref<ProbeWindow> built;
    void Event_Run() override { built = ProbeWindow::Make(); }
};

// Runs a given body as a thread of the program.
class Caller : public fw::Thread {
public:
    std::function<void()> body;
    void Event_Run() override { body(); }
};

// Records on which threads a widget receives its events.
class EventThreads : public QObject {
public:
    bool eventFilter(QObject*, QEvent*) override {
        std::lock_guard lock(mutex_);
        threads_.push_back(std::this_thread::get_id());
        return false;
    }
    // The number of events seen, and whether all of them arrived on this thread.
    std::pair<std::size_t, bool> Seen() {
        std::lock_guard lock(mutex_);
        bool here = true;
        for (auto id : threads_) here = here && id == std::this_thread::get_id();
        return {threads_.size(), here};
    }

private:
    std::mutex mutex_;
    std::vector<std::thread::id> threads_;
};

class ThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterProbeClasses();
        fw::RegisterClass<Stepper>("Stepper", "Thread");
        fw::RegisterClass<Thrower>("Thrower", "Thread");
        fw::RegisterClass<Builder>("Builder", "Thread");
        fw::RegisterClass<Caller>("Caller", "Thread");
    }
    // Runs body on a thread of the program and lets the event loop run until it ends.
    static void RunOnThread(std::function<void()> body) {
        auto t = fw::New<Caller>();
        t->body = std::move(body);
        t->Run();
        ASSERT_TRUE(WaitFor([&] { return !t->IsRunning(); }));
    }
    static void Stop(const fw::Ref<Stepper>& s) {
        OnGate([&] { s->stop = true; });
        ASSERT_TRUE(WaitFor([&] { return !s->IsRunning(); }));
    }
};

TEST_F(ThreadTest, HandlersRunOnlyBetweenTwoSteps) {
    auto s = fw::New<Stepper>();
    s->Run();
    int checks = 0;
    EXPECT_FALSE(fw::Gate::HeldByThisThread());
    long lastSteps = -1, advanced = 0;
    for (int i = 0; i < 2000; ++i) {
        fw::RunHandler("check", [&] {
            EXPECT_EQ(s->a, s->b);
            if (s->steps != lastSteps) ++advanced;
            lastSteps = s->steps;
            ++checks;
        });
    }
    EXPECT_EQ(checks, 2000);
    EXPECT_GT(advanced, 100) << "steps " << s->steps << " running " << s->IsRunning();  // the thread went on between the handlers
    Stop(s);
}

TEST_F(ThreadTest, EscapeCancelsEachRunningThreadOnce) {
    auto w = OnGate([] { return ProbeWindow::Make(); });
    auto first = fw::New<Stepper>();
    auto second = fw::New<Stepper>();
    first->Run();
    second->Run();
    ASSERT_TRUE(WaitFor([&] { return OnGate([&] { return first->steps > 10 && second->steps > 10; }); }));
    QTest::keyClick(w->TopWidget(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return !first->IsRunning() && !second->IsRunning(); }));
    // A press while no thread runs is dropped: a new thread does not see it.
    QTest::keyClick(w->TopWidget(), Qt::Key_Period, Qt::ControlModifier);
    auto later = fw::New<Stepper>();
    later->Run();
    ASSERT_TRUE(WaitFor([&] { return OnGate([&] { return later->steps > 1000; }); }));
    EXPECT_TRUE(later->IsRunning());
    QTest::keyClick(w->TopWidget(), Qt::Key_Period, Qt::ControlModifier);  // Ctrl+. cancels too
    EXPECT_TRUE(WaitFor([&] { return !later->IsRunning(); }));
    w->Close();
}

// A press that a widget leaves to its parents passes several widgets, and is still
// one request.
TEST_F(ThreadTest, ACancelKeyPressIsOneRequestWhereverItGoes) {
    auto w = OnGate([] { return ProbeWindow::Make(); });
    bool stop = false;  // on the gate
    auto t = fw::New<Caller>();
    t->body = [&] {  // runs on, cancel or not
        while (!stop) fw::YieldToEventLoop();
    };
    t->Run();
    for (QWidget* target : {w->Control("Go")->Widget(), w->TopWidget()}) {
        const std::uint64_t before = fw::detail::gCancelEvents.load();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_EQ(fw::detail::gCancelEvents.load() - before, 1u) << target->metaObject()->className();
    }
    OnGate([&] { stop = true; });
    EXPECT_TRUE(WaitFor([&] { return !t->IsRunning(); }));
    w->Close();
}

TEST_F(ThreadTest, ExceptionInAThreadIsReportedAndEndsOnlyThatThread) {
    StderrCapture err;
    auto t = fw::New<Thrower>();
    t->Run();
    ASSERT_TRUE(WaitFor([&] { return !t->IsRunning(); }));
    err.Restore();
    EXPECT_NE(err.Text().find("NilObjectException in Thrower.Run"), std::string::npos) << err.Text();
    auto s = fw::New<Stepper>();
    s->Run();
    EXPECT_TRUE(WaitFor([&] { return OnGate([&] { return s->steps > 0; }); }));
    Stop(s);
}

TEST_F(ThreadTest, AWindowNeededByAThreadIsBuiltOnTheUserInterfaceThread) {
    auto b = fw::New<Builder>();
    b->Run();
    ASSERT_TRUE(WaitFor([&] { return !b->IsRunning(); }));
    ASSERT_NE(b->built, nullptr);
    EXPECT_EQ(b->built->TopWidget()->thread(), QCoreApplication::instance()->thread());
    EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), b->built);
    b->built->Close();
}

TEST_F(ThreadTest, AThreadObjectLivesWhileItsThreadRuns) {
    std::weak_ptr<Stepper> weak;
    {
        auto s = fw::New<Stepper>();
        weak = s;
        s->Run();
    }
    auto s = weak.lock();
    ASSERT_NE(s, nullptr);
    Stop(s);
    s.reset();
    EXPECT_TRUE(WaitFor([&] { return weak.expired(); }));
}

TEST_F(ThreadTest, AYieldWithoutTheGateLeavesTheGateWithItsHolder) {
    std::atomic<bool> waiterIn{false}, yielded{false};
    std::thread waiter, stranger;
    {
        fw::Gate::Hold hold;
        waiter = std::thread([&] {
            fw::Gate::Hold h;
            waiterIn = true;
        });
        while (!fw::Gate::Contended()) std::this_thread::yield();
        stranger = std::thread([&] {
            fw::YieldToEventLoop();
            yielded = true;
        });
        for (int i = 0; i < 400 && !yielded; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(yielded);
        EXPECT_FALSE(waiterIn);  // still this thread's gate
    }
    waiter.join();
    stranger.join();
    EXPECT_TRUE(waiterIn);
}

TEST_F(ThreadTest, ControlsChangedFromAThreadChangeOnTheUserInterfaceThread) {
    auto w = OnGate([] { return ProbeWindow::Make(); });
    auto label = w->Find<fw::StaticText>("Label");
    auto go = w->Find<fw::PushButton>("Go");
    EventThreads seen;
    label->Widget()->installEventFilter(&seen);
    go->Widget()->installEventFilter(&seen);
    w->TopWidget()->installEventFilter(&seen);
    RunOnThread([&] {
        label->SetTextSize(20);
        label->Apply({.Name = "Label", .Left = 70, .Top = 40, .Width = 30, .Height = 20, .Text = "y"});
        fw::WindowSettings settings = w->Settings();
        settings.Title = "Probe 2";
        w->ApplySettings(settings);
        go->SetEnabled(false);
    });
    ASSERT_TRUE(WaitFor([&] { return !go->Widget()->isEnabled(); }));
    EXPECT_EQ(label->Widget()->font().pixelSize(), 20);
    EXPECT_EQ(label->Widget()->width(), 30);
    EXPECT_EQ(w->TopWidget()->windowTitle(), "Probe 2");
    const auto [events, allHere] = seen.Seen();
    EXPECT_GT(events, 0u);
    EXPECT_TRUE(allHere);
    w->Close();
}

// Each change is carried to the widget with its own value, while the thread goes on
// changing the control (the thread checker watches the pair).
TEST_F(ThreadTest, EnabledSetFromAThreadReachesTheWidgetInOrder) {
    auto w = OnGate([] { return ProbeWindow::Make(); });
    auto go = w->Find<fw::PushButton>("Go");
    RunOnThread([&] {
        for (int i = 0; i < 100; ++i) {
            go->SetEnabled(i % 2 != 0);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    EXPECT_TRUE(WaitFor([&] { return go->Widget()->isEnabled(); }));  // the last value, true
    EXPECT_TRUE(go->Enabled());
    w->Close();
}

// A thread's change reaches the widget after one made on the user-interface thread
// meanwhile: the widget shows the value that holds, the later one.
TEST_F(ThreadTest, EnabledSetOnBothThreadsEndsAsTheLaterChange) {
    auto w = OnGate([] { return ProbeWindow::Make(); });
    auto go = w->Find<fw::PushButton>("Go");
    const struct {
        bool fromThread, thenHere;
    } cases[] = {{false, true}, {true, false}};
    for (const auto& c : cases) {
        auto t = fw::New<Caller>();
        t->body = [&] { go->SetEnabled(c.fromThread); };
        t->Run();
        // No event runs meanwhile: the thread's change waits in the queue.
        while (t->IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        OnGate([&] { go->SetEnabled(c.thenHere); });
        bool queueRun = false;
        fw::detail::PostToUi([&] { queueRun = true; });
        ASSERT_TRUE(WaitFor([&] { return queueRun; }));
        EXPECT_EQ(go->Widget()->isEnabled(), c.thenHere) << c.fromThread;
        EXPECT_EQ(OnGate([&] { return go->Enabled(); }), c.thenHere) << c.fromThread;
    }
    w->Close();
}

// Objects with a life of their own (a thread, widgets) are not copied.
TEST(Objects, ThoseWithALifeOfTheirOwnCannotBeCopied) {
    const struct {
        const char* what;
        bool copyable;
    } cases[] = {
        {"Thread", std::is_copy_constructible_v<fw::Thread> || std::is_copy_assignable_v<fw::Thread>},
        {"Window", std::is_copy_constructible_v<fw::Window> || std::is_copy_assignable_v<fw::Window>},
        {"RectControl", std::is_copy_constructible_v<fw::RectControl> || std::is_copy_assignable_v<fw::RectControl>},
    };
    for (const auto& c : cases) EXPECT_FALSE(c.copyable) << c.what;
}

TEST_F(ThreadTest, AButtonWhoseControlIsGoneRaisesNothing) {
    auto w = OnGate([] { return ProbeWindow::Make(); });
    QPointer<QAbstractButton> button = static_cast<QAbstractButton*>(w->Control("Go")->Widget());
    w->Close();
    w.reset();  // the window object and its controls go; the widgets are deleted later
    ASSERT_TRUE(button);
    button->click();
    EXPECT_TRUE(WaitFor([&] { return button.isNull(); }));
}

}  // namespace
