// Colours, pictures and the drawing surface of a canvas.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "Object.h"

class QImage;

namespace fw {

struct Color {
    std::uint32_t rgb = 0;  // 0xRRGGBB
    int Red() const { return static_cast<int>((rgb >> 16) & 0xFF); }
    int Green() const { return static_cast<int>((rgb >> 8) & 0xFF); }
    int Blue() const { return static_cast<int>(rgb & 0xFF); }
    friend bool operator==(Color a, Color b) { return a.rgb == b.rgb; }
};

// Each component clamped to 0..255.
inline Color RGB(int red, int green, int blue) {
    auto c = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    return Color{(c(red) << 16) | (c(green) << 8) | c(blue)};
}

// An image, immutable once made.
class Picture : public Object {
public:
    explicit Picture(const QImage& image);
    ~Picture() override;
    int Width() const { return width_; }
    int Height() const { return height_; }
    const QImage& Image() const;
    // Opaque pictures are drawn by a plain copy of their rows.
    bool Opaque() const { return opaque_; }
    const std::uint32_t* Row(int y) const { return pixels_ + y * stride_; }
    std::ptrdiff_t Stride() const { return stride_; }  // pixels from one row to the next

private:
    std::unique_ptr<QImage> image_;
    const std::uint32_t* pixels_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    int width_ = 0, height_ = 0;
    bool opaque_ = true;
};

namespace detail {
struct CanvasStore;
}

// Drawing on a canvas, into its own image, which the screen shows at its next refresh.
// Use it while holding the gate (an engine thread holds it while it runs) or on the
// user-interface thread: the image's shape (its buffer, size and erase colour) is
// changed on that thread while it holds the gate, and every call here reads the buffer
// and size. The pixels themselves need no lock, so the screen may copy them while a
// drawing goes on.
class Graphics : public Object {
public:
    static constexpr int kNatural = -10000;  // "the picture's own size" in DrawPicture

    explicit Graphics(std::shared_ptr<detail::CanvasStore> store);
    // Sets one pixel; a pixel outside the canvas is ignored.
    void Pixel(int x, int y, Color color);
    Color Pixel(int x, int y) const;
    // The picture's source rectangle with its top-left corner at (x, y), scaled to the
    // destination size; kNatural sizes mean the source's own size, and a source reaching
    // to the picture's right or bottom edge. Where the source rectangle lies outside the
    // picture it holds nothing, and the canvas there stays as it is. Clipped to the
    // canvas. A nil picture draws nothing, nor does one scaled to more than 2^24 pixels a side.
    void DrawPicture(const Ref<Picture>& picture, int x, int y, int destWidth = kNatural,
                     int destHeight = kNatural, int sourceX = 0, int sourceY = 0,
                     int sourceWidth = kNatural, int sourceHeight = kNatural);
    int Width() const;
    int Height() const;

private:
    std::shared_ptr<detail::CanvasStore> store_;
};

}  // namespace fw
