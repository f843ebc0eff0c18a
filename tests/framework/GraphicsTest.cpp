#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <limits>
#include <vector>

#include "framework/CanvasStore.h"
#include "framework/Graphics.h"

namespace {

constexpr int kCanvasW = 10, kCanvasH = 8;
constexpr std::uint32_t kBack = 0x808080;

struct Placement {
    int x, y, sourceX, sourceY;
    int sourceWidth = fw::Graphics::kNatural, sourceHeight = fw::Graphics::kNatural;
};

// A 4 x 3 picture whose every pixel is different; opaque, but with an alpha channel
// of its own when `format` has one.
fw::Ref<fw::Picture> Numbered(QImage::Format format = QImage::Format_RGB32) {
    QImage image(4, 3, format);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) image.setPixel(x, y, qRgb(10 * x + 1, 10 * y + 1, 200));
    return std::make_shared<fw::Picture>(image);
}

// Drawing on a canvas of its own, erased to kBack.
fw::Graphics ErasedCanvas() {
    auto store = std::make_shared<fw::detail::CanvasStore>();
    store->SetImage(QImage(kCanvasW, kCanvasH, QImage::Format_RGB32));
    store->Erase(kBack);
    return fw::Graphics(store);
}

// A canvas whose image lies in a buffer of its own with one guard row above and one
// below, so that a pixel written just outside the canvas is seen without a sanitizer:
// rows follow each other with no padding, as on a real canvas, so a pixel one right of
// a row's end is column 0 of the next row, and one left of it the last of the row before.
struct GuardedCanvas {
    std::vector<std::uint32_t> buffer = std::vector<std::uint32_t>((kCanvasH + 2) * kCanvasW, 0xFF000000u | kBack);
    std::shared_ptr<fw::detail::CanvasStore> store = std::make_shared<fw::detail::CanvasStore>();
    GuardedCanvas() {
        store->SetImage(QImage(reinterpret_cast<uchar*>(buffer.data() + kCanvasW), kCanvasW, kCanvasH,
                               kCanvasW * 4, QImage::Format_RGB32));
    }
};

// A pixel on the canvas's border is drawn, and only it; one just outside any of its
// four edges, corners included, changes nothing anywhere in the buffer, and reads as
// black.
TEST(Graphics, APixelIsDrawnUpToTheCanvasEdgesAndNotPastThem) {
    struct Case {
        int x, y;
        bool inside;
    };
    // The rows just above, on, and just below the top and bottom edges, every column
    // from one left of the canvas to one right of it; then the same four columns at the
    // left and right edges for the rows between.
    std::vector<Case> cases;
    const auto add = [&](int x, int y) { cases.push_back({x, y, x >= 0 && x < kCanvasW && y >= 0 && y < kCanvasH}); };
    for (int x = -1; x <= kCanvasW; ++x)
        for (int y : {-1, 0, kCanvasH - 1, kCanvasH}) add(x, y);
    for (int y = 1; y < kCanvasH - 1; ++y)
        for (int x : {-1, 0, kCanvasW - 1, kCanvasW}) add(x, y);
    constexpr std::uint32_t kInk = 0x123456;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pixel " << c.x << "," << c.y);
        GuardedCanvas canvas;
        ASSERT_EQ(canvas.store->pixels, canvas.buffer.data() + kCanvasW);  // the image is the buffer's, uncopied
        fw::Graphics g(canvas.store);
        g.Pixel(c.x, c.y, fw::Color{kInk});
        std::vector<std::uint32_t> want((kCanvasH + 2) * kCanvasW, 0xFF000000u | kBack);
        if (c.inside) want[(c.y + 1) * kCanvasW + c.x] = 0xFF000000u | kInk;
        for (std::size_t i = 0; i < want.size(); ++i)
            ASSERT_EQ(canvas.buffer[i], want[i]) << "buffer row " << static_cast<int>(i) / kCanvasW - 1 << " column "
                                                 << static_cast<int>(i) % kCanvasW << " (row -1 and "
                                                 << kCanvasH << " are the guards)";
        EXPECT_EQ(g.Pixel(c.x, c.y).rgb, c.inside ? kInk : 0u);
    }
}

