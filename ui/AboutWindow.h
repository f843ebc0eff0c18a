// The about window: the name, the author line and six texts on the physics.
#pragma once

#include "framework/Window.h"

class AboutWindow : public fw::Window {
public:
    // The full class name, under which the framework registers the class and records
    // the open about window.
    static constexpr const char* kClassName = "AboutWindow.AboutWindow";

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    // A mouse-down anywhere in the window closes it.
    bool Event_MouseDown(int x, int y) override;
};

// The open about window, else a new one; never nil.
fw::Ref<class AboutWindow> AboutWindow();
