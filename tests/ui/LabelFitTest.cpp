// The framework's one rule for labels, on small windows: a label's box grows for its
// text up to the controls around it, whenever they were made, and the text is drawn
// smaller where the room is too small.
#include <QApplication>
#include <QFontInfo>
#include <QLabel>

#include <vector>

#include "TextFit.h"
#include "framework/Controls.h"
#include "tests/Support.h"

namespace {

// A 200 x 100 window: one label, made first, then push buttons around it.
class FitWindow : public fw::Window {
public:
    fw::ControlSettings label;
    std::vector<fw::ControlSettings> buttons;

    void Layout() override {
        ApplySettings(fw::WindowSettings{.Width = 200, .Height = 100, .Resizeable = false, .Title = "Fit"});
    }
    void CreateControls() override {
        Add<fw::StaticText>(label);
        for (const auto& b : buttons) Add<fw::PushButton>(b);
    }

private:
    template <class T>
    void Add(const fw::ControlSettings& s) {
        auto c = New<T>();
        c->Constructor();
        AddControl(s.Name, c);
        c->Apply(s);
    }
};

const std::string kLong = "one two three four five six seven eight nine ten eleven twelve";

// Beside the text-fit check: each label keeps its left and top, a wrapped one its width,
// and its text is drawn at its own size unless the room is too small for it.
TEST(LabelFit, ALabelGrowsForItsTextUpToTheControlsAroundIt) {
    fw::RegisterClass<FitWindow>("FitWindow.FitWindow", "Window");
    struct Case {
        const char* what;
        fw::ControlSettings label;
        std::vector<fw::ControlSettings> buttons;
        bool ownSize;
    };
    const fw::ControlSettings below{.Name = "Below", .Left = 0, .Top = 60, .Width = 200, .Height = 20};
    const fw::ControlSettings right{.Name = "Right", .Left = 100, .Top = 5, .Width = 50, .Height = 30};
    const Case cases[] = {
        {"wrapped, grows down, not into a control made after it",
         {.Name = "L", .Left = 10, .Top = 10, .Width = 100, .Height = 20, .Text = "one two three four five six seven",
          .Multiline = true},
         {below}, true},
        {"wrapped, too long for the room above that control: smaller",
         {.Name = "L", .Left = 10, .Top = 10, .Width = 100, .Height = 20, .Text = kLong + " " + kLong, .Multiline = true},
         {below}, false},
        {"one line, grows right",
         {.Name = "L", .Left = 10, .Top = 10, .Width = 20, .Height = 20, .Text = "one two three"}, {right}, true},
        {"one line, its box reaching into a control: gives up the overlap",
         {.Name = "L", .Left = 10, .Top = 10, .Width = 100, .Height = 20, .Text = "one"}, {right}, true},
        {"one line, too long for the room up to its neighbour: smaller",
         {.Name = "L", .Left = 10, .Top = 10, .Width = 20, .Height = 20, .Text = "one two three four five six"}, {right},
         false},
        {"one line, too long for the window: smaller, up to its edge",
         {.Name = "L", .Left = 10, .Top = 50, .Width = 20, .Height = 20, .Text = kLong}, {right}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto w = fw::New<FitWindow>();
        w->label = c.label;
        w->buttons = c.buttons;
        testing_support::OnGate([&] { w->Constructor(); });
        auto* label = static_cast<QLabel*>(fw::NonNil(w->Control("L")).Widget());
        EXPECT_EQ(label->pos(), QPoint(c.label.Left, c.label.Top));
        if (c.label.Multiline) {
            EXPECT_EQ(label->width(), c.label.Width);
        }
        EXPECT_EQ(QFontInfo(label->font()).pixelSize() == QFontInfo(QApplication::font()).pixelSize(), c.ownSize);
        EXPECT_EQ(ExpectEveryTextFits(*w), 1);
        w->Close();
    }
}

}  // namespace
