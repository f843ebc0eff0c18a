// The animation frame pixel for pixel, and the failure paths of a run's set-up, step
// and frame.
#include <QAbstractButton>
#include <QImage>
#include <QMetaObject>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "engine/Pictures.h"
#include "engine/RunDisplay.h"
#include "framework/Values.h"

// Every call of AR2() in this program comes here (the link option --wrap in
// CMakeLists.txt). A frame calls AR2 for its fourth picture, so this is where a test
// can make something change in the middle of a frame: nothing else runs there.
decltype(AR2()) RealAR2() __asm__("__real__Z3AR2v");
decltype(AR2()) WrappedAR2() __asm__("__wrap__Z3AR2v");

namespace {

std::function<void()> gAtAR2;  // run at each call, before the picture is fetched
bool gNilAR2 = false;          // the call gives nil, as while its file can't be read
const fw::Ref<fw::Picture> kNoPicture;

}  // namespace

decltype(AR2()) WrappedAR2() {
    if (gAtAR2) gAtAR2();
    return gNilAR2 ? kNoPicture : RealAR2();
}

namespace {

constexpr int kOriginX = 270, kOriginY = 220;  // the canvas pixel of (0, 0) km
constexpr std::uint32_t kMarker = 0x202020;    // a colour no picture has: shows where an eraser went

struct Pixel {
    int x, y;
};

// One star in a frame: the pixel its picture was last drawn at, and its pixel now.
struct Star {
    Pixel last, now;
};

using Stars = std::array<Star, 3>;

// Kilometres that map exactly to a canvas pixel at the scale sck.
double Km(int pixel, int origin, double sck) { return (pixel - origin) * sck; }

// A picture and the canvas pixel its top-left corner must land on.
struct Placed {
    decltype(&AR1) picture;
    Pixel corner;
};

class RunDisplayTest : public EngineTest {
protected:
    void TearDown() override {
        gAtAR2 = nullptr;
        gNilAR2 = false;
        EngineTest::TearDown();
    }

