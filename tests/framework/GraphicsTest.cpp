#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>

#include "framework/CanvasStore.h"
#include "framework/Graphics.h"

namespace {

constexpr int kCanvasW = 10, kCanvasH = 8;
constexpr std::uint32_t kBack = 0x808080;

struct Placement {
    int x, y, sourceX, sourceY;
    int sourceWidth = fw::Graphics::kNatural, sourceHeight = fw::Graphics::kNatural;
};

// An opaque 4 x 3 picture whose every pixel is different.
fw::Ref<fw::Picture> Numbered() {
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) image.setPixel(x, y, qRgb(10 * x + 1, 10 * y + 1, 200));
    return std::make_shared<fw::Picture>(image);
}

// Drawing on a canvas of its own, erased to kBack.
fw::Graphics ErasedCanvas() {
    auto store = std::make_shared<fw::detail::CanvasStore>();
    store->eraseColor = kBack;
    store->SetImage(QImage(kCanvasW, kCanvasH, QImage::Format_RGB32));
    store->Erase();
    return fw::Graphics(store);
}

// Every pixel of the canvas after the picture's part from (sourceX, sourceY) on is
// drawn at its own size at (x, y), clipped to the canvas and to the picture (a source
// rectangle may reach past its edges), against the same picture read one pixel at a time.
TEST(Graphics, APictureIsCopiedClippedToTheCanvasWhereverItLies) {
    const Placement cases[] = {{0, 0, 0, 0},  {3, 2, 0, 0},  {-2, -1, 0, 0}, {8, 6, 0, 0},  {7, -2, 0, 0},
                               {-3, 6, 0, 0}, {2, 1, 1, 1},  {-1, -1, 2, 1}, {9, 7, 3, 2},  {-4, 0, 0, 0},
                               {10, 0, 0, 0}, {0, -3, 0, 0}, {5, 3, 4, 0},
                               {6, 5, 0, 0},  {7, 1, 0, 0},  {-1, 2, 0, 0}, {2, 6, 0, 0},  // a column or row either side of the edges
                               {1, 1, 0, 1, 4, 5}, {2, 0, 1, 0, 6, 3}, {-1, 2, 1, 1, 9, 9}, {3, 3, 0, 0, 2, 2}};
    const auto picture = Numbered();
    for (const Placement& p : cases) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y << " from " << p.sourceX << "," << p.sourceY
                                        << " size " << p.sourceWidth << "," << p.sourceHeight);
        fw::Graphics g = ErasedCanvas();
        g.DrawPicture(picture, p.x, p.y, fw::Graphics::kNatural, fw::Graphics::kNatural, p.sourceX, p.sourceY,
                      p.sourceWidth, p.sourceHeight);
        const int endX = p.sourceWidth == fw::Graphics::kNatural ? picture->Width() : p.sourceX + p.sourceWidth;
        const int endY = p.sourceHeight == fw::Graphics::kNatural ? picture->Height() : p.sourceY + p.sourceHeight;
        for (int cy = 0; cy < kCanvasH; ++cy)
            for (int cx = 0; cx < kCanvasW; ++cx) {
                const int sx = p.sourceX + (cx - p.x), sy = p.sourceY + (cy - p.y);
                const bool covered = cx >= p.x && cy >= p.y && sx < std::min(endX, picture->Width()) &&
                                     sy < std::min(endY, picture->Height());
                const fw::Color want{covered ? picture->Image().pixel(sx, sy) & 0xFFFFFFu : kBack};
                ASSERT_EQ(g.Pixel(cx, cy).rgb, want.rgb) << "pixel " << cx << "," << cy;
            }
    }
}

}  // namespace

namespace {

// A picture that is scaled or has transparency is composed over what the canvas shows
// there, clipped to the canvas: the same pixels as the painter gives on the whole image.
TEST(Graphics, AScaledOrTransparentPictureIsComposedOverTheCanvas) {
    QImage clear(4, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) clear.setPixel(x, y, (x + y) % 2 ? qRgba(250, 20, 30, 255) : qRgba(0, 0, 0, 0));
    const auto transparent = std::make_shared<fw::Picture>(clear);
    const auto opaque = Numbered();
    constexpr int N = fw::Graphics::kNatural;
    struct Case {
        fw::Ref<fw::Picture> picture;
        int x, y, destWidth, destHeight;
    };
    const Case cases[] = {{transparent, 2, 1, N, N}, {transparent, -1, -1, N, N}, {transparent, 8, 6, 6, 5},
                          {opaque, 1, 2, 8, 6},      {opaque, -3, 5, 7, 2},       {opaque, 9, -1, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.x << "," << c.y << " size " << c.destWidth << "x" << c.destHeight);
        fw::Graphics g = ErasedCanvas();
        g.Pixel(3, 2, fw::Color{0x00FF00});  // something of the canvas's own under the picture
        QImage want(kCanvasW, kCanvasH, QImage::Format_RGB32);
        want.fill(0xFF000000u | kBack);
        want.setPixel(3, 2, 0xFF00FF00u);
        {
            QPainter painter(&want);
            const int w = c.destWidth == N ? c.picture->Width() : c.destWidth;
            const int h = c.destHeight == N ? c.picture->Height() : c.destHeight;
            painter.drawImage(QRect(c.x, c.y, w, h), c.picture->Image(), QRect(0, 0, c.picture->Width(), c.picture->Height()));
        }
        g.DrawPicture(c.picture, c.x, c.y, c.destWidth, c.destHeight);
        for (int y = 0; y < kCanvasH; ++y)
            for (int x = 0; x < kCanvasW; ++x)
                ASSERT_EQ(g.Pixel(x, y).rgb, want.pixel(x, y) & 0xFFFFFFu) << "pixel " << x << "," << y;
    }
}

}  // namespace
