#include "Graphics.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "CanvasStore.h"

namespace fw {
namespace {
constexpr int kMaxSide = 1 << 24;
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
    detail::CanvasStore& c = *store_;
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return;
    c.Store(c.At(x, y), 0xFF000000u | color.rgb);
    c.screenUpdate->Changed();
}

Color Graphics::Pixel(int x, int y) const {
    const detail::CanvasStore& c = *store_;
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return Color{};
    return Color{c.Load(c.At(x, y)) & 0xFFFFFFu};
}

int Graphics::Width() const { return store_->width; }

int Graphics::Height() const { return store_->height; }

void Graphics::DrawPicture(const Ref<Picture>& picture, int x, int y, int destWidth, int destHeight,
                           int sourceX, int sourceY, int sourceWidth, int sourceHeight) {
    if (!picture) return;
    detail::CanvasStore& c = *store_;
    // The run's case, six times a frame: a whole opaque picture inside the canvas.
    const bool whole = destWidth == kNatural && destHeight == kNatural && sourceX == 0 && sourceY == 0 &&
                       sourceWidth == kNatural && sourceHeight == kNatural;
    if (whole && picture->Opaque() && picture->Width() > 0 && picture->Height() > 0 && x >= 0 && y >= 0 &&
        x <= c.width - picture->Width() && y <= c.height - picture->Height()) {
        c.PutRows(picture->Row(0), picture->Stride(), x, y, picture->Width(), picture->Height());
        c.screenUpdate->Changed();
        return;
    }
    const int sw = sourceWidth == kNatural ? picture->Width() - sourceX : sourceWidth;
    const int sh = sourceHeight == kNatural ? picture->Height() - sourceY : sourceHeight;
    const int dw = destWidth == kNatural ? sw : destWidth;
    const int dh = destHeight == kNatural ? sh : destHeight;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    if (dw > kMaxSide || dh > kMaxSide) return;  // keeps every rectangle inside the Integer range
    // Entirely outside the canvas: nothing to draw, whatever the coordinates.
    if (x >= c.width || y >= c.height || static_cast<long long>(x) + dw <= 0 || static_cast<long long>(y) + dh <= 0)
        return;
    // The part of the canvas the picture covers; coordinates are widened so that values
    // near the Integer bounds cannot overflow.
    const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + dw, c.width);
    const long long y1 = std::min<long long>(static_cast<long long>(y) + dh, c.height);
    if (dw == sw && dh == sh && picture->Opaque()) {
        // The common case, a whole opaque picture at its own size: a clipped row copy.
        const long long sx0 = std::max(sourceX, 0), sy0 = std::max(sourceY, 0);
        const long long sxEnd = std::min<long long>(sx0 + sw, picture->Width());
        const long long syEnd = std::min<long long>(sy0 + sh, picture->Height());
        // Columns x0 .. colEnd take source columns from sx0 + (x0 - x) on, all before sxEnd.
        const long long colEnd = std::min(x1, static_cast<long long>(x) + (sxEnd - sx0));
        const long long count = colEnd - x0;
        const long long rowEnd = std::min(y1, static_cast<long long>(y) + (syEnd - sy0));
        if (count > 0 && rowEnd > y0)
            c.PutRows(picture->Row(static_cast<int>(sy0 + (y0 - y))) + sx0 + (x0 - x), picture->Stride(), x0, y0, count,
                      rowEnd - y0);
    } else {
        // Scaled or with transparency: composed on a copy of the covered part, then put back.
        const int cx = static_cast<int>(x0), cy = static_cast<int>(y0);
        const int cw = static_cast<int>(x1 - x0), ch = static_cast<int>(y1 - y0);
        QImage part = c.Copy(cx, cy, cw, ch);
        {
            QPainter painter(&part);
            painter.drawImage(QRect(x - cx, y - cy, dw, dh), picture->Image(), QRect(sourceX, sourceY, sw, sh));
        }
        for (int row = 0; row < ch; ++row) {
            const auto* s = reinterpret_cast<const std::uint32_t*>(part.constScanLine(row));
            for (int col = 0; col < cw; ++col) c.Store(c.At(cx + col, cy + row), s[col] | 0xFF000000u);
        }
    }
    c.screenUpdate->Changed();
}

}  // namespace fw
