// Reads the raster subset of QuickDraw PICT version 2: the picture frame, the bit-map,
// indexed and direct pixel opcodes, and every other opcode skipped by its length.
// Everything here is local to one call, so pictures decode on any thread.
#include "Pict.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace fw::detail {
namespace {

// Big-endian reads over the picture's bytes. A read past the end yields zeros and
// marks the cursor failed, so callers check Failed() once after a group of reads.
class Cursor {
public:
    Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Failed() const { return failed_; }
    std::uint8_t U8() {
        const std::uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    std::uint16_t U16() {
        const std::uint8_t* p = Take(2);
        return p ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : 0;
    }
    std::uint32_t U32() {
        const std::uint32_t high = U16();
        return high << 16 | U16();
    }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    void Skip(std::size_t n) { Take(n); }
    void Fail() { failed_ = true; }
    // Version 2 opcodes start on even offsets from the picture's start.
    void AlignToWord() {
        if (pos_ % 2 != 0) Skip(1);
    }
    // The next n bytes, or nullptr (and failed) when fewer remain.
    const std::uint8_t* Take(std::size_t n) {
        if (failed_ || n > size_ - pos_) {
            failed_ = true;
            return nullptr;
        }
        const std::uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

struct Rect {
    int top = 0, left = 0, bottom = 0, right = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

Rect ReadRect(Cursor& c) {
    Rect r;
    r.top = c.I16();
    r.left = c.I16();
    r.bottom = c.I16();
    r.right = c.I16();
    return r;
}

bool IsAcceptableSize(const Rect& r) {
    return r.Width() > 0 && r.Height() > 0 && r.Width() <= kMaxPictSide && r.Height() <= kMaxPictSide;
}

// ---- Skipping opcodes ---------------------------------------------------------------

enum class SkipRule {
    kFixed,         // `bytes` bytes
    kWordLength,    // a u16 length, then that many bytes
    kLongLength,    // a u32 length, then that many bytes
    kSelfCounted,   // regions and polygons: a u16 size that counts itself
    kText,          // `bytes` bytes, a count byte, then the text
    kLongComment,   // kind u16, size u16, then size bytes
    kHighByte,      // 2 × (opcode >> 8) bytes
    kRefuse,        // cannot be skipped safely
};

struct OpcodeRange {
    std::uint16_t first, last;
    SkipRule rule;
    std::uint8_t bytes;
};

// Every opcode except the raster ones and the end, by the length of its data.
constexpr OpcodeRange kSkipTable[] = {
    {0x0000, 0x0000, SkipRule::kFixed, 0},       {0x0001, 0x0001, SkipRule::kSelfCounted, 0},
    {0x0002, 0x0002, SkipRule::kFixed, 8},       {0x0003, 0x0003, SkipRule::kFixed, 2},
    {0x0004, 0x0004, SkipRule::kFixed, 1},       {0x0005, 0x0005, SkipRule::kFixed, 2},
    {0x0006, 0x0007, SkipRule::kFixed, 4},       {0x0008, 0x0008, SkipRule::kFixed, 2},
    {0x0009, 0x000A, SkipRule::kFixed, 8},       {0x000B, 0x000C, SkipRule::kFixed, 4},
    {0x000D, 0x000D, SkipRule::kFixed, 2},       {0x000E, 0x000F, SkipRule::kFixed, 4},
    {0x0010, 0x0010, SkipRule::kFixed, 8},       {0x0011, 0x0011, SkipRule::kFixed, 2},
    {0x0012, 0x0014, SkipRule::kRefuse, 0},      {0x0015, 0x0016, SkipRule::kFixed, 2},
    {0x0017, 0x0019, SkipRule::kFixed, 0},       {0x001A, 0x001B, SkipRule::kFixed, 6},
    {0x001C, 0x001C, SkipRule::kFixed, 0},       {0x001D, 0x001D, SkipRule::kFixed, 6},
    {0x001E, 0x001E, SkipRule::kFixed, 0},       {0x001F, 0x001F, SkipRule::kFixed, 6},
    {0x0020, 0x0020, SkipRule::kFixed, 8},       {0x0021, 0x0021, SkipRule::kFixed, 4},
    {0x0022, 0x0022, SkipRule::kFixed, 6},       {0x0023, 0x0023, SkipRule::kFixed, 2},
    {0x0024, 0x0027, SkipRule::kWordLength, 0},  {0x0028, 0x0028, SkipRule::kText, 4},
    {0x0029, 0x002A, SkipRule::kText, 1},        {0x002B, 0x002B, SkipRule::kText, 2},
    {0x002C, 0x002F, SkipRule::kWordLength, 0},  {0x0030, 0x0037, SkipRule::kFixed, 8},
    {0x0038, 0x003F, SkipRule::kFixed, 0},       {0x0040, 0x0047, SkipRule::kFixed, 8},
    {0x0048, 0x004F, SkipRule::kFixed, 0},       {0x0050, 0x0057, SkipRule::kFixed, 8},
    {0x0058, 0x005F, SkipRule::kFixed, 0},       {0x0060, 0x0067, SkipRule::kFixed, 12},
    {0x0068, 0x006F, SkipRule::kFixed, 4},       {0x0070, 0x0077, SkipRule::kSelfCounted, 0},
    {0x0078, 0x007F, SkipRule::kFixed, 0},       {0x0080, 0x0087, SkipRule::kSelfCounted, 0},
    {0x0088, 0x008F, SkipRule::kFixed, 0},       {0x0092, 0x0097, SkipRule::kWordLength, 0},
    {0x009C, 0x009F, SkipRule::kWordLength, 0},  {0x00A0, 0x00A0, SkipRule::kFixed, 2},
    {0x00A1, 0x00A1, SkipRule::kLongComment, 0}, {0x00A2, 0x00AF, SkipRule::kWordLength, 0},
    {0x00B0, 0x00CF, SkipRule::kFixed, 0},       {0x00D0, 0x00FE, SkipRule::kLongLength, 0},
    {0x0100, 0x7FFF, SkipRule::kHighByte, 0},    {0x8000, 0x80FF, SkipRule::kFixed, 0},
    {0x8100, 0xFFFF, SkipRule::kLongLength, 0},
};

// Skips a region or polygon: a size that counts itself, at least the size word and
// the bounding box.
bool SkipShape(Cursor& c) {
    constexpr std::size_t kMinShapeBytes = 10;
    const std::size_t size = c.U16();
    if (size < kMinShapeBytes) return false;
    c.Skip(size - 2);
    return true;
}

// Skips the data of a non-raster opcode; false when it cannot be skipped.
bool SkipOpcode(Cursor& c, std::uint16_t op) {
    const auto* range = std::find_if(std::begin(kSkipTable), std::end(kSkipTable),
                                     [op](const OpcodeRange& r) { return op >= r.first && op <= r.last; });
    if (range == std::end(kSkipTable)) return false;
    switch (range->rule) {
    case SkipRule::kFixed: c.Skip(range->bytes); break;
    case SkipRule::kWordLength: c.Skip(c.U16()); break;
    case SkipRule::kLongLength: c.Skip(c.U32()); break;
    case SkipRule::kSelfCounted:
        if (!SkipShape(c)) return false;
        break;
    case SkipRule::kText: c.Skip(range->bytes); c.Skip(c.U8()); break;
    case SkipRule::kLongComment: c.Skip(2); c.Skip(c.U16()); break;
    case SkipRule::kHighByte: c.Skip(2u * (op >> 8)); break;
    case SkipRule::kRefuse: return false;
    }
    return !c.Failed();
}

// ---- Pixel rows ---------------------------------------------------------------------

// How one row of PixData is stored.
struct RowFormat {
    bool packed = false;
    bool wideCount = false;   // a packed row's byte count is a u16, not a u8
    std::size_t item = 1;     // PackBits item size: 2 under packType 3
    std::size_t length = 0;   // bytes of the row once unpacked
};

// Rows with rowBytes < 8 are never packed; longer rows carry a byte count whose width
// depends on rowBytes.
RowFormat PackedRows(int rowBytes, std::size_t length, std::size_t item) {
    constexpr int kMinPackedRowBytes = 8;
    constexpr int kMaxByteCountRowBytes = 250;
    RowFormat f;
    f.packed = rowBytes >= kMinPackedRowBytes;
    f.wideCount = rowBytes > kMaxByteCountRowBytes;
    f.item = item;
    f.length = f.packed ? length : static_cast<std::size_t>(rowBytes);
    return f;
}

RowFormat UnpackedRows(std::size_t length) {
    RowFormat f;
    f.length = length;
    return f;
}

// Expands PackBits data of `item`-byte items into exactly outSize bytes; false when a
// run overruns the input or the row, or the row comes out short. Requiring the whole
// row keeps the work in step with the data: no byte count inflates to a full row.
bool UnpackBits(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize,
                std::size_t item) {
    std::size_t i = 0, o = 0;
    while (i < inSize) {
        const unsigned flag = in[i++];
        if (flag == 0x80) continue;
        if (flag < 0x80) {
            const std::size_t n = (flag + 1) * item;
            if (n > inSize - i || n > outSize - o) return false;
            std::memcpy(out + o, in + i, n);
            i += n;
            o += n;
        } else {
            const std::size_t count = 257 - flag;
            if (item > inSize - i || count * item > outSize - o) return false;
            for (std::size_t k = 0; k < count; ++k, o += item) std::memcpy(out + o, in + i, item);
            i += item;
        }
    }
    return o == outSize;
}

// The next row, unpacked; nullptr when the data is short or corrupt.
const std::uint8_t* ReadRow(Cursor& c, const RowFormat& f, std::vector<std::uint8_t>& buffer) {
    if (!f.packed) return c.Take(f.length);
    const std::size_t count = f.wideCount ? c.U16() : c.U8();
    const std::uint8_t* packed = c.Take(count);
    if (!packed) return nullptr;
    buffer.resize(f.length);
    return UnpackBits(packed, count, buffer.data(), f.length, f.item) ? buffer.data() : nullptr;
}

// ---- The frame ----------------------------------------------------------------------

// The picture being drawn: the frame's pixels, white where nothing was drawn, made
// at the first raster opcode, so that a frame alone costs nothing; and how many
// pixels the raster opcodes may still expand.
struct Drawing {
    Rect frame;
    QImage image;
    std::int64_t budget = 0;
};

// Takes a raster opcode's rows from the budget before any of them is read. Every row
// of the bounds is expanded, whether or not it lands in the frame; a row costs its
// pixels, or its unpacked bytes at 4 a pixel where padding makes those more.
bool Charge(Drawing& drawing, const Rect& bounds, const RowFormat& format) {
    constexpr std::int64_t kBytesPerPixel = 4;
    const auto rowBytes = static_cast<std::int64_t>(format.length);
    const std::int64_t perRow =
        std::max<std::int64_t>(bounds.Width(), (rowBytes + kBytesPerPixel - 1) / kBytesPerPixel);
    const std::int64_t cost = perRow * bounds.Height();
    if (cost > drawing.budget) return false;
    drawing.budget -= cost;
    return true;
}

// Makes the frame's image, white, at the first raster opcode, and gives it an alpha
// channel once a raster that has one is drawn.
bool PrepareImage(Drawing& drawing, bool alpha) {
    if (drawing.image.isNull()) {
        drawing.image = QImage(drawing.frame.Width(), drawing.frame.Height(),
                               alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (drawing.image.isNull()) return false;
        drawing.image.fill(qRgb(255, 255, 255));
    } else if (alpha && drawing.image.format() != QImage::Format_ARGB32) {
        drawing.image.convertTo(QImage::Format_ARGB32);
    }
    return true;
}

// Where a raster opcode's pixels go: srcRect of the bounds onto dstRect of the frame.
struct Placement {
    Rect bounds, src, dst;
};

// Copies row y (bounds coordinates) of the source onto the frame. Pictures copy at
// their own size; when the two rects differ, the overlap is copied unscaled, which
// keeps the work in step with the picture's data.
void CopyRow(Drawing& drawing, const Placement& p, int y, const QRgb* row) {
    const int offsetY = y - p.src.top;
    const int dy = p.dst.top + offsetY;
    if (offsetY < 0 || offsetY >= std::min(p.src.Height(), p.dst.Height())) return;
    if (dy < drawing.frame.top || dy >= drawing.frame.bottom) return;
    const int first = std::max({0, p.bounds.left - p.src.left, drawing.frame.left - p.dst.left});
    const int last = std::min({p.src.Width(), p.dst.Width(), p.bounds.right - p.src.left,
                               drawing.frame.right - p.dst.left});
    auto* line = reinterpret_cast<QRgb*>(drawing.image.scanLine(dy - drawing.frame.top));
    for (int o = first; o < last; ++o)
        line[p.dst.left + o - drawing.frame.left] = row[p.src.left + o - p.bounds.left];
}

// Reads every row of PixData, converts it with expand(bytes, pixels) and draws it.
template <typename Expand>
bool DrawRows(Cursor& c, const RowFormat& format, const Placement& p, bool alpha, Drawing& drawing,
              Expand expand) {
    if (!Charge(drawing, p.bounds, format) || !PrepareImage(drawing, alpha)) return false;
    std::vector<std::uint8_t> buffer;
    std::vector<QRgb> pixels(static_cast<std::size_t>(p.bounds.Width()));
    for (int y = p.bounds.top; y < p.bounds.bottom; ++y) {
        const std::uint8_t* bytes = ReadRow(c, format, buffer);
        if (!bytes) return false;
        expand(bytes, pixels.data());
        CopyRow(drawing, p, y, pixels.data());
    }
    return true;
}

// ---- Raster opcodes -----------------------------------------------------------------

// The fields of a BitMap or PixMap that this reader uses.
struct PixMap {
    bool isPixMap = false;  // else a 1-bit BitMap
    int rowBytes = 0;
    Rect bounds;
    int packType = 0;
    int pixelSize = 1;
    int cmpCount = 1;
};

constexpr std::uint16_t kPixMapFlag = 0x8000;
constexpr std::uint16_t kRowBytesMask = 0x3FFF;

// rowBytes and bounds, then for a PixMap its remaining 36 bytes.
PixMap ReadPixMap(Cursor& c) {
    PixMap pm;
    const std::uint16_t rowBytes = c.U16();
    pm.isPixMap = (rowBytes & kPixMapFlag) != 0;
    pm.rowBytes = rowBytes & kRowBytesMask;
    pm.bounds = ReadRect(c);
    if (!pm.isPixMap) return pm;
    c.Skip(2);  // pmVersion
    pm.packType = c.I16();
    c.Skip(4 + 4 + 4 + 2);  // packSize, hRes, vRes, pixelType
    pm.pixelSize = c.I16();
    pm.cmpCount = c.I16();
    c.Skip(2 + 4 + 4 + 4);  // cmpSize, planeBytes, pmTable, pmReserved
    return pm;
}

// srcRect, dstRect and mode (every mode draws as a copy), then the mask region of
// the Rgn forms, which is skipped: the rectangle is drawn whole.
Placement ReadPlacement(Cursor& c, const Rect& bounds, bool hasMaskRegion) {
    Placement p;
    p.bounds = bounds;
    p.src = ReadRect(c);
    p.dst = ReadRect(c);
    c.Skip(2);
    if (hasMaskRegion && !SkipShape(c)) c.Fail();
    return p;
}

bool HasRowBytesFor(const PixMap& pm, int bitsPerPixel) {
    return IsAcceptableSize(pm.bounds) &&
           std::int64_t{pm.rowBytes} * 8 >= std::int64_t{pm.bounds.Width()} * bitsPerPixel;
}

using Palette = std::array<QRgb, 256>;

// Entries {value, r, g, b}; an index is the entry's position under ctFlags 0x8000.
Palette ReadColorTable(Cursor& c) {
    constexpr std::uint16_t kIndexByPosition = 0x8000;
    Palette palette;
    palette.fill(qRgb(0, 0, 0));
    c.Skip(4);  // ctSeed
    const std::uint16_t flags = c.U16();
    const std::size_t entries = c.U16() + std::size_t{1};
    for (std::size_t i = 0; i < entries && !c.Failed(); ++i) {
        const std::size_t value = c.U16();
        const std::size_t index = (flags & kIndexByPosition) ? i : value;
        const int r = c.U16() >> 8, g = c.U16() >> 8, b = c.U16() >> 8;
        if (index < palette.size()) palette[index] = qRgb(r, g, b);
    }
    return palette;
}

// BitsRect, BitsRgn, PackBitsRect and PackBitsRgn: a 1-bit BitMap or an indexed PixMap.
bool DrawIndexed(Cursor& c, std::uint16_t op, Drawing& drawing) {
    const PixMap pm = ReadPixMap(c);
    Palette palette{};
    palette[0] = qRgb(255, 255, 255);
    palette[1] = qRgb(0, 0, 0);
    if (pm.isPixMap) palette = ReadColorTable(c);
    const Placement placement = ReadPlacement(c, pm.bounds, op & 1);
    const int bits = pm.pixelSize;
    if (c.Failed() || (bits != 1 && bits != 2 && bits != 4 && bits != 8) || !HasRowBytesFor(pm, bits))
        return false;
    const bool packed = op >= 0x0098;
    const RowFormat format = packed ? PackedRows(pm.rowBytes, pm.rowBytes, 1) : UnpackedRows(pm.rowBytes);
    const int width = pm.bounds.Width();
    return DrawRows(c, format, placement, false, drawing, [&](const std::uint8_t* row, QRgb* out) {
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            out[x] = palette[(row[x / perByte] >> shift) & mask];
        }
    });
}

// How a direct PixMap's rows are laid out, by pixelSize and packType.
enum class DirectLayout { kRefused, kWords, kPackedWords, kLongs, kThreeBytes, kPlanes };

DirectLayout LayoutOf(const PixMap& pm) {
    constexpr int kMinPackedRowBytes = 8;
    const int packType = pm.packType;
    if (pm.pixelSize == 16) {
        if (pm.rowBytes < kMinPackedRowBytes || packType == 1) return DirectLayout::kWords;
        return packType == 0 || packType == 3 ? DirectLayout::kPackedWords : DirectLayout::kRefused;
    }
    if (pm.pixelSize != 32 || (pm.cmpCount != 3 && pm.cmpCount != 4)) return DirectLayout::kRefused;
    if (pm.rowBytes < kMinPackedRowBytes || packType == 1) return DirectLayout::kLongs;
    if (packType == 2) return pm.cmpCount == 3 ? DirectLayout::kThreeBytes : DirectLayout::kRefused;
    return packType == 0 || packType == 4 ? DirectLayout::kPlanes : DirectLayout::kRefused;
}

RowFormat DirectRowFormat(const PixMap& pm, DirectLayout layout) {
    const auto width = static_cast<std::size_t>(pm.bounds.Width());
    switch (layout) {
    case DirectLayout::kPackedWords: return PackedRows(pm.rowBytes, pm.rowBytes, 2);
    case DirectLayout::kThreeBytes: return UnpackedRows(3 * width);
    case DirectLayout::kPlanes: return PackedRows(pm.rowBytes, pm.cmpCount * width, 1);
    default: return UnpackedRows(pm.rowBytes);
    }
}

// A 5-bit channel widened to 8 bits with its top bits repeated, so 31 becomes 255.
int Widen5(unsigned v) {
    v &= 0x1F;
    return static_cast<int>(v << 3 | v >> 2);
}

// Converts one unpacked direct row to pixels; alpha comes first when cmpCount is 4.
void ExpandDirect(DirectLayout layout, bool alpha, int width, const std::uint8_t* row, QRgb* out) {
    const auto w = static_cast<std::size_t>(width);
    switch (layout) {
    case DirectLayout::kWords:
    case DirectLayout::kPackedWords:
        for (std::size_t x = 0; x < w; ++x) {
            const unsigned v = row[2 * x] << 8 | row[2 * x + 1];
            out[x] = qRgb(Widen5(v >> 10), Widen5(v >> 5), Widen5(v));
        }
        break;
    case DirectLayout::kLongs:
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint8_t* p = row + 4 * x;
            out[x] = qRgba(p[1], p[2], p[3], alpha ? p[0] : 255);
        }
        break;
    case DirectLayout::kThreeBytes:
        for (std::size_t x = 0; x < w; ++x) out[x] = qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
        break;
    case DirectLayout::kPlanes: {
        const std::uint8_t* red = row + (alpha ? w : 0);
        for (std::size_t x = 0; x < w; ++x) out[x] = qRgba(red[x], red[w + x], red[2 * w + x], alpha ? row[x] : 255);
        break;
    }
    case DirectLayout::kRefused: break;
    }
}

// DirectBitsRect and DirectBitsRgn: 16-bit or 32-bit pixels, no colour table.
bool DrawDirect(Cursor& c, std::uint16_t op, Drawing& drawing) {
    c.Skip(4);  // baseAddr
    const PixMap pm = ReadPixMap(c);
    const Placement placement = ReadPlacement(c, pm.bounds, op & 1);
    const DirectLayout layout = LayoutOf(pm);
    if (c.Failed() || !pm.isPixMap || layout == DirectLayout::kRefused || !HasRowBytesFor(pm, pm.pixelSize))
        return false;
    const bool alpha = pm.pixelSize == 32 && pm.cmpCount == 4;
    const int width = pm.bounds.Width();
    return DrawRows(c, DirectRowFormat(pm, layout), placement, alpha, drawing,
                    [&](const std::uint8_t* row, QRgb* out) { ExpandDirect(layout, alpha, width, row, out); });
}

// ---- The picture --------------------------------------------------------------------

constexpr std::size_t kFileHeaderBytes = 512;
constexpr std::size_t kVersionOffset = 10;  // after picSize and picFrame
constexpr std::uint8_t kVersion2Start[] = {0x00, 0x11, 0x02, 0xFF, 0x0C, 0x00};

// Where the picture starts: after the file header, or at the very start.
std::optional<std::size_t> PictureStart(const std::uint8_t* data, std::size_t size) {
    for (const std::size_t start : {kFileHeaderBytes, std::size_t{0}}) {
        const std::size_t at = start + kVersionOffset;
        if (size >= at + sizeof kVersion2Start && std::memcmp(data + at, kVersion2Start, sizeof kVersion2Start) == 0)
            return start;
    }
    return std::nullopt;
}

bool DrawOpcode(Cursor& c, std::uint16_t op, Drawing& drawing) {
    switch (op) {
    case 0x0090:
    case 0x0091:
    case 0x0098:
    case 0x0099: return DrawIndexed(c, op, drawing);
    case 0x009A:
    case 0x009B: return DrawDirect(c, op, drawing);
    default: return SkipOpcode(c, op);
    }
}

}  // namespace

std::optional<QImage> DecodePict(const std::uint8_t* data, std::size_t size) {
    constexpr std::uint16_t kEndOfPicture = 0x00FF;
    const std::optional<std::size_t> start = data ? PictureStart(data, size) : std::nullopt;
    if (!start) return std::nullopt;
    Cursor c(data + *start, size - *start);
    c.Skip(2);  // picSize: only its low 16 bits, not to be trusted
    Drawing drawing{ReadRect(c), {}};
    if (!IsAcceptableSize(drawing.frame)) return std::nullopt;
    drawing.budget = std::int64_t{kMaxPictPaints} * drawing.frame.Width() * drawing.frame.Height();
    for (;;) {
        c.AlignToWord();
        const std::uint16_t op = c.U16();
        if (c.Failed()) return std::nullopt;
        // A picture without raster data has nothing to show, not a white box.
        if (op == kEndOfPicture)
            return drawing.image.isNull() ? std::nullopt : std::optional<QImage>(std::move(drawing.image));
        if (!DrawOpcode(c, op, drawing) || c.Failed()) return std::nullopt;
    }
}

}  // namespace fw::detail
