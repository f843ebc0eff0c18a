#include "ui/Window1.h"

#include <cstdint>

#include "engine/BackGroundDrawing.h"
#include "engine/Variables.h"
#include "ui/AboutWindow.h"
#include "ui/ImplicitWindow.h"
#include "ui/MenuBar1.h"

using fw::NonNil;

namespace {

constexpr double kScaleFactor = 5.0;  // "Scale +" and "Scale -" change the km per pixel by this

enum class Kind { Canvas, PushButton, RadioButton, TextField, StaticText };

struct ControlRow {
    Kind kind;
    const char* name;
    int left, top, width, height;
    const char* text;  // caption or text; "" where there is none
    float textSize;    // 0: the default size
    void (Window1::*action)();
    // The few settings of the controls' own that differ from the common ones.
    bool selected = false;
    bool bold = false;
    std::uint32_t textColor = 0x000000;
    bool multiline = false;
};

// In creation order, which is also the tab order.
const ControlRow kControls[] = {
    {Kind::Canvas, "Canvas1", 106, 62, 567, 486, "", 0, nullptr},
    {Kind::PushButton, "RunStable", 6, 92, 80, 20, "Stable", 0, &Window1::RunStable_Action},
    {Kind::PushButton, "RunUnstable", 6, 124, 80, 20, "Unstable", 0, &Window1::RunUnstable_Action},
    {Kind::PushButton, "StopButton", 6, 170, 80, 20, "Stop", 0, &Window1::StopButton_Action},
    {Kind::PushButton, "ClearButton", 6, 203, 80, 20, "Clear", 0, &Window1::ClearButton_Action},
    {Kind::PushButton, "ScaleUpButton", 8, 236, 80, 20, "Scale +", 0, &Window1::ScaleUpButton_Action},
    {Kind::PushButton, "ScaleDownButton", 7, 270, 80, 20, "Scale -", 0, &Window1::ScaleDownButton_Action},
    {Kind::RadioButton, "AnimationButton", 5, 309, 100, 20, "Animation", 0, &Window1::AnimationButton_Action,
     /*selected=*/true},
    {Kind::RadioButton, "PathButton", 5, 341, 100, 20, "Paths", 0, &Window1::PathButton_Action},
    {Kind::TextField, "dtField", 540, 7, 49, 22, "50", 0, nullptr},
    {Kind::TextField, "SpeedField", 540, 34, 49, 22, "100", 0, nullptr},
    {Kind::StaticText, "StaticText1", 481, 8, 61, 20, "Input dt:", 0, nullptr},
    {Kind::StaticText, "StaticText2", 487, 34, 48, 20, " Speed:", 0, nullptr},
    {Kind::StaticText, "StaticText3", 594, 8, 58, 20, "seconds", 0, nullptr},
    {Kind::StaticText, "StaticText4", 594, 37, 58, 20, "percent", 0, nullptr},
    {Kind::StaticText, "StaticText5", 6, 62, 85, 20, "Start Buttons", 0, nullptr},
    {Kind::StaticText, "StaticText6", 6, 14, 139, 36, "Velmoras", 32, nullptr, false, /*bold=*/true, 0xBE223F},
    {Kind::StaticText, "StaticText7", 6, 370, 88, 20, "Orbit Years", 0, nullptr},
    {Kind::StaticText, "StaticText8", 6, 402, 70, 41, "0", 32, nullptr},
    {Kind::StaticText, "StaticText9", 227, 14, 226, 36,
     "Run the unstable system  about 100 orbit years and see what happens.", 12, nullptr, false, false, 0x240050,
     /*multiline=*/true},
};

fw::ControlSettings SettingsOf(const ControlRow& row, int tabIndex) {
    fw::ControlSettings s;
    s.Name = row.name;
    s.Left = row.left;
    s.Top = row.top;
    s.Width = row.width;
    s.Height = row.height;
    s.TabIndex = tabIndex;
    switch (row.kind) {
        case Kind::Canvas:
            break;  // takes no focus: the default
        case Kind::PushButton:
            s.Caption = row.text;
            break;
        case Kind::RadioButton:
            s.Caption = row.text;
            s.Value = row.selected;
            break;
        case Kind::TextField:
            s.Text = row.text;  // black on white, with a border: the defaults
            break;
        case Kind::StaticText:
            s.Text = row.text;
            s.TabStop = false;
            s.Bold = row.bold;
            s.TextColor = fw::Color{row.textColor};
            s.Multiline = row.multiline;
            break;
    }
    return s;
}

template <class T>
void Make(fw::Window& w, const char* name) {
    fw::Ref<T> control = w.New<T>();
    control->Constructor();
    w.AddControl(name, control);
}

}  // namespace

Window1::~Window1() { DrawOrbits = nullptr; }

