#include "ui/AboutWindow.h"

#include <cstdint>

#include "ui/ImplicitWindow.h"

namespace {

constexpr const char* kAuthorLine = "Written by the Velmora developers";

struct Label {
    const char* name;
    int left, top, width, height, tabIndex;
    float textSize;
    std::uint32_t color;
    bool multiline;
    const char* text;
};

// In creation order, which is also the tab order.
const Label kLabels[] = {
    {"StaticText1", 33, 26, 202, 28, 0, 24, 0xCC0A0A, true,
     "Velmora"},
    {"StaticText2", 267, 26, 225, 29, 1, 11, 0x0322BA, true,
     kAuthorLine},
    {"StaticText3", 29, 59, 480, 29, 2, 10, 0x000000, true,
     "Double star systems are fairly common in our galaxy but triple star systems are rare. This is because systems with 3 or more stars with about equal masses are usually  unstable."},
    {"StaticText4", 29, 148, 190, 16, 3, 12, 0x151CA3, false,
     "About Calculation Accuracy:"},
    {"StaticText5", 29, 169, 481, 69, 4, 10, 0x12168E, true,
     "The calculation is done using Newtonian laws of gravity.  The calculation proceeds in short straight line steps (initial value 3600 seconds=1 hour) while the real  orbits are smooth ellipses. Therefore, an  error accumulates when the calculation loop is repeated millions of times.  Also the computer accuracy is limited in spite of the double precision used in this example. The chaos starts when enough error accumulates to  divert the stars from the original orbits."},
    {"StaticText6", 29, 249, 480, 40, 5, 10, 0x071E9E, true,
     "Calculation interval dt determines the accuracy and speed of the calculation loop. Therefore, even small changes in dt will end up in a totally different end of the star system. It either disintegrates completely or one star is thrown away with two  orbiting each other as a double star system."},
    {"StaticText7", 29, 301, 480, 81, 6, 10, 0x0308A0, true,
     "If  the system suddendly \"explodes\" with one or more stars escaping from the screen at high velocity, a really big calculation error has taken place. This usually happens when two stars pass each other at a very close distance causing a high curvature of the star trajectories. The computer, however, caculates a straight line between two orbit points and an enermous calculation error results.  This could be avoided by programming  the variable dt  dependent on the star distances.  This is, however, beyond the scope of  this small program example."},
    {"StaticText10", 29, 91, 480, 52, 7, 10, 0x000000, true,
     "This example shows two  very unlikely  systems of 3 stars  of equal masses   orbiting their common center of gravity.  One  of the systems is  unstable and the other one stable as far as the speed percent is kept close to 100. You can change dt and Speed percent values to see what happens?"},
};

}  // namespace

void AboutWindow::Layout() {
    // Only what differs from the framework's defaults.
    ApplySettings(fw::WindowSettings{.Width = 530, .Height = 402, .Resizeable = false, .Title = "About Velmora",
                                     .MinimizeButton = false, .MaximizeButton = false});
}

void AboutWindow::CreateControls() { CreateControls0(); }

void AboutWindow::CreateControls0() {
    for (const Label& l : kLabels) {
        fw::Ref<fw::StaticText> label = New<fw::StaticText>();
        label->Constructor();
        AddControl(l.name, label);
        label = nullptr;
        fw::NonNil(Find<fw::StaticText>(l.name)).SetTextSize(l.textSize);
        fw::NonNil(Find<fw::StaticText>(l.name)).SetTextUnit(0);
        fw::NonNil(Find<fw::StaticText>(l.name)).Apply(fw::ControlSettings{
            .Name = l.name, .Left = l.left, .Top = l.top, .Width = l.width, .Height = l.height,
            .TabIndex = l.tabIndex, .Text = l.text, .TextColor = fw::Color{l.color},
            .Multiline = l.multiline});
    }
}

bool AboutWindow::Event_MouseDown(int x, int y) {
    (void)x;
    (void)y;
    fw::NonNil(::AboutWindow()).Close();  // the accessor, not the class
    return false;
}

fw::Ref<class AboutWindow> AboutWindow() { return ImplicitWindow<class AboutWindow>(); }
