// libFuzzer entry for the PICT reader: any bytes either give nothing or a picture
// within the size cap in one of the two formats the reader makes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/Pict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<QImage> image = fw::detail::DecodePict(data, size);
    if (!image) return 0;
    const bool sized = !image->isNull() && image->width() <= fw::detail::kMaxPictSide &&
                       image->height() <= fw::detail::kMaxPictSide;
    const bool formatted = image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32;
    if (!sized || !formatted) std::abort();
    return 0;
}