    // The state of a frame step: the scale, the stars' new positions (and, unless the
    // last frame left them, their last-drawn ones) and a drawing counter that makes
    // this step a frame.
    void SetUpFrame(double sck, const Stars& stars, bool setLast = true) {
        testing_support::OnGate([&] {
            V::scx = kOriginX;
            V::scy = kOriginY;
            V::sck = sck;
            V::dt = 50;
            V::tt = 100 * V::dt;
            double* last[3][2] = {{&V::xx, &V::yy}, {&V::xx1, &V::yy1}, {&V::xx2, &V::yy2}};
            double* now[3][2] = {{&V::x, &V::y}, {&V::x1, &V::y1}, {&V::x2, &V::y2}};
            for (int i = 0; i < 3; ++i) {
                if (setLast) {
                    *last[i][0] = Km(stars[i].last.x, kOriginX, sck);
                    *last[i][1] = Km(stars[i].last.y, kOriginY, sck);
                }
                *now[i][0] = Km(stars[i].now.x, kOriginX, sck);
                *now[i][1] = Km(stars[i].now.y, kOriginY, sck);
            }
        });
    }
    void FillCanvas(std::uint32_t rgb) {
        testing_support::OnGate([&] {
            fw::Graphics& g = Canvas();
            for (int y = 0; y < g.Height(); ++y)
                for (int x = 0; x < g.Width(); ++x) g.Pixel(x, y, fw::Color{rgb});
        });
    }
    // The canvas as it must look: the marker, then each picture copied at its corner,
    // in the order given.
    static QImage Expected(const std::vector<Placed>& pictures, std::uint32_t background = kMarker) {
        QImage image(567, 486, QImage::Format_RGB32);
        image.fill(QColor::fromRgb(background));
        for (const Placed& p : pictures) {
            const QImage& pic = fw::NonNil(p.picture()).Image();
            for (int y = 0; y < pic.height(); ++y)
                for (int x = 0; x < pic.width(); ++x) image.setPixel(p.corner.x + x, p.corner.y + y, pic.pixel(x, y));
        }
        return image;
    }
    // "" when the canvas shows the image; else how many pixels differ, and the first.
    std::string Differences(const QImage& expected) {
        return testing_support::OnGate([&] {
            fw::Graphics& g = Canvas();
            int wrong = 0;
            std::string first;
            for (int y = 0; y < expected.height(); ++y)
                for (int x = 0; x < expected.width(); ++x) {
                    const std::uint32_t want = expected.pixel(x, y) & 0xFFFFFF, got = g.Pixel(x, y).rgb;
                    if (want == got) continue;
                    if (wrong++ == 0)
                        first = " first at (" + std::to_string(x) + ", " + std::to_string(y) + "): " +
                                QString::number(got, 16).toStdString() + " not " + QString::number(want, 16).toStdString();
                }
            return wrong ? std::to_string(wrong) + " pixels differ;" + first : std::string();
        });
    }
    void FrameStep() { testing_support::OnGate([] { AnimationStep(); }); }
    std::array<double, 6> LastDrawn() {
        return testing_support::OnGate([] { return std::array<double, 6>{V::xx, V::yy, V::xx1, V::yy1, V::xx2, V::yy2}; });
    }
    std::array<double, 6> Positions() {
        return testing_support::OnGate([] { return std::array<double, 6>{V::x, V::y, V::x1, V::y1, V::x2, V::y2}; });
    }
};

// Star 0 moves 5 pixels right, so its eraser overlaps its new picture; star 1 was
// last drawn over the bottom of star 0's new picture; star 2 moves 5 pixels down.
// Every offset from the origin pixel is a multiple of 5, so that the same places
// stay whole pixels at the scale of the next frame, five times coarser.
const Stars kFirst = {{{{300, 200}, {305, 200}}, {{305, 205}, {330, 215}}, {{100, 100}, {100, 105}}}};
// Each picture of the first frame, in drawing order, at its corner: 3 pixels left of
// and above the star's pixel.
const std::vector<Placed> kFirstDrawn = {
    {Blank, {297, 197}}, {AR1, {302, 197}}, {Blank, {302, 202}},
    {AR2, {327, 212}},   {Blank, {97, 97}},  {AR3, {97, 102}},
};

TEST_F(RunDisplayTest, AFrameErasesEachStarWhereItWasLastDrawnThenDrawsItThreePixelsUpAndLeft) {
    FillCanvas(kMarker);
    SetUpFrame(3e6, kFirst);
    const auto now = Positions();
    FrameStep();
    // Star 0's picture shows whole, its own eraser came first; star 1's eraser has
    // cut into its bottom, as star 1 is drawn after star 0.
    EXPECT_EQ(Differences(Expected(kFirstDrawn)), "");
    EXPECT_EQ(LastDrawn(), now);

    // "Scale +" between two frames: the erasers go to the last-drawn places mapped at
    // the new scale, and the stars are drawn at the new scale.
    const double sck = 5 * 3e6;
    FillCanvas(kMarker);
    // The last-drawn places are the first frame's: at this scale the pixels (277, 216),
    // (282, 219) and (236, 197).
    SetUpFrame(sck, {{{{}, {280, 216}}, {{}, {282, 225}}, {{}, {230, 190}}}}, /*setLast=*/false);
    FrameStep();
    EXPECT_EQ(Differences(Expected({{Blank, {274, 213}}, {AR1, {277, 213}}, {Blank, {279, 216}},
                                    {AR2, {279, 222}}, {Blank, {233, 194}}, {AR3, {227, 187}}})),
              "");
}

// The canvas is looked up anew at every dot and picture: once the main window has
// closed, the next frame's accessor makes another, and the frame lands on that one.
TEST_F(RunDisplayTest, AfterTheMainWindowClosesTheNextFrameDrawsOnTheOneItsAccessorMakes) {
    for (const bool animation : {false, true}) {
        SCOPED_TRACE(animation ? "animation" : "paths");
        SetUpFrame(3e6, kFirst);
        testing_support::OnGate([&] { animation ? AnimationStep() : PathStep(); });  // on this window
        const fw::Ref<class Window1> closed = window;
        window->Close();
        SetUpFrame(3e6, kFirst);
        testing_support::OnGate([&] { animation ? AnimationStep() : PathStep(); });
        const auto made =
            testing_support::OnGate([] { return fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName)); });
        ASSERT_TRUE(made) << "the frame made no main window";
        EXPECT_NE(made, closed);
        window = made;
        // Star 0's dot, or the centre of its picture.
        const std::uint32_t want = animation ? fw::NonNil(AR1()).Image().pixel(3, 3) & 0xFFFFFF : 0x0000FF;
        EXPECT_EQ(testing_support::OnGate([&] { return Canvas().Pixel(305, 200).rgb; }), want);
    }
}

// One animation step on a thread of its own, as the engine takes it; the thread's end
// stands for the step's yield.
class FrameThread : public fw::Thread {
public:
    double sckAtEnd = 0;
    bool valintaAtEnd = false;
    void Event_Run() override {
        AnimationStep();
        sckAtEnd = V::sck;
        valintaAtEnd = V::Valinta;
    }
};

// The frame's first picture makes the main window, which the user-interface thread
// builds. A "Scale +" press and a click on "Paths" wait meanwhile: they run after the
// step, and the six pictures land at the scale of the step's start.
TEST_F(RunDisplayTest, AFrameThatMakesTheMainWindowDrawsAtOneScaleWhileHandlersWait) {
    fw::RegisterClass<FrameThread>("FrameThread", "Thread");
    SetUpFrame(3e6, kFirst);
    testing_support::OnGate([] { V::Valinta = true; });
    const fw::Ref<class Window1> closed = window;
    window->Close();
    auto frame = fw::New<FrameThread>();
    auto press = [&](const char* button) {
        auto* b = static_cast<QAbstractButton*>(fw::NonNil(closed->Control(button)).Widget());
        QMetaObject::invokeMethod(b, [b] { b->click(); }, Qt::QueuedConnection);
    };
    testing_support::OnGate([&] {
        frame->Run();  // its turn comes after this hold
        press("ScaleUpButton");
        press("PathButton");
    });
    ASSERT_TRUE(testing_support::WaitFor(
        [&] { return !frame->IsRunning() && testing_support::OnGate([] { return V::sck == 5 * 3e6; }); }));
    EXPECT_EQ(frame->sckAtEnd, 3e6);
    EXPECT_TRUE(frame->valintaAtEnd);
    // The click on "Paths" came after the new window's opening chose animation.
    EXPECT_TRUE(testing_support::WaitFor([&] { return testing_support::OnGate([] { return !V::Valinta; }); }));
    window = testing_support::OnGate([] { return fw::Cast<class Window1>(fw::OpenWindow(Window1::kClassName)); });
    ASSERT_TRUE(window);
    ASSERT_NE(window, closed);
    EXPECT_EQ(Differences(Expected(kFirstDrawn, 0xC1DBD3)), "");
}

