// The menu bar: File with Quit; Edit with Clear and the about item between separators.
// One instance serves the application and every main window.
#pragma once

#include "framework/Menu.h"

class MenuBar1 : public fw::MenuBar {
public:
    void Constructor();
    void Untitled0();  // the File menu
    void Untitled1();  // the Edit menu

    static inline fw::Ref<MenuBar1> implicitInstance;
};

// The one menu bar, built at its first call.
fw::Ref<class MenuBar1> MenuBar1();
