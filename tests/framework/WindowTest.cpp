#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QEventLoop>
#include <QImage>
#include <QLineEdit>
#include <QMetaObject>
#include <QTimer>
#include <QPaintEvent>

#include <chrono>
#include <thread>
#include <QWidget>

#include "ProbeWindow.h"
#include "framework/Dispatch.h"
#include "framework/Menu.h"
#include "framework/Runtime.h"
#include "framework/Thread.h"
#include "tests/Support.h"

using namespace testing_support;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterProbeClasses(); }
    void TearDown() override {
        for (auto& w : made_)
            if (w->IsOpen()) w->Close();
        made_.clear();
        QTest::qWait(20);
    }
    fw::Ref<ProbeWindow> Make() {
        auto w = OnGate([] { return ProbeWindow::Make(); });
        made_.push_back(w);
        return w;
    }
    std::vector<fw::Ref<ProbeWindow>> made_;
};

TEST_F(WindowTest, RecordHoldsTheOpenWindowUntilItCloses) {
    auto w = Make();
    EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), w);
    EXPECT_EQ(w->opens, 1);
    EXPECT_TRUE(w->TopWidget()->isVisible());
    w->TopWidget()->close();  // as the window's close box does
    EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), nullptr);
    EXPECT_EQ(w->closes, 1);
    EXPECT_FALSE(w->IsOpen());
    auto again = Make();
    EXPECT_NE(again, w);
    EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), again);
}

// The last reference to a window may go in its own close event, as when nothing but the
// record of open windows holds it, or in the handler of its own button that closes it:
// its destructor runs on the gate all the same.
TEST_F(WindowTest, AWindowClosedByItsCloseBoxOrItsOwnButtonIsDestroyedOnTheGate) {
    for (const bool byButton : {false, true}) {
        SCOPED_TRACE(byButton ? "its button" : "its close box");
        auto w = OnGate([] { return ProbeWindow::Make(); });
        std::weak_ptr<ProbeWindow> weak = w;
        QWidget* top = w->TopWidget();
        auto* go = static_cast<QAbstractButton*>(fw::NonNil(w->Control("Go")).Widget());
        w->closeInAction = true;
        OnGate([&] { w.reset(); });
        const int destroyed = ProbeWindow::destroyed, offGate = ProbeWindow::destroyedOffGate;
        byButton ? go->click() : (void)top->close();
        EXPECT_TRUE(weak.expired());
        EXPECT_EQ(ProbeWindow::destroyed, destroyed + 1);
        EXPECT_EQ(ProbeWindow::destroyedOffGate, offGate);
    }
}

// Looks at a window as soon as the thread gets the gate.
class WindowWatch : public fw::Thread {
public:
    std::weak_ptr<ProbeWindow> window;
    bool sawOpen = true;
    int closes = -1;
    void Event_Run() override {
        auto w = window.lock();
        sawOpen = w && w->IsOpen();
        closes = w ? w->closes : -1;
    }
};

// A thread that queues for the gate while the Close handler runs gets it only once the
// window has left the record.
TEST_F(WindowTest, AClosingWindowHasLeftTheRecordWhenTheNextHolderComes) {
    fw::RegisterClass<WindowWatch>("WindowWatch", "Thread");
    auto w = Make();
    auto watch = fw::New<WindowWatch>();
    watch->window = w;
    w->onClose = [&] { watch->Run(); };
    w->TopWidget()->close();
    ASSERT_TRUE(WaitFor([&] { return !watch->IsRunning(); }));
    EXPECT_EQ(watch->closes, 1);
    EXPECT_FALSE(watch->sawOpen);
}

// Lends the gate for one call, from a thread that holds it.
class Lender : public fw::Thread {
public:
    std::function<void()> call;
    void Event_Run() override { fw::detail::RunOnUi(call); }
};

