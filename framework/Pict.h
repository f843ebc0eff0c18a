// A reader for QuickDraw PICT version 2 raster pictures.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace fw::detail {

// The picture in the bytes of a PICT file (with or without its 512-byte header),
// or nothing when they are not a picture this reader can show. Never reads outside
// the bytes given; pictures larger than kMaxPictSide on a side are refused.
constexpr int kMaxPictSide = 8192;
std::optional<QImage> DecodePict(const std::uint8_t* data, std::size_t size);

}  // namespace fw::detail
