// The engine of one run: set-up and integration on a thread of its own.
#pragma once

#include "framework/Controls.h"
#include "framework/Thread.h"

class BackGroundDrawing : public fw::Thread {
public:
    ~BackGroundDrawing() override;

    bool Stopp = false;                // the stop request of this run; only ever set to true
    fw::Ref<fw::Canvas> theCanvas;     // handed over at the start; the drawing finds the canvas by name

    // The thread's body: wipe the canvas, set the view and the start state, integrate.
    void Event_Run() override;
    // Steps until the user cancels or Stopp is set.
    void StarDraw();
    void VarStable();
    void Scale();
    void VarUnstable();
};
