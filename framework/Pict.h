// A reader for QuickDraw PICT version 2 raster pictures.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace fw::detail {

// A picture is decoded whole, at 4 bytes a pixel, into the frame its file states,
// before anything of it is shown: without a cap a file of a few bytes could ask for
// gigabytes (a frame of 32767 on a side is 4 GiB) and the time to fill them. 1024 on
// a side bounds one picture at 4 MiB, and is still larger than a picture drawn at its
// natural size, never scaled, into a control of a window usually needs to be.
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
