#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMap>
#include <QMenuBar>

#include <algorithm>

#include "UiFixture.h"

using testing_support::OnGate;
using testing_support::WaitFor;

namespace {

// The rows of a picture from top to bottom, one letter for each run of like rows: "-" a
// line across (a frame or a separator), "T" a row with some marks (text), "." blank.
std::string RowsOf(const QImage& image) {
    QMap<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    const QRgb background = std::max_element(counts.begin(), counts.end()).key();
    const int inset = 4, width = image.width() - 2 * inset;  // clear of the side frames
    std::string rows;
    for (int y = 0; y < image.height(); ++y) {
        int marked = 0;
        for (int x = inset; x < inset + width; ++x) marked += image.pixel(x, y) != background;
        const char kind = marked * 10 >= width * 8 ? '-' : marked ? 'T' : '.';
        if (rows.empty() || rows.back() != kind) rows += kind;
    }
    return rows;
}

class MenuAboutTest : public UiTest {
protected:
    fw::Ref<fw::Window> About() { return fw::OpenWindow(AboutWindow::kClassName); }
    void ChooseAbout() { window->ChooseMenuItem(window->AppleAbout()); }
};

TEST_F(MenuAboutTest, TheMenuTreeIsBuiltOnceAndShared) {
    fw::Ref<class MenuBar1> bar = MenuBar1();
    ASSERT_EQ(bar->Count(), 2);
    struct Item {
        const char* name;
        const char* text;
        const char* shortcut;
    };
    const Item file[] = {{"FileQuit", "Quit", "Cmd+Q"}};
    const Item edit[] = {{"UntitledMenu1", "-", ""}, {"EditClear", "Clear", ""}, {"UntitledMenu0", "-", ""},
                         {"AppleAbout", "About Velmora", ""}};
    auto check = [](const fw::Ref<fw::MenuItem>& menu, const char* name, const char* text, auto& items) {
        EXPECT_EQ(menu->Name(), name);
        EXPECT_EQ(menu->Text(), text);
        EXPECT_EQ(menu->KeyboardShortcut(), "");
        ASSERT_EQ(menu->Count(), static_cast<int>(std::size(items)));
        for (int i = 0; i < menu->Count(); ++i) {
            EXPECT_EQ(menu->Item(i)->Name(), items[i].name);
            EXPECT_EQ(menu->Item(i)->Text(), items[i].text);
            EXPECT_EQ(menu->Item(i)->KeyboardShortcut(), items[i].shortcut);
            EXPECT_TRUE(menu->Item(i)->AutoEnable());
        }
    };
    check(bar->Item(0), "FileMenu", "&File", file);
    check(bar->Item(1), "EditMenu", "&Edit", edit);
    EXPECT_NE(fw::Cast<fw::QuitMenuItem>(bar->Lookup("FileQuit")), nullptr);
    // The accessors return the very items that the menu bar made, as their classes.
    EXPECT_EQ(window->AppleAbout(), bar->Lookup("AppleAbout"));
    EXPECT_NE(window->AppleAbout(), nullptr);
    EXPECT_EQ(window->FileQuit(), bar->Lookup("FileQuit"));
    EXPECT_EQ(window->EditClear(), bar->Lookup("EditClear"));
    EXPECT_EQ(window->UntitledMenu0(), bar->Item(1)->Item(2));
    EXPECT_EQ(window->UntitledMenu1(), bar->Item(1)->Item(0));
    EXPECT_EQ(window->FileMenu(), bar->Item(0));
    EXPECT_EQ(window->EditMenu(), bar->Item(1));
    // A second main window gets the same bar, not a new one.
    window->Close();
    window = OnGate([] { return Window1(); });
    EXPECT_EQ(window->MenuBar(), bar);
    EXPECT_EQ(bar->Item(0)->Count(), 1);
    EXPECT_EQ(fw::App()->MenuBar(), bar);
}

TEST_F(MenuAboutTest, TheWindowShowsTheMenusWithClearDisabled) {
    auto* qbar = window->TopWidget()->findChild<QMenuBar*>();
    ASSERT_NE(qbar, nullptr);
    const auto menus = qbar->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Edit");
    const auto fileItems = menus[0]->menu()->actions();
    ASSERT_EQ(fileItems.size(), 1);
    EXPECT_EQ(fileItems[0]->shortcut(), QKeySequence("Ctrl+Q"));
    window->UpdateMenus();
    const auto editItems = menus[1]->menu()->actions();
    ASSERT_EQ(editItems.size(), 4);
    EXPECT_TRUE(editItems[0]->isSeparator());
    EXPECT_EQ(editItems[1]->text(), "Clear");
    EXPECT_FALSE(editItems[1]->isEnabled());  // no handler
    EXPECT_TRUE(editItems[2]->isSeparator());
    EXPECT_EQ(editItems[3]->text(), "About Velmora");
    EXPECT_TRUE(editItems[3]->isEnabled());
    EXPECT_TRUE(fileItems[0]->isEnabled());
    // As the open menu draws them, top to bottom: its frame, a separator, "Clear", a
    // separator, "About Velmora", its frame; the leading separator is neither collapsed
    // nor lost in the frame.
    QMenu* edit = menus[1]->menu();
    QTest::mouseClick(qbar, Qt::LeftButton, Qt::NoModifier, qbar->actionGeometry(menus[1]).center());
    ASSERT_TRUE(WaitFor([&] { return edit->isVisible(); }));
    EXPECT_EQ(RowsOf(edit->grab().toImage()), "-.-.T.-.T.-");
    for (QAction* item : editItems) EXPECT_FALSE(edit->actionGeometry(item).isEmpty()) << item->text().toStdString();
    edit->close();
}

// A cancel key that an open menu takes only closes the menu; pressed in the window, a
// text field included, it ends the run.
TEST_F(MenuAboutTest, ACancelKeyEndsTheRunUnlessAMenuTakesIt) {
    QMenu* edit = window->TopWidget()->findChild<QMenuBar*>()->actions()[1]->menu();
    QWidget* field = window->dtField()->Widget();
    struct Key {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    for (const Key& k : {Key{"Escape", Qt::Key_Escape, Qt::NoModifier}, {"Ctrl+.", Qt::Key_Period, Qt::ControlModifier}}) {
        SCOPED_TRACE(k.name);
        Start("RunStable");
        ASSERT_TRUE(RunGoing());
        edit->popup(window->TopWidget()->mapToGlobal(QPoint(40, 20)));
        ASSERT_TRUE(WaitFor([&] { return edit->isVisible(); }));
        QTest::keyClick(edit, k.key, k.modifiers);
        if (k.key == Qt::Key_Escape) {
            EXPECT_FALSE(edit->isVisible());
        }
        edit->close();
        const double t = OnGate([] { return V::t; });
        EXPECT_TRUE(WaitFor([&] { return OnGate([] { return V::t; }) > t; })) << "the run stopped";
        EXPECT_TRUE(window->DrawOrbits->IsRunning());
        QTest::keyClick(field, k.key, k.modifiers);
        EXPECT_TRUE(WaitFor([&] { return !window->DrawOrbits->IsRunning(); })) << "the run goes on";
        Click("StopButton");
    }
}

TEST_F(MenuAboutTest, AboutShowsOneWindowAndAClickClosesIt) {
    EXPECT_EQ(About(), nullptr);  // not made at start
    EXPECT_FALSE(OnGate([&] { return window->AppleAbout_Action(); }));
    auto about = About();
    ASSERT_NE(about, nullptr);
    ChooseAbout();
    EXPECT_EQ(About(), about);  // shown again, not rebuilt
    QWidget* top = about->TopWidget();
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(top->windowTitle(), "About Velmora");
    EXPECT_EQ(about->Body()->size(), QSize(530, 402));
    EXPECT_EQ(top->minimumSize(), top->maximumSize());
    EXPECT_FALSE(top->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(top->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(about->Body()->palette().color(QPalette::Window), QColor(Qt::white));
    // A mouse-down on the background closes it; so does one on a label.
    QTest::mouseClick(about->Body(), Qt::LeftButton, Qt::NoModifier, QPoint(500, 390));
    EXPECT_EQ(About(), nullptr);
    EXPECT_FALSE(about->IsOpen());
    ChooseAbout();
    auto again = About();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, about);
    EXPECT_EQ(again->Find<fw::StaticText>("StaticText5")->Text(), about->Find<fw::StaticText>("StaticText5")->Text());
    QTest::mouseClick(again->Find<fw::StaticText>("StaticText3")->Widget(), Qt::LeftButton);
    EXPECT_EQ(About(), nullptr);
}

TEST_F(MenuAboutTest, TheAboutTextsStandLetterForLetter) {
    ChooseAbout();
    auto about = About();
    ASSERT_NE(about, nullptr);
    struct Label {
        const char* name;
        int textPixels;
        const char* colour;
        const char* text;  // as it stands, misspellings and runs of blanks included
    };
    const Label labels[] = {
        {"StaticText1", 24, "#cc0a0a",
         "Velmora"},
        {"StaticText3", 10, "#000000",
         "Double star systems are fairly common in our galaxy but triple star systems are rare. This is "
         "because systems with 3 or more stars with about equal masses are usually  unstable."},
        {"StaticText4", 12, "#151ca3",
         "About Calculation Accuracy:"},
        {"StaticText5", 10, "#12168e",
         "The calculation is done using Newtonian laws of gravity.  The calculation proceeds in short "
         "straight line steps (initial value 3600 seconds=1 hour) while the real  orbits are smooth "
         "ellipses. Therefore, an  error accumulates when the calculation loop is repeated millions of "
         "times.  Also the computer accuracy is limited in spite of the double precision used in this "
         "example. The chaos starts when enough error accumulates to  divert the stars from the original "
         "orbits."},
        {"StaticText6", 10, "#071e9e",
         "Calculation interval dt determines the accuracy and speed of the calculation loop. Therefore, "
         "even small changes in dt will end up in a totally different end of the star system. It either "
         "disintegrates completely or one star is thrown away with two  orbiting each other as a double "
         "star system."},
        {"StaticText7", 10, "#0308a0",
         "If  the system suddendly \"explodes\" with one or more stars escaping from the screen at high "
         "velocity, a really big calculation error has taken place. This usually happens when two stars "
         "pass each other at a very close distance causing a high curvature of the star trajectories. The "
         "computer, however, caculates a straight line between two orbit points and an enermous "
         "calculation error results.  This could be avoided by programming  the variable dt  dependent on "
         "the star distances.  This is, however, beyond the scope of  this small program example."},
        {"StaticText10", 10, "#000000",
         "This example shows two  very unlikely  systems of 3 stars  of equal masses   orbiting their "
         "common center of gravity.  One  of the systems is  unstable and the other one stable as far as "
         "the speed percent is kept close to 100. You can change dt and Speed percent values to see what "
         "happens?"},
    };
    for (const auto& l : labels) {
        SCOPED_TRACE(l.name);
        auto label = about->Find<fw::StaticText>(l.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->Text(), l.text);
        auto* widget = static_cast<QLabel*>(label->Widget());
        EXPECT_EQ(widget->text().toStdString(), l.text);
        EXPECT_EQ(widget->font().pixelSize(), l.textPixels);
        EXPECT_EQ(widget->palette().color(QPalette::WindowText).name().toStdString(), l.colour);
    }
    EXPECT_FALSE(about->Find<fw::StaticText>("StaticText2")->Text().empty());
    EXPECT_FALSE(static_cast<QLabel*>(about->Find<fw::StaticText>("StaticText4")->Widget())->wordWrap());
}

TEST_F(MenuAboutTest, ARunGoesOnWhileTheAboutWindowOpensAndCloses) {
    Start("RunUnstable");
    ASSERT_TRUE(RunGoing());
    ChooseAbout();
    auto about = About();
    ASSERT_NE(about, nullptr);
    const double t = OnGate([] { return V::t; });
    EXPECT_TRUE(WaitFor([&] { return OnGate([] { return V::t; }) > t; }));
    QTest::mouseClick(about->Body(), Qt::LeftButton);
    EXPECT_EQ(About(), nullptr);
    const double t2 = OnGate([] { return V::t; });
    EXPECT_TRUE(WaitFor([&] { return OnGate([] { return V::t; }) > t2; }));
    EXPECT_TRUE(window->DrawOrbits->IsRunning());
    EXPECT_FALSE(OnGate([&] { return window->DrawOrbits->Stopp; }));
}

}  // namespace
