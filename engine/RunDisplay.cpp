#include "engine/RunDisplay.h"

#include "engine/Pictures.h"
#include "engine/Variables.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "ui/Window1.h"

namespace V = Variables;
using fw::NonNil;

namespace {

constexpr double kPathFrameSteps = 50;        // a path frame when tt exceeds this many steps
constexpr double kAnimationFrameSteps = 100;  // likewise for an animation frame
constexpr double kPictureOffset = 3;          // a 7-pixel picture centred on the star's pixel

// The canvas of the main window open now, looked up by name for every dot and picture.
// The general look-up makes the window, or raises at the missing canvas; its answer is
// kept while no window or control has come or gone, so most dots pay one comparison.
const fw::Ref<fw::Graphics>& CanvasGraphics() {
    static fw::KeptLookUp<fw::Graphics> canvas;  // used on the gate only, as the engine runs
    return canvas.Get([] {
        fw::Ref<fw::Graphics> g = NonNil(NonNil(Window1()).Find<fw::Canvas>("Canvas1")).Graphics();
        NonNil(g);
        return g;
    });
}

void Dot(double px, double py, int red, int green, int blue) {
    fw::Graphics& g = *CanvasGraphics();
    const int X = fw::DoubleToInteger(V::scx + (px / V::sck));
    const int Y = fw::DoubleToInteger(V::scy + (py / V::sck));
    g.Pixel(X, Y, fw::RGB(red, green, blue));
}

void Draw(const fw::Ref<fw::Picture>& (*picture)(), double px, double py) {
    // The corner first, so that its two divisions overlap the calls below instead of
    // waiting after them. The same values either way: no handler runs inside the step
    // (a window that the look-up makes is built on the gate the engine lends, and the
    // buttons wait), the new window's opening only chooses the display mode, and the
    // accessor only reads its file.
    const int X = fw::DoubleToInteger((V::scx - kPictureOffset) + (px / V::sck));
    const int Y = fw::DoubleToInteger((V::scy - kPictureOffset) + (py / V::sck));
    // Counted, unlike a dot's: the accessor runs between the look-up and the drawing.
    // Were it to change a name and draw, its look-up would replace the kept answer,
    // which may hold the last reference to this canvas's graphics.
    const fw::Ref<fw::Graphics> g = CanvasGraphics();
    const fw::Ref<fw::Picture>& pic = picture();
    constexpr int kNatural = fw::Graphics::kNatural;  // the whole picture at its own size
    g->DrawPicture(pic, X, Y, kNatural, kNatural, 0, 0, kNatural, kNatural);
}

}  // namespace

void PathStep() {
    V::tt = V::tt + V::dt;
    if (kPathFrameSteps * V::dt < V::tt) V::tt = 0;
    if (V::tt == 0) {
        Dot(V::x, V::y, 0, 0, 255);
        Dot(V::x1, V::y1, 0, 150, 0);
        Dot(V::x2, V::y2, 255, 0, 0);
    }
}

void AnimationStep() {
    V::tt = V::tt + V::dt;
    if (kAnimationFrameSteps * V::dt < V::tt) V::tt = 0;
    if (V::tt == 0) {
        Draw(Blank, V::xx, V::yy);
        Draw(AR1, V::x, V::y);
        Draw(Blank, V::xx1, V::yy1);
        Draw(AR2, V::x1, V::y1);
        Draw(Blank, V::xx2, V::yy2);
        Draw(AR3, V::x2, V::y2);
        V::xx = V::x;
        V::yy = V::y;
        V::xx1 = V::x1;
        V::yy1 = V::y1;
        V::xx2 = V::x2;
        V::yy2 = V::y2;
    }
}