// While the user-interface thread runs a call for a holder of the gate, an event loop
// nested in the call runs no handler and no posted call: a click's handler is refused
// (and said so), a call posted from another thread waits for the call's end.
TEST_F(WindowTest, NothingElseRunsInACallLentTheGate) {
    fw::RegisterClass<Lender>("Lender", "Thread");
    auto w = Make();
    auto* go = static_cast<QAbstractButton*>(fw::NonNil(w->Control("Go")).Widget());
    int posted = 0, postedInCall = -1, actionsInCall = -1;
    auto lender = fw::New<Lender>();
    lender->call = [&] {
        QMetaObject::invokeMethod(go, [go] { go->click(); }, Qt::QueuedConnection);
        std::thread([&] { fw::detail::PostToUi([&] { ++posted; }); }).join();
        QEventLoop nested;
        QTimer::singleShot(50, &nested, &QEventLoop::quit);
        nested.exec();
        actionsInCall = w->actions;
        postedInCall = posted;
    };
    StderrCapture err;
    OnGate([&] { lender->Run(); });
    ASSERT_TRUE(WaitFor([&] { return !lender->IsRunning() && posted == 1; }));
    err.Restore();
    EXPECT_EQ(actionsInCall, 0);
    EXPECT_EQ(postedInCall, 0);
    EXPECT_EQ(w->actions, 0);
    EXPECT_NE(err.Text().find("ProbeWindow.ProbeWindow.Go.Action not run"), std::string::npos) << err.Text();
}

// Changing a shown window's buttons or bar leaves it shown, each setting applied and
// the bar above the content area.
TEST_F(WindowTest, AShownWindowStaysShownWhateverIsChanged) {
    const struct {
        const char* what;
        std::function<void(ProbeWindow&, fw::WindowSettings&)> change;
    } cases[] = {
        {"close button", [](ProbeWindow& w, fw::WindowSettings& s) {
             s.CloseButton = false;
             w.ApplySettings(s);
         }},
        {"menu bar", [](ProbeWindow& w, fw::WindowSettings&) {
             auto bar = std::make_shared<fw::MenuBar>();
             auto file = std::make_shared<fw::MenuItem>();
             file->SetText("File");
             bar->Append(file);
             w.SetMenuBar(bar);
         }},
    };
    for (const auto& c : cases) {
        auto w = Make();
        ASSERT_TRUE(w->TopWidget()->isVisible()) << c.what;
        fw::WindowSettings s = w->Settings();
        c.change(*w, s);
        QWidget* top = w->TopWidget();
        EXPECT_TRUE(top->isVisible()) << c.what;
        EXPECT_EQ(top->windowFlags().testFlag(Qt::WindowCloseButtonHint), s.CloseButton) << c.what;
        const int barHeight = w->Body()->y();
        EXPECT_EQ(barHeight > 0, w->MenuBar() != nullptr) << c.what;
        EXPECT_EQ(w->Body()->size(), QSize(s.Width, s.Height)) << c.what;
        EXPECT_EQ(top->size(), QSize(s.Width, s.Height + barHeight)) << c.what;
    }
}

TEST_F(WindowTest, ControlsAreFoundByNameAndClass) {
    auto w = Make();
    EXPECT_NE(w->Find<fw::Canvas>("Canvas1"), nullptr);
    EXPECT_EQ(w->Find<fw::PushButton>("Canvas1"), nullptr);  // the cast verifies the class
    EXPECT_EQ(w->Control("NoSuchControl"), nullptr);
    EXPECT_THROW(fw::NonNil(w->Control("NoSuchControl")), fw::NilObjectException);
    EXPECT_EQ(w->Body()->size(), QSize(200, 120));
    EXPECT_EQ(w->TopWidget()->minimumSize(), w->TopWidget()->maximumSize());  // not resizable
}

