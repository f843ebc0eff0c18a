#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "TextFit.h"
#include "UiFixture.h"

namespace {

struct Expected {
    const char* name;
    const char* qtClass;
    int left, top, width, height;
    const char* text;
    int textPixels;  // 0: the default size
    bool selected;
};

const Expected kControls[] = {
    {"Canvas1", "", 106, 62, 567, 486, "", 0, false},
    {"RunStable", "QPushButton", 6, 92, 80, 20, "Stable", 0, false},
    {"RunUnstable", "QPushButton", 6, 124, 80, 20, "Unstable", 0, false},
    {"StopButton", "QPushButton", 6, 170, 80, 20, "Stop", 0, false},
    {"ClearButton", "QPushButton", 6, 203, 80, 20, "Clear", 0, false},
    {"ScaleUpButton", "QPushButton", 8, 236, 80, 20, "Scale +", 0, false},
    {"ScaleDownButton", "QPushButton", 7, 270, 80, 20, "Scale -", 0, false},
    {"AnimationButton", "QRadioButton", 5, 309, 100, 20, "Animation", 0, true},
    {"PathButton", "QRadioButton", 5, 341, 100, 20, "Paths", 0, false},
    {"dtField", "QLineEdit", 540, 7, 49, 22, "50", 0, false},
    {"SpeedField", "QLineEdit", 540, 34, 49, 22, "100", 0, false},
    {"StaticText1", "QLabel", 481, 8, 61, 20, "Input dt:", 0, false},
    {"StaticText2", "QLabel", 487, 34, 48, 20, " Speed:", 0, false},
    {"StaticText3", "QLabel", 594, 8, 58, 20, "seconds", 0, false},
    {"StaticText4", "QLabel", 594, 37, 58, 20, "percent", 0, false},
    {"StaticText5", "QLabel", 6, 62, 85, 20, "Start Buttons", 0, false},
    {"StaticText6", "QLabel", 6, 14, 139, 36, "Velmoras", 32, false},
    {"StaticText7", "QLabel", 6, 370, 88, 20, "Orbit Years", 0, false},
    {"StaticText8", "QLabel", 6, 402, 70, 41, "0", 32, false},
    {"StaticText9", "QLabel", 227, 14, 226, 36,
     "Run the unstable system  about 100 orbit years and see what happens.", 12, false},
};

QString TextOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return {};
}

void ExpectFreshLayout(const fw::Ref<class Window1>& window) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->TopWidget()->windowTitle(), "Velmora");
    EXPECT_EQ(window->Body()->size(), QSize(680, 556));
    EXPECT_EQ(window->DrawOrbits, nullptr);
    for (const auto& e : kControls) {
        SCOPED_TRACE(e.name);
        fw::Ref<fw::RectControl> c = window->Control(e.name);
        ASSERT_NE(c, nullptr);
        QWidget* w = c->Widget();
        if (*e.qtClass) {
            EXPECT_TRUE(w->inherits(e.qtClass)) << w->metaObject()->className();
        }
        EXPECT_EQ(w->pos(), QPoint(e.left, e.top));
        // A label's box is fitted to its text and its neighbours (EveryLabelShowsItsWholeText...),
        // a wrapped one at its own width; nothing else changes size.
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap()) {
                EXPECT_EQ(w->width(), e.width);
            }
        } else {
            EXPECT_EQ(w->size(), QSize(e.width, e.height));
        }
        EXPECT_EQ(TextOf(w), e.text);
        if (e.textPixels) {
            EXPECT_EQ(w->font().pixelSize(), e.textPixels);
        }
        EXPECT_TRUE(c->Enabled());
        EXPECT_TRUE(w->isEnabled());
        if (auto* r = qobject_cast<QRadioButton*>(w)) {
            EXPECT_EQ(r->isChecked(), e.selected);
        }
    }
}

