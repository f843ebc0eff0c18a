#include "engine/RunDisplay.h"

#include <cstdint>

#include "engine/Pictures.h"
#include "engine/Variables.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "ui/ImplicitWindow.h"
#include "ui/Window1.h"

namespace V = Variables;
using fw::NonNil;

namespace {

constexpr double kPathFrameSteps = 50;        // a path frame when tt exceeds this many steps
constexpr double kAnimationFrameSteps = 100;  // likewise for an animation frame
constexpr double kPictureOffset = 3;          // a 7-pixel picture centred on the star's pixel

// Fetched anew for every dot and picture: the canvas of the main window open now.
// While that window is open with its canvas, the look-up takes no count (a count at
// every dot slowed the whole step); otherwise it goes the general way, which makes
// the window, or raises at the missing one, as the accessor and the look-up do.
// The answer stands while no window or control has come or gone since it was found,
// so most dots pay one comparison for it. Used under the gate only, as the statics are.
const fw::Ref<fw::Graphics>* OpenCanvasGraphics() {
    static const fw::Ref<fw::Graphics>* found = nullptr;
    static std::uint64_t foundAt = 0;
    const std::uint64_t now = fw::LookUpGeneration();
    if (found && foundAt == now) return found;
    found = nullptr;
    if (class Window1* w = BorrowOpenImplicitWindow<class Window1>())
        if (fw::Canvas* canvas = w->Borrow<fw::Canvas>("Canvas1"))
            if (canvas->Graphics()) found = &canvas->Graphics();
    foundAt = now;
    return found;
}

fw::Ref<fw::Graphics> CanvasGraphics() {
    fw::Ref<fw::Graphics> g = NonNil(NonNil(Window1()).Find<fw::Canvas>("Canvas1")).Graphics();
    NonNil(g);
    return g;
}

void Dot(double px, double py, int red, int green, int blue) {
    const fw::Ref<fw::Graphics>* open = OpenCanvasGraphics();
    const fw::Ref<fw::Graphics> made = open ? nullptr : CanvasGraphics();  // only on the general way
    fw::Graphics* g = open ? open->get() : made.get();
    const int X = fw::DoubleToInteger(V::scx + (px / V::sck));
    const int Y = fw::DoubleToInteger(V::scy + (py / V::sck));
    g->Pixel(X, Y, fw::RGB(red, green, blue));
}

void Draw(const fw::Ref<fw::Picture>& (*picture)(), double px, double py) {
    // The corner first: neither the look-up nor the accessor touches what it is made
    // of, and its two divisions then overlap their calls instead of waiting after them.
    const int X = fw::DoubleToInteger((V::scx - kPictureOffset) + (px / V::sck));
    const int Y = fw::DoubleToInteger((V::scy - kPictureOffset) + (py / V::sck));
    // Counted: the picture's accessor runs between the look-up and the drawing.
    const fw::Ref<fw::Graphics>* open = OpenCanvasGraphics();
    const fw::Ref<fw::Graphics> g = open ? *open : CanvasGraphics();
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