// A window or a control is built once: building it again is refused and changes
// nothing, and the window still closes for good.
TEST_F(WindowTest, BuildingAgainIsRefused) {
    const struct {
        const char* what;
        std::function<void(ProbeWindow&)> build;
    } cases[] = {
        {"window", [](ProbeWindow& w) { w.Constructor(); }},
        {"control", [](ProbeWindow& w) { fw::NonNil(w.Control("Go")).Constructor(); }},
    };
    for (const auto& c : cases) {
        auto w = Make();
        QWidget* top = w->TopWidget();
        QWidget* go = w->Control("Go")->Widget();
        const auto children = w->Body()->children();
        EXPECT_THROW(OnGate([&] { c.build(*w); }), std::logic_error) << c.what;
        EXPECT_EQ(w->TopWidget(), top) << c.what;
        EXPECT_EQ(w->Control("Go")->Widget(), go) << c.what;
        EXPECT_EQ(w->Body()->children(), children) << c.what;
        EXPECT_EQ(w->opens, 1) << c.what;
        top->close();
        EXPECT_FALSE(w->IsOpen()) << c.what;
        EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), nullptr) << c.what;
    }
}

// A text field's text is what its widget holds, cut at the limit of the settings
// applied last; one field takes the rows in turn.
TEST_F(WindowTest, ATextFieldGivesTheTextItShows) {
    auto w = Make();
    auto field = OnGate([&] {
        auto f = w->New<fw::TextField>();
        f->Constructor();
        w->AddControl("Field", f);
        return f;
    });
    const struct {
        int limit;
        const char* text;
        const char* shown;
    } cases[] = {{5, "123456", "12345"}, {0, "123456", "123456"}, {3, "ab", "ab"}, {3, "abcd", "abc"}};
    for (const auto& c : cases) {
        field->Apply({.Name = "Field", .Width = 60, .Height = 20, .Text = c.text, .LimitText = c.limit});
        EXPECT_EQ(static_cast<QLineEdit*>(field->Widget())->text().toStdString(), c.shown) << c.limit << c.text;
        EXPECT_EQ(field->Text(), c.shown) << c.limit << " " << c.text;
    }
}

// Controls hold one value a name, windows of one class several; a look-up gives the
// value added last, and every change moves the look-up generation on.
TEST(NameMap, AnswersWhatTheMapHoldsAfterEachChange) {
    fw::Gate::Hold hold;
    fw::detail::NameMap<int> map;
    std::uint64_t generation = fw::LookUpGeneration();
    auto changed = [&] {
        const bool moved = fw::LookUpGeneration() != generation;
        generation = fw::LookUpGeneration();
        return moved;
    };
    map.Set("Canvas1", 1);
    map.Set("dtField", 2);
    EXPECT_TRUE(changed());
    ASSERT_NE(map.Find("Canvas1"), nullptr);
    EXPECT_EQ(*map.Find("Canvas1"), 1);
    EXPECT_EQ(*map.Find("dtField"), 2);
    EXPECT_EQ(map.Find("Canvas2"), nullptr);
    EXPECT_EQ(map.Find("Canvas"), nullptr);
    map.Set("dtField", 3);  // in place of 2
    EXPECT_TRUE(changed());
    EXPECT_EQ(*map.Find("dtField"), 3);
    map.EraseIf("dtField", 2);  // not held: nothing changes
    EXPECT_FALSE(changed());
    EXPECT_EQ(*map.Find("dtField"), 3);
    map.EraseIf("dtField", 3);
    EXPECT_TRUE(changed());
    EXPECT_EQ(map.Find("dtField"), nullptr);
    map.Add("Canvas1", 4);  // beside 1
    EXPECT_EQ(*map.Find("Canvas1"), 4);
    map.EraseIf("Canvas1", 4);
    EXPECT_EQ(*map.Find("Canvas1"), 1);
    map.Add("Canvas1", 5);
    map.EraseIf("Canvas1", 1);
    EXPECT_EQ(*map.Find("Canvas1"), 5);
    map.Clear();
    EXPECT_TRUE(changed());
    EXPECT_EQ(map.Find("Canvas1"), nullptr);
}

// Two windows of one class are both open; the record gives the one opened last, and
// the other again once that one closes.
TEST_F(WindowTest, TwoWindowsOfAClassAreOpenTogether) {
    auto first = Make();
    auto second = Make();
    EXPECT_TRUE(first->IsOpen());
    EXPECT_TRUE(second->IsOpen());
    EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), second);
    second->TopWidget()->close();
    EXPECT_FALSE(second->IsOpen());
    EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), first);
    first->TopWidget()->close();
    EXPECT_EQ(first->closes, 1);
    EXPECT_EQ(fw::OpenWindow(ProbeWindow::kName), nullptr);
}

