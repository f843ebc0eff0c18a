#include <gtest/gtest.h>

#include <QImage>

#include "framework/CanvasStore.h"
#include "framework/Graphics.h"

namespace {

constexpr int kCanvasW = 10, kCanvasH = 8;
constexpr std::uint32_t kBack = 0x808080;

struct Placement {
    int x, y, sourceX, sourceY;
};

// An opaque 4 x 3 picture whose every pixel is different.
fw::Ref<fw::Picture> Numbered() {
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) image.setPixel(x, y, qRgb(10 * x + 1, 10 * y + 1, 200));
    return std::make_shared<fw::Picture>(image);
}

// Every pixel of the canvas after the picture's part from (sourceX, sourceY) on is
// drawn at its own size at (x, y), clipped to the canvas, against the same picture
// read one pixel at a time.
TEST(Graphics, APictureIsCopiedClippedToTheCanvasWhereverItLies) {
    const Placement cases[] = {{0, 0, 0, 0},  {3, 2, 0, 0},  {-2, -1, 0, 0}, {8, 6, 0, 0},  {7, -2, 0, 0},
                               {-3, 6, 0, 0}, {2, 1, 1, 1},  {-1, -1, 2, 1}, {9, 7, 3, 2},  {-4, 0, 0, 0},
                               {10, 0, 0, 0}, {0, -3, 0, 0}, {5, 3, 4, 0}};
    const auto picture = Numbered();
    for (const Placement& p : cases) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y << " from " << p.sourceX << "," << p.sourceY);
        auto store = std::make_shared<fw::detail::CanvasStore>();
        store->eraseColor = kBack;
        store->SetImage(QImage(kCanvasW, kCanvasH, QImage::Format_RGB32));
        store->Erase();
        fw::Graphics g(store);
        g.DrawPicture(picture, p.x, p.y, fw::Graphics::kNatural, fw::Graphics::kNatural, p.sourceX, p.sourceY);
        for (int cy = 0; cy < kCanvasH; ++cy)
            for (int cx = 0; cx < kCanvasW; ++cx) {
                const int sx = p.sourceX + (cx - p.x), sy = p.sourceY + (cy - p.y);
                const bool covered = cx >= p.x && cy >= p.y && sx < picture->Width() && sy < picture->Height();
                const fw::Color want{covered ? picture->Image().pixel(sx, sy) & 0xFFFFFFu : kBack};
                ASSERT_EQ(g.Pixel(cx, cy).rgb, want.rgb) << "pixel " << cx << "," << cy;
            }
    }
}

}  // namespace