// Every pixel of the canvas after the picture's part from (sourceX, sourceY) on is
// drawn at its own size at (x, y), clipped to the canvas and to the picture (a source
// rectangle may reach past any of its edges, even by nearly the whole Integer range),
// against the same picture read one pixel at a time.
TEST(Graphics, APictureIsCopiedClippedToTheCanvasWhereverItLies) {
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    const Placement cases[] = {
        {0, 0, 0, 0},  {3, 2, 0, 0},  {-2, -1, 0, 0}, {8, 6, 0, 0},  {7, -2, 0, 0},
        {-3, 6, 0, 0}, {2, 1, 1, 1},  {-1, -1, 2, 1}, {9, 7, 3, 2},  {-4, 0, 0, 0},
        {10, 0, 0, 0}, {0, -3, 0, 0}, {5, 3, 4, 0},
        {6, 5, 0, 0},  {7, 1, 0, 0},  {-1, 2, 0, 0}, {2, 6, 0, 0},  // a column or row either side of the edges
        {1, 1, 0, 1, 4, 5}, {2, 0, 1, 0, 6, 3}, {-1, 2, 1, 1, 9, 9}, {3, 3, 0, 0, 2, 2},
        // Source rectangles starting left of or above the picture: where they hold nothing,
        // the canvas stays as it was.
        {2, 1, -2, 0}, {1, 2, 0, -2}, {-1, -1, -3, -1}, {8, 0, -1, 0}, {4, 3, -5, -4},
        {3, 2, -2, -1, 5, 3}, {0, 0, -1, -2, 2, 2}, {2, 2, -4, -3, 4, 3}, {1, 0, -2, 0, 3, kMax},
        // Near the Integer bounds.
        {0, 0, kMin + 1, 0}, {0, 0, 0, kMin + 1}, {kMin, kMin, kMin + 1, kMin + 1}, {kMin, 0, kMin + 1, 0, kMax, 3},
        {2, 1, kMax, kMax}, {kMax, kMax, kMax, kMax, kMax, kMax}, {2, 1, -2, -1, kMax, kMax},
        {0, 0, 0, 0, kMax, kMax}, {kMin, kMin, 0, 0}, {kMax, kMax, 0, 0}, {kMin, 0, 0, 0, kMax, kMax},
        {kMax, 0, kMin + 1, 0}, {kMax, 1, kMax, 0, kMax, kMax}};
    const auto picture = Numbered();
    for (const Placement& p : cases) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y << " from " << p.sourceX << "," << p.sourceY
                                        << " size " << p.sourceWidth << "," << p.sourceHeight);
        fw::Graphics g = ErasedCanvas();
        g.DrawPicture(picture, p.x, p.y, fw::Graphics::kNatural, fw::Graphics::kNatural, p.sourceX, p.sourceY,
                      p.sourceWidth, p.sourceHeight);
        using Wide = long long;
        const Wide endX = p.sourceWidth == fw::Graphics::kNatural ? picture->Width() : Wide{p.sourceX} + p.sourceWidth;
        const Wide endY = p.sourceHeight == fw::Graphics::kNatural ? picture->Height() : Wide{p.sourceY} + p.sourceHeight;
        for (int cy = 0; cy < kCanvasH; ++cy)
            for (int cx = 0; cx < kCanvasW; ++cx) {
                const Wide sx = p.sourceX + (Wide{cx} - p.x), sy = p.sourceY + (Wide{cy} - p.y);
                const bool covered = cx >= p.x && cy >= p.y && sx >= 0 && sy >= 0 &&
                                     sx < std::min<Wide>(endX, picture->Width()) &&
                                     sy < std::min<Wide>(endY, picture->Height());
                const fw::Color want{covered ? picture->Image().pixel(static_cast<int>(sx), static_cast<int>(sy)) & 0xFFFFFFu
                                             : kBack};
                ASSERT_EQ(g.Pixel(cx, cy).rgb, want.rgb) << "pixel " << cx << "," << cy;
            }
    }
}

}  // namespace

