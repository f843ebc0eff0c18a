#include "Graphics.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "CanvasStore.h"

namespace fw {
namespace {
constexpr int kMaxSide = 1 << 24;

// The rectangle from (x0, y0) up to (x1, y1), which lies inside the canvas.
QRect Within(long long x0, long long y0, long long x1, long long y1) {
    return QRect(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0));
}

// `source` of the picture composed over the canvas's rectangle `part`, at `target` in
// that rectangle's own coordinates.
void Compose(detail::CanvasStore& c, const Picture& picture, const QRect& part, const QRectF& target,
             const QRectF& source) {
    QImage image = c.Copy(part.x(), part.y(), part.width(), part.height());  // opaque: 0xffRRGGBB
    {
        QPainter painter(&image);
        painter.drawImage(target, picture.Image(), source);
    }
    c.PutRows(reinterpret_cast<const std::uint32_t*>(image.constBits()), image.bytesPerLine() / 4, part.x(), part.y(),
              part.width(), part.height());
}
}  // namespace

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
    // Sizes and ends in 64 bits, where any sum or difference of the arguments fits.
    using Wide = long long;
    const auto d = [](Wide v) { return static_cast<double>(v); };  // exact: every value here is below 2^53
    const Wide pw = picture->Width(), ph = picture->Height();
    const Wide sw = sourceWidth == kNatural ? pw - sourceX : sourceWidth;
    const Wide sh = sourceHeight == kNatural ? ph - sourceY : sourceHeight;
    const Wide dw = destWidth == kNatural ? sw : destWidth;
    const Wide dh = destHeight == kNatural ? sh : destHeight;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    if (dw == sw && dh == sh) {
        // At its own size canvas column cx shows source column sourceX + (cx - x): the
        // columns where that lies in the source rectangle, in the picture and on the
        // canvas are drawn, and likewise the rows. The rest of the canvas stays as it is.
        const Wide x0 = std::max({Wide{0}, Wide{x}, Wide{x} - sourceX});
        const Wide y0 = std::max({Wide{0}, Wide{y}, Wide{y} - sourceY});
        const Wide x1 = std::min({Wide{c.width}, x + sw, x + pw - sourceX});
        const Wide y1 = std::min({Wide{c.height}, y + sh, y + ph - sourceY});
        if (x0 >= x1 || y0 >= y1) return;
        const Wide fromX = sourceX + (x0 - x), fromY = sourceY + (y0 - y);  // inside the picture
        if (picture->Opaque())
            c.PutRows(picture->Row(static_cast<int>(fromY)) + fromX, picture->Stride(), x0, y0, x1 - x0, y1 - y0);
        else
            Compose(c, *picture, Within(x0, y0, x1, y1), QRectF(0, 0, d(x1 - x0), d(y1 - y0)),
                    QRectF(d(fromX), d(fromY), d(x1 - x0), d(y1 - y0)));
    } else {
        if (dw > kMaxSide || dh > kMaxSide) return;  // the painter's coordinates stay small
        // The part of the canvas the picture covers.
        const Wide x0 = std::max<Wide>(x, 0), y0 = std::max<Wide>(y, 0);
        const Wide x1 = std::min<Wide>(x + dw, c.width), y1 = std::min<Wide>(y + dh, c.height);
        if (x0 >= x1 || y0 >= y1) return;
        // The painter clips the source rectangle to the picture, and the target with it.
        Compose(c, *picture, Within(x0, y0, x1, y1), QRectF(d(x - x0), d(y - y0), d(dw), d(dh)),
                QRectF(sourceX, sourceY, d(sw), d(sh)));
    }
    c.screenUpdate->Changed();
}

}  // namespace fw