// Each failure that the run's set-up, its step and its frame list, with the state it
// must leave.
TEST_F(RunDisplayTest, EachFailureLeavesTheStateAsFarAsItGot) {
    constexpr double kOld = 7;  // every global before the failing call
    const double AU = 149600000;
    auto setAll = [&] {
        testing_support::OnGate([&] {
            for (double* g : {&V::dt, &V::t, &V::tcalc, &V::x, &V::y, &V::x1, &V::y1, &V::x2, &V::y2, &V::xx, &V::yy,
                              &V::xx1, &V::yy1, &V::xx2, &V::yy2, &V::vpc, &V::v, &V::vx, &V::vy, &V::vx1, &V::vy1,
                              &V::vx2, &V::vy2, &V::k, &V::mo})
                *g = kOld;
            V::ct = 7;
        });
    };
    // A control of another class under the name: the look-up by name gives nil.
    auto hide = [&](const char* name) {
        testing_support::OnGate([&] { window->AddControl(name, window->New<fw::PushButton>()); });
    };
    long yields = 0;
    bool vanished = false;
    std::array<double, 6> before{};
    struct Case {
        const char* what;
        std::function<void()> arrange, act;
        bool raises;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"the canvas gone in the middle of a frame",
         [&] {
             FillCanvas(kMarker);
             SetUpFrame(3e6, kFirst);
             before = LastDrawn();
             gAtAR2 = [&] {
                 if (!vanished) window->AddControl("Canvas1", window->New<fw::StaticText>());
                 vanished = true;
             };
         },
         [&] { FrameStep(); }, true,
         [&] {
             EXPECT_TRUE(vanished) << "the frame never reached its fourth picture";
             EXPECT_EQ(LastDrawn(), before);  // written only after the sixth picture
         }},
        {"no SpeedField, stable start", [&] { setAll(), hide("SpeedField"); }, [&] { Run(true, 0); }, true,
         [&] {
             EXPECT_EQ(V::dt, 50);
             EXPECT_EQ(V::t, 0);
             EXPECT_EQ(V::tcalc, 0);
             EXPECT_EQ(V::x, (-AU) / 2.4);
             EXPECT_EQ(V::yy2, 4 * AU);
             for (double g : {V::vpc, V::v, V::vx, V::vy, V::vx1, V::vy1, V::vx2, V::vy2, V::k, V::mo})
                 EXPECT_EQ(g, kOld);
         }},
        {"no SpeedField, unstable start", [&] { setAll(), hide("SpeedField"); }, [&] { Run(false, 0); }, true,
         [&] {
             EXPECT_EQ(V::dt, 50);
             EXPECT_EQ(V::x1, AU);
             EXPECT_EQ(V::xx2, (-AU) / 2);
             for (double g : {V::vpc, V::v, V::vx, V::vy, V::vx1, V::vy1, V::vx2, V::vy2, V::k, V::mo})
                 EXPECT_EQ(g, kOld);
         }},
        {"a nil picture in a frame",
         [&] {
             FillCanvas(kMarker);
             SetUpFrame(3e6, kFirst);
             before = Positions();
             gNilAR2 = true;
         },
         [&] { FrameStep(); }, false,
         [&] {
             std::vector<Placed> drawn = kFirstDrawn;
             drawn.erase(drawn.begin() + 3);  // star 1's own picture: nothing
             EXPECT_EQ(Differences(Expected(drawn)), "");
             EXPECT_EQ(LastDrawn(), before);
         }},
        {"no StaticText8 when the years are shown",
         [&] {
             hide("StaticText8");
             SetField("dtField", "-1e7");  // a display at every step
             testing_support::OnGate([] { V::Valinta = true; });
         },
         [&] { Run(true, 3, [&](long) { ++yields; }); }, true,
         [&] {
             EXPECT_EQ(V::ct, -3);  // -1e7 s is -3.25 tenths of a year: set before the look-up
             EXPECT_EQ(V::t, -1e7);
             EXPECT_EQ(yields, 0);
             EXPECT_EQ(V::xx, (-AU) / 2.4);  // the frame after the display never came
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        if (c.raises)
            EXPECT_THROW(c.act(), fw::NilObjectException);
        else
            EXPECT_NO_THROW(c.act());
        testing_support::OnGate(c.check);
        gAtAR2 = nullptr;
        gNilAR2 = false;
        Reopen();
    }
}

}  // namespace
