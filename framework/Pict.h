// A reader for QuickDraw PICT version 2 raster pictures.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace fw::detail {

// Pictures are drawn at their natural size on a canvas of 567 × 486, so a picture
// much larger than that can never be shown and only costs memory (4 bytes a pixel)
// and decoding time. 1024 on a side covers the canvas with room to spare, at 4 MiB
// for the largest picture.
constexpr int kMaxPictSide = 1024;

// The pixels the raster opcodes of one picture may expand in all, as a multiple of
// its frame's area: room for a background and layers over it, or for bounds wider
// than the frame, while a file that paints its frame over and over is refused.
constexpr int kMaxPictPaints = 4;

// The largest file a picture within those caps needs: its whole budget of pixels
// unpacked at 4 bytes each (16 MiB), and 1 MiB for headers, tables and comments.
// Other formats fit too: a 1024 × 1024 picture unpacked at 4 bytes a pixel is 4 MiB,
// and even as plain-text PPM it is 12 MiB.
constexpr std::size_t kMaxPictFileBytes =
    std::size_t{kMaxPictPaints} * kMaxPictSide * kMaxPictSide * 4 + (std::size_t{1} << 20);

// The picture in the bytes of a PICT file (with or without its 512-byte header),
// or nothing when they are not a picture this reader can show: a frame or bounds
// larger than kMaxPictSide on a side, raster opcodes that expand more than
// kMaxPictPaints times the frame's pixels, or no raster opcode at all. Never reads
// outside the bytes given.
std::optional<QImage> DecodePict(const std::uint8_t* data, std::size_t size);

}  // namespace fw::detail