TEST_F(WindowTest, ActionReachesTheWindowItWasBoundTo) {
    auto a = Make();
    auto b = Make();
    Click(b->Control("Go"));
    EXPECT_EQ(a->actions, 0);
    EXPECT_EQ(b->actions, 1);
    EXPECT_EQ(b->lastSender, b->Control("Go"));
    EXPECT_EQ(b->Sender(), nullptr);  // only while the handler runs
}

TEST_F(WindowTest, ExceptionInAHandlerIsReportedAndTheApplicationGoesOn) {
    auto w = Make();
    w->throwInAction = true;
    StderrCapture err;
    Click(w->Control("Go"));
    err.Restore();
    EXPECT_NE(err.Text().find("NilObjectException in ProbeWindow.ProbeWindow.Go.Action"), std::string::npos)
        << err.Text();
    w->throwInAction = false;
    Click(w->Control("Go"));
    EXPECT_EQ(w->actions, 2);
}

class Painter : public fw::Thread {
public:
    fw::Ref<fw::Graphics> g;
    void Event_Run() override {
        g->Pixel(5, 6, fw::RGB(255, 0, 0));
        g->Pixel(-1, 6, fw::RGB(255, 0, 0));        // outside: ignored
        g->Pixel(5, 2000000000, fw::RGB(255, 0, 0));  // far outside: harmless
        auto pic = std::make_shared<fw::Picture>(QImage(3, 3, QImage::Format_RGB32));
        g->DrawPicture(pic, 48, 38);                 // clipped at the corner
        g->DrawPicture(pic, -2147483647 - 1, 2147483647);
        g->DrawPicture(nullptr, 1, 1);               // nil draws nothing
    }
};

TEST_F(WindowTest, RefreshWithEraseWipesWhatAThreadDrew) {
    fw::RegisterClass<Painter>("Painter", "Thread");
    auto w = Make();
    auto g = fw::NonNil(w->Find<fw::Canvas>("Canvas1")).Graphics();
    const fw::Color back{ProbeWindow::kBack};
    EXPECT_EQ(g->Pixel(5, 6), back);
    auto painter = fw::New<Painter>();
    painter->g = g;
    painter->Run();
    ASSERT_TRUE(WaitFor([&] { return !painter->IsRunning(); }));
    EXPECT_EQ(g->Pixel(5, 6), fw::RGB(255, 0, 0));
    // The widget shows the drawing at its next refresh, and keeps it across repaints.
    QWidget* canvas = w->Find<fw::Canvas>("Canvas1")->Widget();
    ASSERT_TRUE(WaitFor([&] { return canvas->grab().toImage().pixel(5, 6) == qRgb(255, 0, 0); }));
    canvas->repaint();
    EXPECT_EQ(canvas->grab().toImage().pixel(5, 6), qRgb(255, 0, 0));
    w->Refresh(true);
    EXPECT_EQ(g->Pixel(5, 6), back);
    EXPECT_EQ(g->Pixel(49, 39), back);
    ASSERT_TRUE(WaitFor([&] { return canvas->grab().toImage().pixel(5, 6) == QColor(QRgb(back.rgb)).rgb(); }));
}

// An erased canvas shows what its window's content area shows, as the window's
// settings stand when it is erased.
TEST_F(WindowTest, ACanvasErasesToTheColourItsWindowShowsNow) {
    const struct {
        bool hasBackColor;
        std::uint32_t backColor, shown;
    } cases[] = {{true, 0x405060, 0x405060}, {false, 0x405060, 0xFFFFFF}};
    for (const auto& c : cases) {
        auto w = Make();
        fw::WindowSettings s = w->Settings();
        s.HasBackColor = c.hasBackColor;
        s.BackColor = fw::Color{c.backColor};
        w->ApplySettings(s);
        OnGate([&] { w->Refresh(true); });
        auto canvas = w->Find<fw::Canvas>("Canvas1");
        const QRgb shown = QColor(QRgb(c.shown)).rgb();
        EXPECT_EQ(OnGate([&] { return canvas->Graphics()->Pixel(5, 6); }), fw::Color{c.shown}) << c.hasBackColor;
        EXPECT_EQ(w->Body()->palette().color(QPalette::Window).rgb(), shown) << c.hasBackColor;
        EXPECT_TRUE(WaitFor([&] { return canvas->Widget()->grab().toImage().pixel(5, 6) == shown; }, 1000))
            << c.hasBackColor;
    }
}