namespace {

// A picture that is scaled or has transparency is composed over what the canvas shows
// there, clipped to the canvas: the same pixels as the painter gives on the whole image.
TEST(Graphics, AScaledOrTransparentPictureIsComposedOverTheCanvas) {
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    QImage clear(4, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) clear.setPixel(x, y, (x + y) % 2 ? qRgba(250, 20, 30, 255) : qRgba(0, 0, 0, 0));
    const auto transparent = std::make_shared<fw::Picture>(clear);
    const auto opaque = Numbered();
    constexpr int N = fw::Graphics::kNatural;
    struct Case {
        fw::Ref<fw::Picture> picture;
        int x, y, destWidth, destHeight;
        int sourceX = 0, sourceY = 0, sourceWidth = N, sourceHeight = N;
    };
    const Case cases[] = {{transparent, 2, 1, N, N},
                          {transparent, -1, -1, N, N},
                          {transparent, 8, 6, 6, 5},
                          {transparent, 1, 2, N, N, -2, -1},
                          {transparent, 0, 1, N, N, 1, -1, 6, 3},
                          {opaque, 1, 2, 8, 6},
                          {opaque, -3, 5, 7, 2},
                          {opaque, 9, -1, 2, 2},
                          {opaque, 1, 0, 8, 6, -2, -1},
                          // Near the Integer bounds.
                          {transparent, 1, 1, N, N, kMin + 1, kMin + 1},
                          {transparent, kMin, kMin, N, N, kMin + 1, kMin + 1},
                          {transparent, 2, 1, N, N, -1, 0, kMax, kMax},
                          {opaque, 2, 1, 5, 4, kMax, kMax, kMax, kMax},
                          {opaque, 2, 1, 5, 4, kMin + 1, kMin + 1},
                          {opaque, 2, 1, 5, N, 0, kMin + 1},
                          {opaque, kMin, kMax, 5, 5},
                          {transparent, kMax, kMin, N, N}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.x << "," << c.y << " size " << c.destWidth << "x" << c.destHeight
                                        << " from " << c.sourceX << "," << c.sourceY << " size " << c.sourceWidth
                                        << "x" << c.sourceHeight);
        fw::Graphics g = ErasedCanvas();
        g.Pixel(3, 2, fw::Color{0x00FF00});  // something of the canvas's own under the picture
        QImage want(kCanvasW, kCanvasH, QImage::Format_RGB32);
        want.fill(0xFF000000u | kBack);
        want.setPixel(3, 2, 0xFF00FF00u);
        {
            // In double, where every size and end below is exact.
            const double sw = c.sourceWidth == N ? c.picture->Width() - static_cast<double>(c.sourceX) : c.sourceWidth;
            const double sh = c.sourceHeight == N ? c.picture->Height() - static_cast<double>(c.sourceY) : c.sourceHeight;
            const double w = c.destWidth == N ? sw : c.destWidth;
            const double h = c.destHeight == N ? sh : c.destHeight;
            if (sw > 0 && sh > 0 && w > 0 && h > 0) {
                QPainter painter(&want);
                painter.drawImage(QRectF(c.x, c.y, w, h), c.picture->Image(), QRectF(c.sourceX, c.sourceY, sw, sh));
            }
        }
        g.DrawPicture(c.picture, c.x, c.y, c.destWidth, c.destHeight, c.sourceX, c.sourceY, c.sourceWidth,
                      c.sourceHeight);
        for (int y = 0; y < kCanvasH; ++y)
            for (int x = 0; x < kCanvasW; ++x)
                ASSERT_EQ(g.Pixel(x, y).rgb, want.pixel(x, y) & 0xFFFFFFu) << "pixel " << x << "," << y;
    }
}

// An opaque picture is copied and one with an alpha channel is composed: the same
// source rectangle gives the same pixels either way.
TEST(Graphics, APictureLandsAlikeWithOrWithoutAnAlphaChannel) {
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    const auto copied = Numbered(), composed = Numbered(QImage::Format_ARGB32);
    ASSERT_TRUE(copied->Opaque());
    ASSERT_FALSE(composed->Opaque());
    const Placement cases[] = {{2, 1, 0, 0},  {-2, 6, 1, 0},       {2, 1, -2, 0},     {1, 2, 0, -2},
                               {-1, 3, -3, -1}, {3, 2, -2, -1, 5, 3}, {1, 0, -1, 1, 6, 9}, {kMin, kMin, kMin + 1, kMin + 1},
                               {8, 1, -1, 0, kMax, kMax}};
    for (const Placement& p : cases) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y << " from " << p.sourceX << "," << p.sourceY
                                        << " size " << p.sourceWidth << "," << p.sourceHeight);
        fw::Graphics a = ErasedCanvas(), b = ErasedCanvas();
        for (auto [g, picture] : {std::pair{&a, copied}, std::pair{&b, composed}})
            g->DrawPicture(picture, p.x, p.y, fw::Graphics::kNatural, fw::Graphics::kNatural, p.sourceX, p.sourceY,
                           p.sourceWidth, p.sourceHeight);
        for (int y = 0; y < kCanvasH; ++y)
            for (int x = 0; x < kCanvasW; ++x) ASSERT_EQ(a.Pixel(x, y).rgb, b.Pixel(x, y).rgb) << "pixel " << x << "," << y;
    }
}

}  // namespace