void Window1::Layout() {
    SetMenuBar(MenuBar1());
    // Only what differs from the framework's defaults.
    ApplySettings(fw::WindowSettings{.Width = 680, .Height = 556, .Resizeable = false, .Title = "Velmora",
                                     .HasBackColor = true, .BackColor = fw::Color{0xC1DBD3},
                                     .MaximizeButton = false});
}

void Window1::CreateControls() { CreateControls0(); }

void Window1::CreateControls0() {
    auto self = fw::Cast<class Window1>(shared_from_this());
    int tabIndex = 0;
    for (const ControlRow& row : kControls) {
        switch (row.kind) {
            case Kind::Canvas: Make<fw::Canvas>(*this, row.name); break;
            case Kind::PushButton: Make<fw::PushButton>(*this, row.name); break;
            case Kind::RadioButton: Make<fw::RadioButton>(*this, row.name); break;
            case Kind::TextField: Make<fw::TextField>(*this, row.name); break;
            case Kind::StaticText: Make<fw::StaticText>(*this, row.name); break;
        }
        fw::RectControl& control = NonNil(Control(row.name));
        if (row.textSize > 0) control.SetTextSize(row.textSize);
        if (row.kind != Kind::Canvas) control.SetTextUnit(0);
        control.Apply(SettingsOf(row, tabIndex++));
        if (row.action) control.BindAction(self, row.action);
    }
}

void Window1::StartRun(bool stable, const fw::Ref<fw::PushButton>& otherStart) {
    DrawOrbits = New<BackGroundDrawing>();
    NonNil(DrawOrbits).theCanvas = Canvas1();
    NonNil(StopButton()).SetEnabled(true);
    NonNil(otherStart).SetEnabled(false);
    NonNil(Sender()).SetEnabled(false);  // the pressed start button
    Variables::Stable = stable;
    NonNil(DrawOrbits).Run();
}

void Window1::RunStable_Action() { StartRun(true, RunUnstable()); }

void Window1::RunUnstable_Action() { StartRun(false, RunStable()); }

void Window1::StopButton_Action() {
    // Before the first start there is no engine to stop: "Stop" then does nothing.
    if (!DrawOrbits) return;
    DrawOrbits->Stopp = true;
    NonNil(Sender()).SetEnabled(false);
    NonNil(RunStable()).SetEnabled(true);
    NonNil(RunUnstable()).SetEnabled(true);
}

void Window1::ClearButton_Action() { Refresh(true); }

void Window1::ScaleUpButton_Action() {
    Variables::sck = Variables::sck * kScaleFactor;
    Refresh(true);
}

void Window1::ScaleDownButton_Action() {
    Variables::sck = Variables::sck / kScaleFactor;
    Refresh(true);
}

void Window1::AnimationButton_Action() {
    Variables::Valinta = true;
    Refresh(true);
}

void Window1::PathButton_Action() {
    Variables::Valinta = false;
    Refresh(true);
}

fw::Ref<fw::MenuItem> Window1::EditMenu() { return fw::Cast<fw::MenuItem>(NonNil(MenuBar()).Lookup("EditMenu")); }
fw::Ref<fw::AppleMenuItem> Window1::AppleAbout() {
    return fw::Cast<fw::AppleMenuItem>(NonNil(MenuBar()).Lookup("AppleAbout"));
}
fw::Ref<fw::MenuItem> Window1::UntitledMenu0() {
    return fw::Cast<fw::MenuItem>(NonNil(MenuBar()).Lookup("UntitledMenu0"));
}
fw::Ref<fw::MenuItem> Window1::EditClear() { return fw::Cast<fw::MenuItem>(NonNil(MenuBar()).Lookup("EditClear")); }
fw::Ref<fw::MenuItem> Window1::UntitledMenu1() {
    return fw::Cast<fw::MenuItem>(NonNil(MenuBar()).Lookup("UntitledMenu1"));
}
fw::Ref<fw::MenuItem> Window1::FileMenu() { return fw::Cast<fw::MenuItem>(NonNil(MenuBar()).Lookup("FileMenu")); }
fw::Ref<fw::QuitMenuItem> Window1::FileQuit() {
    return fw::Cast<fw::QuitMenuItem>(NonNil(MenuBar()).Lookup("FileQuit"));
}

void Window1::AddMenuHandlers(const fw::Ref<fw::Window>& window) {
    std::weak_ptr<class Window1> target = fw::Cast<class Window1>(window);
    AddMenuHandler("AppleAbout", [target] { return NonNil(target.lock()).AppleAbout_Action(); });
}

void Window1::Event_EnableMenuItems() { NonNil(AppleAbout()).SetEnabled(true); }

void Window1::Event_Open() { Variables::Valinta = true; }

void Window1::Event_Close() {
    if (NonNil(StopButton()).Enabled() && DrawOrbits) DrawOrbits->Stopp = true;
}

bool Window1::AppleAbout_Action() {
    NonNil(AboutWindow()).Show();
    return false;
}

fw::Ref<class Window1> Window1() { return ImplicitWindow<class Window1>(); }