// Draws, waits until the user-interface thread has taken the change up, then draws
// again within the same frame, which has to wait for the rest of the frame; a while
// later a third change must reach the screen as well.
class ThreeChanges : public fw::Thread {
public:
    fw::Ref<fw::Graphics> g;
    void Event_Run() override {
        g->Pixel(1, 1, fw::RGB(255, 0, 0));
        fw::detail::RunOnUi([] {});  // the request posted before this call has been shown
        g->Pixel(2, 1, fw::RGB(0, 255, 0));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        g->Pixel(3, 1, fw::RGB(0, 0, 255));
    }
};

// Notes whether the canvas was painted while its third pixel was drawn.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(fw::Ref<fw::Graphics> g) : g_(std::move(g)) {}
    bool sawThird = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && g_->Pixel(3, 1) == fw::RGB(0, 0, 255)) sawThird = true;
        return false;
    }

private:
    fw::Ref<fw::Graphics> g_;
};

TEST_F(WindowTest, EveryChangeOnACanvasReachesTheScreen) {
    fw::RegisterClass<ThreeChanges>("ThreeChanges", "Thread");
    auto w = Make();
    auto g = fw::NonNil(w->Find<fw::Canvas>("Canvas1")).Graphics();
    PaintWatch watch(g);
    QWidget* canvas = w->Find<fw::Canvas>("Canvas1")->Widget();
    canvas->installEventFilter(&watch);
    auto painter = fw::New<ThreeChanges>();
    painter->g = g;
    painter->Run();
    ASSERT_TRUE(WaitFor([&] { return !painter->IsRunning(); }));
    EXPECT_TRUE(WaitFor([&] { return watch.sawThird; }, 1000));
    canvas->removeEventFilter(&watch);
}

TEST_F(WindowTest, MenusFindItemsAndAutoEnableThem) {
    auto bar = std::make_shared<fw::MenuBar>();
    auto file = std::make_shared<fw::MenuItem>();
    file->SetName("FileMenu");
    file->SetText("&File");
    bar->Append(file);
    auto make = [&](std::shared_ptr<fw::MenuItem> item, const char* name) {
        item->SetName(name);
        item->SetText(name);
        item->SetAutoEnable(true);
        file->Append(item);
        return item;
    };
    auto handled = make(std::make_shared<fw::MenuItem>(), "Handled");
    auto unhandled = make(std::make_shared<fw::MenuItem>(), "Unhandled");
    auto quit = make(std::make_shared<fw::QuitMenuItem>(), "Quit");
    EXPECT_EQ(bar->Child("FileMenu"), file);
    EXPECT_EQ(bar->Child("Handled"), nullptr);  // not a direct child
    EXPECT_EQ(bar->Lookup("Handled"), handled);
    EXPECT_EQ(bar->Lookup("Nothing"), nullptr);

    auto w = Make();
    int chosen = 0;
    OnGate([&] {
        w->SetMenuBar(bar);
        w->AddMenuHandler("Handled", [&] {
            ++chosen;
            return false;
        });
    });
    w->UpdateMenus();
    EXPECT_TRUE(handled->Enabled());
    EXPECT_FALSE(unhandled->Enabled());
    EXPECT_TRUE(quit->Enabled());
    EXPECT_GE(w->enableMenuItems, 1);
    w->ChooseMenuItem(handled);
    w->ChooseMenuItem(unhandled);
    EXPECT_EQ(chosen, 1);
}

}  // namespace
