// The main window: the canvas of the run, the run controls, the two input fields and
// the years display.
#pragma once

#include "framework/Controls.h"
#include "framework/Menu.h"
#include "framework/Window.h"

class BackGroundDrawing;

class Window1 : public fw::Window {
public:
    // The full class name, under which the framework registers the class and records
    // the open main window.
    static constexpr const char* kClassName = "Window1.Window1";

    ~Window1() override;

    // The engine of the current (or last) run; nil until the first start.
    fw::Ref<BackGroundDrawing> DrawOrbits;

    // The controls, each read by its name on the window (nil when there is none).
    fw::Ref<fw::Canvas> Canvas1() const { return Find<fw::Canvas>("Canvas1"); }
    fw::Ref<fw::PushButton> RunStable() const { return Find<fw::PushButton>("RunStable"); }
    fw::Ref<fw::PushButton> RunUnstable() const { return Find<fw::PushButton>("RunUnstable"); }
    fw::Ref<fw::PushButton> StopButton() const { return Find<fw::PushButton>("StopButton"); }
    fw::Ref<fw::PushButton> ClearButton() const { return Find<fw::PushButton>("ClearButton"); }
    fw::Ref<fw::PushButton> ScaleUpButton() const { return Find<fw::PushButton>("ScaleUpButton"); }
    fw::Ref<fw::PushButton> ScaleDownButton() const { return Find<fw::PushButton>("ScaleDownButton"); }
    fw::Ref<fw::RadioButton> AnimationButton() const { return Find<fw::RadioButton>("AnimationButton"); }
    fw::Ref<fw::RadioButton> PathButton() const { return Find<fw::RadioButton>("PathButton"); }
    fw::Ref<fw::TextField> dtField() const { return Find<fw::TextField>("dtField"); }
    fw::Ref<fw::TextField> SpeedField() const { return Find<fw::TextField>("SpeedField"); }
    fw::Ref<fw::StaticText> StaticText1() const { return Find<fw::StaticText>("StaticText1"); }
    fw::Ref<fw::StaticText> StaticText2() const { return Find<fw::StaticText>("StaticText2"); }
    fw::Ref<fw::StaticText> StaticText3() const { return Find<fw::StaticText>("StaticText3"); }
    fw::Ref<fw::StaticText> StaticText4() const { return Find<fw::StaticText>("StaticText4"); }
    fw::Ref<fw::StaticText> StaticText5() const { return Find<fw::StaticText>("StaticText5"); }
    fw::Ref<fw::StaticText> StaticText6() const { return Find<fw::StaticText>("StaticText6"); }
    fw::Ref<fw::StaticText> StaticText7() const { return Find<fw::StaticText>("StaticText7"); }
    fw::Ref<fw::StaticText> StaticText8() const { return Find<fw::StaticText>("StaticText8"); }
    fw::Ref<fw::StaticText> StaticText9() const { return Find<fw::StaticText>("StaticText9"); }

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void RunStable_Action();
    void RunUnstable_Action();
    void StopButton_Action();
    void ClearButton_Action();
    void ScaleUpButton_Action();
    void ScaleDownButton_Action();
    void AnimationButton_Action();
    void PathButton_Action();
    fw::Ref<fw::MenuItem> EditMenu();
    fw::Ref<fw::AppleMenuItem> AppleAbout();
    fw::Ref<fw::MenuItem> UntitledMenu0();
    fw::Ref<fw::MenuItem> EditClear();
    fw::Ref<fw::MenuItem> UntitledMenu1();
    fw::Ref<fw::MenuItem> FileMenu();
    fw::Ref<fw::QuitMenuItem> FileQuit();
    void AddMenuHandlers(const fw::Ref<fw::Window>& window) override;
    void Event_EnableMenuItems() override;
    void Event_Open() override;
    void Event_Close() override;
    bool AppleAbout_Action();

private:
    void StartRun(bool stable, const fw::Ref<fw::PushButton>& otherStart);
};

// The open main window, else a new one; never nil.
fw::Ref<class Window1> Window1();