TEST_F(UiTest, AFreshMainWindowMatchesItsLayout) {
    ExpectFreshLayout(window);
    auto* heading = static_cast<QLabel*>(window->StaticText6()->Widget());
    EXPECT_TRUE(heading->font().bold());
    EXPECT_EQ(heading->palette().color(QPalette::WindowText), QColor(0xBE, 0x22, 0x3F));
    auto* hint = static_cast<QLabel*>(window->StaticText9()->Widget());
    EXPECT_TRUE(hint->wordWrap());
    EXPECT_EQ(hint->palette().color(QPalette::WindowText), QColor(0x24, 0x00, 0x50));
    EXPECT_EQ(window->Body()->palette().color(QPalette::Window), QColor(0xC1, 0xDB, 0xD3));
    EXPECT_TRUE(window->TopWidget()->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->TopWidget()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->TopWidget()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(window->TopWidget()->minimumSize(), window->TopWidget()->maximumSize());
    EXPECT_TRUE(V::Valinta);  // the window opened in animation mode
}

TEST_F(UiTest, EveryLabelShowsItsWholeTextAndCoversNoControl) {
    EXPECT_EQ(ExpectEveryTextFits(*window), 9);
    window->ChooseMenuItem(window->AppleAbout());
    auto about = fw::OpenWindow("AboutWindow.AboutWindow");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(ExpectEveryTextFits(*about), 8);
    // The years, up to the Integer bounds that a time step of 1e9 or -1e9 reaches: drawn
    // at their own size while they fit beside the canvas, smaller but readable beyond.
    struct Years {
        const char* text;
        bool ownSize;
    };
    for (const Years& y : {Years{"0", true}, {"999.9", true}, {"1993.7", false}, {"214748364.7", false},
                           {"-214748364.8", false}}) {
        SCOPED_TRACE(y.text);
        testing_support::OnGate([&] { window->StaticText8()->SetText(y.text); });
        QWidget* years = window->StaticText8()->Widget();
        EXPECT_EQ(years->pos(), QPoint(6, 402));
        const int pixels = QFontInfo(years->font()).pixelSize();
        if (y.ownSize) {
            EXPECT_EQ(pixels, 32);
        } else {
            EXPECT_GE(pixels, 12);
        }
        ExpectEveryTextFits(*window);
    }
    // A shorter text goes back to the label's own size.
    testing_support::OnGate([&] { window->StaticText8()->SetText("12.5"); });
    EXPECT_EQ(QFontInfo(window->StaticText8()->Widget()->font()).pixelSize(), 32);
}

// Focus moves as the Tab key moves it. The two radio buttons are exclusive and, as usual
// for such a group, one stop: the selected one.
TEST_F(UiTest, TheTabKeyMovesFocusInTheCreationOrder) {
    QWidget* top = window->TopWidget();
    top->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(top));
    auto tabThrough = [&](const std::vector<const char*>& stops, Qt::KeyboardModifiers modifiers) {
        window->Control(stops[0])->Widget()->setFocus(Qt::TabFocusReason);
        for (std::size_t i = 1; i < stops.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            QWidget* focus = QApplication::focusWidget();
            EXPECT_EQ(focus, window->Control(stops[i])->Widget())
                << "after " << stops[i - 1] << " focus is on " << (focus ? focus->objectName().toStdString() : "nothing");
        }
    };
    tabThrough({"RunStable", "RunUnstable", "StopButton", "ClearButton", "ScaleUpButton", "ScaleDownButton",
                "AnimationButton", "dtField", "SpeedField", "RunStable"},
               Qt::NoModifier);
    testing_support::Click(window->PathButton());
    tabThrough({"ScaleDownButton", "PathButton", "dtField"}, Qt::NoModifier);
    tabThrough({"SpeedField", "dtField", "PathButton", "ScaleDownButton"}, Qt::ShiftModifier);
}

TEST_F(UiTest, TheAccessorGivesTheOpenWindowElseAFreshOne) {
    EXPECT_EQ(Window1(), window);
    static_cast<QLineEdit*>(window->dtField()->Widget())->setText("7");
    testing_support::Click(window->PathButton());
    window->TopWidget()->close();
    EXPECT_EQ(fw::OpenWindow(Window1::kClassName), nullptr);
    auto fresh = testing_support::OnGate([] { return Window1(); });
    EXPECT_NE(fresh, window);
    EXPECT_TRUE(fresh->TopWidget()->isVisible());
    ExpectFreshLayout(fresh);
    EXPECT_EQ(fresh->MenuBar(), window->MenuBar());
    fresh->Close();
}

TEST_F(UiTest, ClickingLabelsTheCanvasOrAFieldRunsNothing) {
    const fw::Color mark = fw::RGB(9, 9, 9);
    for (bool animation : {true, false}) {
        testing_support::OnGate([&] {
            V::Valinta = animation;
            V::sck = 1234;
            Canvas().Pixel(300, 300, mark);
        });
        for (const char* name : {"StaticText1", "StaticText5", "StaticText8", "StaticText9", "Canvas1", "dtField",
                                 "SpeedField"}) {
            SCOPED_TRACE(std::string(name) + (animation ? " in animation" : " in paths"));
            testing_support::Click(window->Control(name));
            testing_support::OnGate([&] {
                EXPECT_EQ(window->DrawOrbits, nullptr);
                EXPECT_EQ(V::Valinta, animation);
                EXPECT_EQ(V::sck, 1234);
                EXPECT_EQ(Canvas().Pixel(300, 300), mark);  // not wiped
            });
        }
    }
}

TEST_F(UiTest, StartUpInstallsTheMenuBarOnTheApplicationAndTheWindow) {
    EXPECT_NE(fw::App(), nullptr);
    EXPECT_EQ(fw::App()->MenuBar(), MenuBar1());
    EXPECT_EQ(window->MenuBar(), MenuBar1());
}

}  // namespace
