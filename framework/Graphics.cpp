#include "Graphics.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "CanvasStore.h"

namespace fw {
namespace {
constexpr int kMaxSide = 1 << 24;
}

Color RGB(int red, int green, int blue) {
    auto c = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    return Color{(c(red) << 16) | (c(green) << 8) | c(blue)};
}

Picture::Picture(const QImage& image)
    : image_(std::make_unique<QImage>(image.convertToFormat(
          image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32))) {
    opaque_ = !image_->hasAlphaChannel();
    pixels_ = reinterpret_cast<const std::uint32_t*>(image_->constBits());
    stride_ = image_->bytesPerLine() / 4;
    width_ = image_->width();
    height_ = image_->height();
}
Picture::~Picture() = default;
const QImage& Picture::Image() const { return *image_; }

Graphics::Graphics(std::shared_ptr<detail::CanvasStore> store) : store_(std::move(store)) {}

void Graphics::Pixel(int x, int y, Color color) {
    {
        std::lock_guard lock(store_->mutex);
        if (x < 0 || y < 0 || x >= store_->width || y >= store_->height) return;
        store_->pixels[y * store_->stride + x] = 0xFF000000u | color.rgb;
    }
    store_->shown->Changed();
}

Color Graphics::Pixel(int x, int y) const {
    std::lock_guard lock(store_->mutex);
    const QImage& img = store_->image;
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return Color{};
    return Color{reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] & 0xFFFFFFu};
}

int Graphics::Width() const {
    std::lock_guard lock(store_->mutex);
    return store_->image.width();
}

int Graphics::Height() const {
    std::lock_guard lock(store_->mutex);
    return store_->image.height();
}

void Graphics::DrawPicture(const Ref<Picture>& picture, int x, int y, int destWidth, int destHeight,
                           int sourceX, int sourceY, int sourceWidth, int sourceHeight) {
    if (!picture) return;
    const int sw = sourceWidth == kNatural ? picture->Width() - sourceX : sourceWidth;
    const int sh = sourceHeight == kNatural ? picture->Height() - sourceY : sourceHeight;
    const int dw = destWidth == kNatural ? sw : destWidth;
    const int dh = destHeight == kNatural ? sh : destHeight;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    if (dw > kMaxSide || dh > kMaxSide) return;  // keeps every rectangle inside the Integer range
    {
        std::lock_guard lock(store_->mutex);
        QImage& dst = store_->image;
        // Entirely outside the canvas: nothing to draw, whatever the coordinates.
        if (x >= store_->width || y >= store_->height || static_cast<long long>(x) + dw <= 0 ||
            static_cast<long long>(y) + dh <= 0)
            return;
        const bool plainCopy = dw == sw && dh == sh && picture->Opaque();
        if (plainCopy) {
            // The common case, a whole opaque picture at its own size: a clipped row copy.
            // Coordinates are widened so that values near the Integer bounds cannot overflow.
            const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
            const long long x1 = std::min<long long>(static_cast<long long>(x) + dw, store_->width);
            const long long y1 = std::min<long long>(static_cast<long long>(y) + dh, store_->height);
            const long long sx0 = std::max(sourceX, 0), sy0 = std::max(sourceY, 0);
            const long long sxEnd = std::min<long long>(sx0 + sw, picture->Width());
            const long long syEnd = std::min<long long>(sy0 + sh, picture->Height());
            // Columns x0 .. colEnd take source columns from sx0 + (x0 - x) on, all before sxEnd.
            const long long colEnd = std::min(x1, static_cast<long long>(x) + (sxEnd - sx0));
            const long long count = colEnd - x0;
            for (long long row = y0; row < y1 && count > 0; ++row) {
                const long long srow = sy0 + (row - y);
                if (srow >= syEnd) break;
                const std::uint32_t* s = picture->Row(static_cast<int>(srow)) + sx0 + (x0 - x);
                std::uint32_t* d = store_->pixels + row * store_->stride + x0;
                for (long long i = 0; i < count; ++i) d[i] = s[i];
            }
        } else {
            QPainter painter(&dst);
            painter.drawImage(QRect(x, y, dw, dh), picture->Image(), QRect(sourceX, sourceY, sw, sh));
        }
    }
    store_->shown->Changed();
}

}  // namespace fw
