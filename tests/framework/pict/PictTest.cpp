// The PICT reader: pictures from independent encoders, hand-made pictures for the
// forms those encoders never write, refusals, damaged files, the star pictures, and
// the reader behind FolderItem::OpenAsPicture.
//
// Suite names start with "pict" so that `ctest -R pict` selects them.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Pict.h"

namespace {

using fw::detail::DecodePict;
using ByteVector = std::vector<std::uint8_t>;

const std::string kFixtures = PICT_FIXTURES_DIR;
const std::string kResources = PICT_RESOURCES_DIR;

// The file's bytes; none when it cannot be read.
ByteVector ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<QImage> Decode(const ByteVector& bytes) { return DecodePict(bytes.data(), bytes.size()); }

// ---- Comparing pixels against a grid of legend characters ---------------------------

using Legend = std::map<char, QRgb>;

const Legend kLegend = {
    {'.', qRgb(255, 255, 255)}, {'#', qRgb(0, 0, 0)},       {'r', qRgb(255, 0, 0)},
    {'g', qRgb(0, 255, 0)},     {'b', qRgb(0, 0, 255)},     {'y', qRgb(255, 255, 0)},
    {'c', qRgb(0, 255, 255)},   {'m', qRgb(255, 0, 255)},   {'h', qRgb(132, 132, 132)},
    {'R', qRgba(255, 0, 0, 128)}, {'z', qRgba(0, 0, 255, 0)},
};

std::string Render(const QImage& image, const Legend& legend) {
    std::string out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            char c = '?';
            for (const auto& [key, rgb] : legend)
                if (image.pixel(x, y) == rgb) c = key;
            out += c;
        }
        out += '\n';
    }
    return out;
}

std::string Join(const std::vector<std::string>& rows) {
    std::string out;
    for (const std::string& row : rows) out += row + '\n';
    return out;
}

// Prints the picture against the expected grid when they differ.
void ExpectPixels(const std::optional<QImage>& image, const std::vector<std::string>& rows,
                  const Legend& legend = kLegend) {
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->height(), static_cast<int>(rows.size()));
    ASSERT_EQ(image->width(), static_cast<int>(rows[0].size()));
    EXPECT_EQ(Render(*image, legend), Join(rows));
}

// Every pixel, alpha included, where a differs from b (at most a few).
std::string Differences(const QImage& a, const QImage& b) {
    std::ostringstream out;
    int shown = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && shown++ < 5)
                out << "(" << x << "," << y << "): " << std::hex << a.pixel(x, y) << " != " << b.pixel(x, y)
                    << std::dec << "\n";
    return out.str();
}

// ---- Building pictures by hand ------------------------------------------------------

struct Box {
    int top, left, bottom, right;
};

Box Sized(int width, int height) { return {0, 0, height, width}; }

// Big-endian bytes of a hand-made picture.
class Bytes {
public:
    Bytes() = default;
    Bytes(std::initializer_list<unsigned> bytes) {
        for (unsigned b : bytes) U8(b);
    }
    Bytes& U8(unsigned v) {
        v_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Bytes& U16(unsigned v) { return U8(v >> 8).U8(v); }
    Bytes& U32(std::uint32_t v) { return U16(v >> 16).U16(v & 0xFFFF); }
    Bytes& Rect(const Box& b) {
        return U16(static_cast<unsigned>(b.top)).U16(static_cast<unsigned>(b.left))
            .U16(static_cast<unsigned>(b.bottom)).U16(static_cast<unsigned>(b.right));
    }
    Bytes& Add(const Bytes& more) {
        v_.insert(v_.end(), more.v_.begin(), more.v_.end());
        return *this;
    }
    Bytes& Repeat(std::size_t n, unsigned v) {
        v_.insert(v_.end(), n, static_cast<std::uint8_t>(v));
        return *this;
    }
    // Pictures put every body at an even offset, so the body's parity is the file's.
    Bytes& Align() { return v_.size() % 2 ? U8(0) : *this; }
    std::size_t Size() const { return v_.size(); }
    const ByteVector& Vector() const { return v_; }

private:
    ByteVector v_;
};

constexpr std::uint32_t kFixed72 = 72u << 16;

std::uint32_t Fixed(int v) { return static_cast<std::uint32_t>(v) << 16; }

// A version 2 picture: the zero file header (unless told otherwise), picSize, the
// frame, the version and header opcodes, the body and the end opcode.
ByteVector Picture(Box frame, const Bytes& body, bool fileHeader = true) {
    Bytes b;
    if (fileHeader) b.Repeat(512, 0);
    b.U16(0).Rect(frame).U16(0x0011).U16(0x02FF).U16(0x0C00).U32(0xFFFFFFFF);
    b.U32(Fixed(frame.left)).U32(Fixed(frame.top)).U32(Fixed(frame.right)).U32(Fixed(frame.bottom)).U32(0);
    b.Add(body).Align().U16(0x00FF);
    return b.Vector();
}

struct PixMapSpec {
    int rowBytes;
    Box bounds;
    int pixelSize = 8;
    int packType = 0;
    int cmpCount = 1;
};

// rowBytes with the PixMap flag, then the PixMap's 44 bytes.
Bytes PixMap(const PixMapSpec& s) {
    const bool direct = s.pixelSize >= 16;
    Bytes b;
    b.U16(0x8000 | static_cast<unsigned>(s.rowBytes)).Rect(s.bounds).U16(0).U16(static_cast<unsigned>(s.packType));
    b.U32(0).U32(kFixed72).U32(kFixed72).U16(direct ? 16 : 0).U16(static_cast<unsigned>(s.pixelSize));
    b.U16(static_cast<unsigned>(s.cmpCount)).U16(direct ? (s.pixelSize == 16 ? 5 : 8) : s.pixelSize);
    return b.U32(0).U32(0).U32(0);
}

// Entries {value, colour}; kByPosition makes each entry's index its position.
constexpr unsigned kByPosition = 0x8000;
Bytes ColorTable(std::initializer_list<std::pair<unsigned, QRgb>> entries, unsigned flags = 0) {
    Bytes b;
    b.U32(0).U16(flags).U16(static_cast<unsigned>(entries.size() - 1));
    for (const auto& [value, rgb] : entries)
        b.U16(value).U16(qRed(rgb) * 257u).U16(qGreen(rgb) * 257u).U16(qBlue(rgb) * 257u);
    return b;
}

Bytes Placement(Box src, Box dst) { return Bytes().Rect(src).Rect(dst).U16(0); }
Bytes RectRegion(Box b) { return Bytes().U16(10).Rect(b); }

// An indexed raster opcode whose srcRect is its bounds.
Bytes Indexed(unsigned op, const PixMapSpec& s, const Bytes& table, Box dst, const Bytes& data) {
    Bytes b;
    b.U16(op).Add(PixMap(s)).Add(table).Add(Placement(s.bounds, dst));
    if (op & 1) b.Add(RectRegion(dst));
    return b.Add(data);
}

// A direct raster opcode from src of its bounds onto dst.
Bytes Direct(unsigned op, const PixMapSpec& s, Box src, Box dst, const Bytes& data) {
    Bytes b;
    b.U16(op).U32(0xFF).Add(PixMap(s)).Add(Placement(src, dst));
    if (op & 1) b.Add(Bytes().U16(14).Rect(dst).U32(0x00010002));  // a region that is not a plain rectangle
    return b.Add(data);
}

// PackBits pieces: n items repeated, or items as they are.
Bytes Rep(int n, const Bytes& item) { return Bytes().U8(257u - static_cast<unsigned>(n)).Add(item); }
Bytes Lit(const Bytes& items, std::size_t itemSize = 1) {
    return Bytes().U8(static_cast<unsigned>(items.Size() / itemSize - 1)).Add(items);
}
// A packed row: its byte count, a u16 when rowBytes > 250, then the PackBits bytes.
Bytes Row(const Bytes& packBits, bool wideCount = false) {
    Bytes b;
    if (wideCount) b.U16(static_cast<unsigned>(packBits.Size()));
    else b.U8(static_cast<unsigned>(packBits.Size()));
    return b.Add(packBits);
}

// An unpacked 32-bit pixel: pad byte, R, G, B.
Bytes Xrgb(QRgb c) { return {0, static_cast<unsigned>(qRed(c)), static_cast<unsigned>(qGreen(c)), static_cast<unsigned>(qBlue(c))}; }
Bytes XrgbRow(const std::string& row) {
    Bytes b;
    for (char c : row) b.Add(Xrgb(kLegend.at(c)));
    return b;
}

// ---- Hand-made pictures that decode ---------------------------------------------------

struct HandMade {
    std::string name;
    ByteVector file;
    std::vector<std::string> expected;
};

void PrintTo(const HandMade& c, std::ostream* os) { *os << c.name; }

const QRgb kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0), kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0),
           kBlue = qRgb(0, 0, 255), kYellow = qRgb(255, 255, 0), kCyan = qRgb(0, 255, 255);

std::vector<HandMade> IndexedCases() {
    std::vector<HandMade> cases;
    // BitsRect rows are never packed, even at rowBytes ≥ 8.
    cases.push_back({"BitMapBitsRect", Picture(Sized(10, 2), Bytes().U16(0x0090).U16(8).Rect(Sized(10, 2))
                                                               .Add(Placement(Sized(10, 2), Sized(10, 2)))
                                                               .Add(Bytes{0xB0, 0x40}.Repeat(6, 0x55))
                                                               .Add(Bytes{0xFF, 0xC0}.Repeat(6, 0xAA))),
                     {"#.##.....#", "##########"}});
    // PackBitsRect with rowBytes < 8: stored unpacked.
    cases.push_back({"BitMapShortRowBytes", Picture(Sized(12, 2), Bytes().U16(0x0098).U16(2).Rect(Sized(12, 2))
                                                                    .Add(Placement(Sized(12, 2), Sized(12, 2)))
                                                                    .Add(Bytes{0xF0, 0xF0, 0x0F, 0x00})),
                     {"####....####", "....####...."}});
    // rowBytes 8 beyond the 2 bytes the width needs; entries listed out of value order.
    cases.push_back({"TwoBitPaddedRows",
                     Picture(Sized(5, 2), Indexed(0x0098, {8, Sized(5, 2), 2},
                                                  ColorTable({{3, kBlue}, {0, kWhite}, {2, kGreen}, {1, kRed}}),
                                                  Sized(5, 2),
                                                  Bytes().Add(Row(Lit({0x1B, 0x40}).Add(Rep(6, {0}))))
                                                      .Add(Row(Lit({0xFF}).Add(Rep(7, {0})))))),
                     {".rgbr", "bbbb."}});
    // ctFlags 0x8000: the values are meaningless, the positions are the indices.
    cases.push_back({"FourBitRgnByPosition",
                     Picture(Sized(6, 2), Indexed(0x0099, {8, Sized(6, 2), 4},
                                                  ColorTable({{0x1234, kBlack}, {0x1234, kYellow}, {0x0000, kCyan}},
                                                             kByPosition),
                                                  Sized(6, 2),
                                                  Bytes().Add(Row(Lit({0x12, 0x01, 0x20}).Add(Rep(5, {0}))))
                                                      .Add(Row(Rep(3, {0x22}).Add(Rep(5, {0})))))),
                     {"yc#yc#", "cccccc"}});
    // Nine bytes of unpacked rows: a pad byte before the comment that follows.
    cases.push_back({"EightBitBitsRgnOddData",
                     Picture(Sized(3, 3), Indexed(0x0091, {3, Sized(3, 3), 8},
                                                  ColorTable({{0, kRed}, {1, kGreen}, {2, kBlue}}), Sized(3, 3),
                                                  Bytes{0, 1, 2, 2, 1, 0, 1, 1, 1})
                                              .Align().U16(0x00A0).U16(7)),
                     {"rgb", "bgr", "ggg"}});
    return cases;
}

// 8-bit rows of `width` pixels, red then green, packed in runs of 128 at most.
HandMade ByteCountCase(int width) {
    const bool wide = width > 250;
    const int reds = width / 2;
    Bytes runs;
    for (const auto& [value, count] : {std::pair{1u, reds}, std::pair{2u, width - reds}})
        for (int left = count; left > 0; left -= 128) runs.Add(Rep(std::min(left, 128), {value}));
    const std::string expected = std::string(static_cast<std::size_t>(reds), 'r') +
                                 std::string(static_cast<std::size_t>(width - reds), 'g');
    return {"ByteCountAtRowBytes" + std::to_string(width),
            Picture(Sized(width, 2), Indexed(0x0098, {width, Sized(width, 2), 8},
                                             ColorTable({{0, kWhite}, {1, kRed}, {2, kGreen}}), Sized(width, 2),
                                             Bytes().Add(Row(runs, wide)).Add(Row(runs, wide)))),
            {expected, expected}};
}

std::vector<HandMade> DirectCases() {
    std::vector<HandMade> cases;
    // packType 0 means 3 for 16-bit: PackBits over words; 5-bit channels widen to 8 bits.
    cases.push_back({"SixteenBitPackedWords",
                     Picture(Sized(4, 2), Direct(0x009A, {8, Sized(4, 2), 16, 0, 3}, Sized(4, 2), Sized(4, 2),
                                                 Bytes()
                                                     .Add(Row(Lit(Bytes().U16(0x7C00).U16(0x03E0).U16(0x001F).U16(0x4210), 2)))
                                                     .Add(Row(Rep(4, Bytes().U16(0x7FFF)))))),
                     {"rgbh", "...."}});
    cases.push_back({"SixteenBitUnpacked",
                     Picture(Sized(4, 1), Direct(0x009A, {8, Sized(4, 1), 16, 1, 3}, Sized(4, 1), Sized(4, 1),
                                                 Bytes().U16(0x0000).U16(0x7FFF).U16(0x7C1F).U16(0x03FF))),
                     {"#.mc"}});
    // rowBytes 4 < 8: unpacked whatever packType says.
    cases.push_back({"SixteenBitShortRowBytes",
                     Picture(Sized(2, 2), Direct(0x009A, {4, Sized(2, 2), 16, 0, 3}, Sized(2, 2), Sized(2, 2),
                                                 Bytes().U16(0x001F).U16(0x7C00).U16(0x03E0).U16(0x0000))),
                     {"br", "g#"}});
    cases.push_back({"ThirtyTwoBitUnpacked",
                     Picture(Sized(2, 2), Direct(0x009A, {8, Sized(2, 2), 32, 1, 3}, Sized(2, 2), Sized(2, 2),
                                                 XrgbRow("rg").Add(XrgbRow("by")))),
                     {"rg", "by"}});
    cases.push_back({"ThirtyTwoBitWithoutPadByte",
                     Picture(Sized(3, 1), Direct(0x009A, {12, Sized(3, 1), 32, 2, 3}, Sized(3, 1), Sized(3, 1),
                                                 Bytes{0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF})),
                     {"rg."}});
    // One pixel wide: rowBytes 4, so unpacked although packType says planes.
    cases.push_back({"ThirtyTwoBitOnePixelWide",
                     Picture(Sized(1, 3), Direct(0x009A, {4, Sized(1, 3), 32, 4, 3}, Sized(1, 3), Sized(1, 3),
                                                 XrgbRow("m").Add(XrgbRow("c")).Add(XrgbRow("#")))),
                     {"m", "c", "#"}});
    // packType 0 means 4 for 32-bit: planes of `width` bytes, not rowBytes / 3.
    cases.push_back({"ThirtyTwoBitDefaultPlanes",
                     Picture(Sized(2, 1), Direct(0x009A, {8, Sized(2, 1), 32, 0, 3}, Sized(2, 1), Sized(2, 1),
                                                 Row(Lit({0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF})))),
                     {"yb"}});
    return cases;
}

std::vector<HandMade> PlacementCases() {
    std::vector<HandMade> cases;
    const PixMapSpec twoByTwo{8, Sized(2, 2), 32, 1, 3};
    const PixMapSpec threeByThree{12, Sized(3, 3), 32, 1, 3};
    cases.push_back({"DstInsideFrameLeavesTheRestWhite",
                     Picture(Sized(5, 4), Direct(0x009A, twoByTwo, Sized(2, 2), {1, 2, 3, 4},
                                                 XrgbRow("rg").Add(XrgbRow("by")))),
                     {".....", "..rg.", "..by.", "....."}});
    cases.push_back({"SrcIsPartOfTheBounds",
                     Picture(Sized(2, 2), Direct(0x009A, threeByThree, {1, 1, 3, 3}, Sized(2, 2),
                                                 XrgbRow("rgb").Add(XrgbRow("ymc")).Add(XrgbRow("#.g")))),
                     {"mc", ".g"}});
    cases.push_back({"BoundsAndFrameAwayFromTheOrigin",
                     Picture({100, 50, 102, 53}, Direct(0x009A, {12, {10, 20, 12, 23}, 32, 1, 3}, {10, 20, 12, 23},
                                                        {100, 50, 102, 53}, XrgbRow("rgb").Add(XrgbRow("ymc")))),
                     {"rgb", "ymc"}});
    cases.push_back({"DstClippedToTheFrame",
                     Picture(Sized(2, 2), Direct(0x009A, threeByThree, Sized(3, 3), {-1, -1, 2, 2},
                                                 XrgbRow("rgb").Add(XrgbRow("ymc")).Add(XrgbRow("#.r")))),
                     {"mc", ".r"}});
    cases.push_back({"LaterRasterDrawsOver",
                     Picture(Sized(3, 1), Direct(0x009A, {12, Sized(3, 1), 32, 1, 3}, Sized(3, 1), Sized(3, 1),
                                                 XrgbRow("rrr"))
                                              .Add(Direct(0x009A, {4, Sized(1, 1), 32, 1, 3}, Sized(1, 1),
                                                          {0, 1, 1, 2}, XrgbRow("b")))),
                     {"rbr"}});
    cases.push_back({"NoFileHeader",
                     Picture(Sized(2, 1), Direct(0x009A, {8, Sized(2, 1), 32, 1, 3}, Sized(2, 1), Sized(2, 1),
                                                 XrgbRow("gm")),
                             false),
                     {"gm"}});
    return cases;
}

// Opcodes the reader skips, most with odd-length data and so a pad byte after them.
Bytes SkippedOpcodes() {
    Bytes b;
    b.U16(0x001E);                                              // DefHilite: no data
    b.U16(0x0001).Add(RectRegion(Sized(3, 1)));                 // clip
    b.Align().U16(0x00A1).U16(100).U16(3).Add({1, 2, 3});       // LongComment, 3 bytes
    b.Align().U16(0x0028).U32(0).U8(2).Add({'h', 'i'});         // LongText
    b.Align().U16(0x0029).U8(5).U8(1).U8('x');                  // DHText
    b.Align().U16(0x002B).U16(0x0505).U8(0);                    // DHDVText, empty
    b.Align().U16(0x00A0).U16(4);                               // ShortComment
    b.Align().U16(0x0070).U16(14).Rect(Sized(3, 1)).U32(0);     // framePoly
    b.Align().U16(0x0004).U8(1);                                // txFace
    b.Align().U16(0x0022).U32(0).U16(0);                        // ShortLine
    b.Align().U16(0x002C).U16(5).Add({4, 'S', 'a', 'n', 's'});  // fontName
    b.Align().U16(0x0200).U32(0xFFFFFFFF);                      // reserved: 2 × 2 bytes
    b.Align().U16(0x00D0).U32(3).Add({0x00, 0xFF, 0x00});       // reserved: a u32 length
    b.Align().U16(0x8000);                                      // reserved: no data
    b.Align().U16(0x8100).U32(1).U8(0xFF);                      // reserved: a u32 length
    b.Align().U16(0x0092).U16(1).U8(0x90);                      // reserved: a u16 length
    return b.Align();
}

std::vector<HandMade> SkipCases() {
    const Bytes raster = Direct(0x009A, {12, Sized(3, 1), 32, 1, 3}, Sized(3, 1), Sized(3, 1), XrgbRow("rgb"));
    return {{"SkippedOpcodesWithPadBytes",
             Picture(Sized(3, 1), SkippedOpcodes().Add(raster).Add(SkippedOpcodes())), {"rgb"}}};
}

std::vector<HandMade> AllHandMade() {
    std::vector<HandMade> all;
    for (auto cases : {IndexedCases(), DirectCases(), PlacementCases(), SkipCases()})
        all.insert(all.end(), cases.begin(), cases.end());
    for (int width : {250, 251, 300}) all.push_back(ByteCountCase(width));
    return all;
}

class pictHandMade : public ::testing::TestWithParam<HandMade> {};

TEST_P(pictHandMade, DecodesToTheIntendedPixels) {
    const std::optional<QImage> image = Decode(GetParam().file);
    ExpectPixels(image, GetParam().expected);
    EXPECT_EQ(image.value_or(QImage()).format(), QImage::Format_RGB32);
}

INSTANTIATE_TEST_SUITE_P(Cases, pictHandMade, ::testing::ValuesIn(AllHandMade()),
                         [](const auto& info) { return info.param.name; });

// cmpCount 4: the alpha plane comes first, and the picture keeps its alpha.
TEST(pictAlpha, AlphaPlaneGivesAnArgbPicture) {
    const Bytes row0 = Lit({0xFF, 0x80, 0x00, /* R */ 0xFF, 0xFF, 0x00, /* G */ 0, 0, 0, /* B */ 0, 0, 0xFF});
    const Bytes row1 = Rep(3, {0xFF}).Add(Rep(3, {0})).Add(Rep(3, {0xFF})).Add(Rep(3, {0}));
    const std::optional<QImage> image =
        Decode(Picture(Sized(3, 2), Direct(0x009B, {12, Sized(3, 2), 32, 4, 4}, Sized(3, 2), Sized(3, 2),
                                           Row(row0).Add(Row(row1)))));
    ExpectPixels(image, {"rRz", "ggg"});
    EXPECT_EQ(image.value_or(QImage()).format(), QImage::Format_ARGB32);
}

// ---- Refusals -------------------------------------------------------------------------

struct Refused {
    std::string name;
    ByteVector file;
};

void PrintTo(const Refused& c, std::ostream* os) { *os << c.name; }

// A valid 8-bit raster of width × 1 whose single row is `row` (count byte included).
Bytes EightBitRow(int rowBytes, int width, const Bytes& row) {
    return Indexed(0x0098, {rowBytes, Sized(width, 1), 8}, ColorTable({{0, kRed}}), Sized(width, 1), row);
}

std::vector<Refused> RefusedCases() {
    const Bytes good = Direct(0x009A, {4, Sized(1, 1), 32, 1, 3}, Sized(1, 1), Sized(1, 1), XrgbRow("r"));
    ByteVector versionOne(512, 0);
    for (unsigned b : {0x00u, 0x20u, 0u, 0u, 0u, 0u, 0u, 1u, 0u, 1u, 0x11u, 0x01u, 0xA0u, 0u, 0u, 0xFFu})
        versionOne.push_back(static_cast<std::uint8_t>(b));
    return {
        {"PixelPatternBkPixPat", Picture(Sized(1, 1), Bytes().U16(0x0012).Add(Bytes().Repeat(20, 0)).Add(good))},
        {"PixelPatternPnPixPat", Picture(Sized(1, 1), Bytes().U16(0x0013).Add(Bytes().Repeat(20, 0)).Add(good))},
        {"PixelPatternFillPixPat", Picture(Sized(1, 1), Bytes().U16(0x0014).Add(Bytes().Repeat(20, 0)).Add(good))},
        {"VersionOne", versionOne},
        {"EmptyFrame", Picture({5, 5, 5, 9}, good)},
        {"BoundsTallerThanTheCap",
         Picture(Sized(1, 1), Direct(0x009A, {4, Sized(1, fw::detail::kMaxPictSide + 1), 32, 1, 3}, Sized(1, 1),
                                     Sized(1, 1), XrgbRow("r")))},
        {"RegionSmallerThanItsBox", Picture(Sized(1, 1), Bytes().U16(0x0001).U16(8).Rect(Sized(1, 1)).Add(good))},
        {"RowBytesTooFewForTheWidth", Picture(Sized(9, 1), EightBitRow(8, 9, Row(Rep(8, {0}))))},
        {"RunPastTheRow", Picture(Sized(8, 1), EightBitRow(8, 8, Row(Rep(9, {0}))))},
        {"RowComesOutShort", Picture(Sized(8, 1), EightBitRow(8, 8, Row(Rep(7, {0}))))},
        {"LiteralPastTheByteCount", Picture(Sized(8, 1), EightBitRow(8, 8, Bytes{2, 7, 0, 0}.Repeat(6, 0)))},
        {"DirectEightBit", Picture(Sized(1, 1), Direct(0x009A, {4, Sized(1, 1), 8, 1, 1}, Sized(1, 1), Sized(1, 1),
                                                      XrgbRow("r")))},
        {"ThirtyTwoBitPackedWords", Picture(Sized(2, 1), Direct(0x009A, {8, Sized(2, 1), 32, 3, 3}, Sized(2, 1),
                                                               Sized(2, 1), Row(Rep(4, {0, 0}))))},
        {"NoEndOpcode", [&] {
             ByteVector v = Picture(Sized(1, 1), good);
             v.resize(v.size() - 2);
             return v;
         }()},
        {"NotAPicture", ReadBytes(kFixtures + "/truecoloralpha-8x3.png")},
    };
}

class pictRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(pictRefused, GivesNothing) { EXPECT_FALSE(Decode(GetParam().file).has_value()); }

INSTANTIATE_TEST_SUITE_P(Cases, pictRefused, ::testing::ValuesIn(RefusedCases()),
                         [](const auto& info) { return info.param.name; });

TEST(pictRefused, NoBytesGiveNothing) {
    EXPECT_FALSE(DecodePict(nullptr, 0).has_value());
    const std::uint8_t one = 0;
    EXPECT_FALSE(DecodePict(&one, 1).has_value());
}

// ---- Limits ------------------------------------------------------------------------------

constexpr int kCap = fw::detail::kMaxPictSide;
constexpr int kPaints = fw::detail::kMaxPictPaints;

// A case decodes to `expected`, or is refused when that is empty.
struct Limit {
    std::string name;
    ByteVector file;
    std::vector<std::string> expected;
};

void PrintTo(const Limit& c, std::ostream* os) { *os << c.name; }

const Bytes kRedPixel = Direct(0x009A, {4, Sized(1, 1), 32, 1, 3}, Sized(1, 1), Sized(1, 1), XrgbRow("r"));

// `n` copies of a 2 × 2 raster over the whole 2 × 2 frame: 4 pixels each.
Bytes Repaints(int n) {
    Bytes b;
    for (int k = 0; k < n; ++k)
        b.Add(Direct(0x009A, {8, Sized(2, 2), 32, 1, 3}, Sized(2, 2), Sized(2, 2), XrgbRow("rg").Add(XrgbRow("by"))));
    return b;
}

// A red 8-bit raster of `width` × `height`, one byte a pixel unpacked, onto a 1 × 1
// frame, whose budget is kPaints pixels.
ByteVector RedBounds(int width, int height) {
    const auto pixels = static_cast<std::size_t>(width * height);
    return Picture(Sized(1, 1), Indexed(0x0090, {width, Sized(width, height), 8}, ColorTable({{0, kRed}}),
                                        Sized(width, height), Bytes().Repeat(pixels, 0)));
}

// One 8-bit pixel in a row padded to rowBytes, which PackBits expands whole, on a 1 × 1 frame.
ByteVector PaddedPixel(int rowBytes) {
    return Picture(Sized(1, 1), EightBitRow(rowBytes, 1, Row(Rep(rowBytes, {0}))));
}

std::vector<std::string> RedCorner(int width, int height) {
    std::vector<std::string> rows(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(width), '.'));
    rows[0][0] = 'r';
    return rows;
}

std::vector<Limit> LimitCases() {
    const std::vector<std::string> repainted = {"rg", "by"};
    return {
        {"FrameAtTheCapWide", Picture(Sized(kCap, 1), kRedPixel), RedCorner(kCap, 1)},
        {"FrameAtTheCapTall", Picture(Sized(1, kCap), kRedPixel), RedCorner(1, kCap)},
        {"FrameOverTheCapWide", Picture(Sized(kCap + 1, 1), kRedPixel), {}},
        {"FrameOverTheCapTall", Picture(Sized(1, kCap + 1), kRedPixel), {}},
        // The budget is spent across raster opcodes.
        {"RepaintsWithinTheBudget", Picture(Sized(2, 2), Repaints(kPaints)), repainted},
        {"RepaintsOnePixelOverTheBudget", Picture(Sized(2, 2), Repaints(kPaints).Add(kRedPixel)), {}},
        // Every pixel of the bounds is expanded, also those that fall outside the frame.
        {"BoundsWiderThanTheFrameWithinTheBudget", RedBounds(kPaints, 1), {"r"}},
        {"BoundsWiderThanTheFrameOverTheBudget", RedBounds(kPaints + 1, 1), {}},
        {"RowsBelowTheFrameWithinTheBudget", RedBounds(1, kPaints), {"r"}},
        {"RowsBelowTheFrameOverTheBudget", RedBounds(1, kPaints + 1), {}},
        // Padding costs what it unpacks, at 4 bytes a pixel.
        {"PaddedRowsWithinTheBudget", PaddedPixel(4 * kPaints), {"r"}},
        {"PaddedRowsOverTheBudget", PaddedPixel(4 * kPaints + 1), {}},
        // Nothing to show: no white box.
        {"NoOpcodes", Picture(Sized(16, 16), Bytes()), {}},
        {"OnlyALine", Picture(Sized(16, 16), Bytes().U16(0x0020).U32(0x00010001).U32(0x000E000E)), {}},
    };
}

class pictLimits : public ::testing::TestWithParam<Limit> {};

TEST_P(pictLimits, DecodeWithinTheCapsAndAreRefusedBeyond) {
    const std::optional<QImage> image = Decode(GetParam().file);
    if (GetParam().expected.empty()) {
        EXPECT_FALSE(image.has_value());
    } else {
        ExpectPixels(image, GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, pictLimits, ::testing::ValuesIn(LimitCases()),
                         [](const auto& info) { return info.param.name; });

// ---- Pictures from independent encoders ----------------------------------------------

struct ToolFixture {
    std::string pict;    // in fixtures/
    std::string source;  // the image it was made from, which it must reproduce
};

void PrintTo(const ToolFixture& f, std::ostream* os) { *os << f.pict; }

const std::vector<ToolFixture> kToolFixtures = {
    {"ppmtopict-9x3.pict", "ppmtopict-9x3.ppm"},
    {"ppmtopict-260x2.pict", "ppmtopict-260x2.ppm"},
    {"palette-10x4.pict", "palette-10x4.ppm"},
    {"truecolor-10x4.pict", "truecolor-10x4.ppm"},
    {"truecolor-70x2.pict", "truecolor-70x2.ppm"},
    {"truecoloralpha-8x3.pict", "truecoloralpha-8x3.png"},
};

class pictTools : public ::testing::TestWithParam<ToolFixture> {};

TEST_P(pictTools, ReproducesTheSourceImage) {
    QImage source(QString::fromStdString(kFixtures + "/" + GetParam().source));
    ASSERT_FALSE(source.isNull());
    const bool alpha = source.hasAlphaChannel();
    source = source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const std::optional<QImage> image = Decode(ReadBytes(kFixtures + "/" + GetParam().pict));
    ASSERT_TRUE(image.has_value()) << GetParam().pict;
    ASSERT_EQ(image->size(), source.size());
    EXPECT_EQ(image->format(), source.format());
    EXPECT_EQ(Differences(*image, source), "");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, pictTools, ::testing::ValuesIn(kToolFixtures), [](const auto& info) {
    std::string name;
    for (char c : info.param.pict.substr(0, info.param.pict.find('.')))
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
});

// ---- Damaged files ----------------------------------------------------------------------

std::vector<std::string> RealFiles() {
    std::vector<std::string> files;
    for (const ToolFixture& f : kToolFixtures) files.push_back(kFixtures + "/" + f.pict);
    for (const char* name : {"AR1.PICT", "Blank.PICT"}) files.push_back(kResources + "/" + name);
    return files;
}

TEST(pictDamage, EveryTruncationGivesNothing) {
    for (const std::string& path : RealFiles()) {
        const ByteVector bytes = ReadBytes(path);
        ASSERT_FALSE(bytes.empty()) << path;
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            const ByteVector cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_FALSE(Decode(cut).has_value()) << path << " cut to " << n;
        }
    }
}

// Flips after the frame (file header, picSize and picFrame come first): each damaged
// file is refused or gives a picture of the undamaged frame's size.
TEST(pictDamage, ByteFlipsGiveNothingOrThePictureOfTheFrame) {
    constexpr std::size_t kAfterFrame = 512 + 10;
    std::mt19937 random(20240611);
    for (const std::string& path : RealFiles()) {
        const ByteVector bytes = ReadBytes(path);
        const QSize frame = Decode(bytes).value().size();
        std::uniform_int_distribution<std::size_t> at(kAfterFrame, bytes.size() - 1);
        std::uniform_int_distribution<int> value(0, 255), flips(1, 4);
        int refused = 0;
        for (int trial = 0; trial < 2000; ++trial) {
            ByteVector damaged = bytes;
            for (int k = flips(random); k > 0; --k) damaged[at(random)] = static_cast<std::uint8_t>(value(random));
            const std::optional<QImage> image = Decode(damaged);
            if (!image) ++refused;
            else EXPECT_EQ(image->size(), frame) << path << " trial " << trial;
        }
        EXPECT_GT(refused, 0) << path;  // the damage does reach the reader's checks
    }
}

// ---- The star pictures --------------------------------------------------------------------

const QRgb kEraseColour = qRgb(0xC1, 0xDB, 0xD3);

struct StarPicture {
    std::string file;
    QRgb colour;  // the star's path colour
    QRgb core;    // halfway to white
};

void PrintTo(const StarPicture& s, std::ostream* os) { *os << s.file; }

const std::vector<StarPicture> kStars = {
    {"AR1.PICT", qRgb(0, 0, 255), qRgb(127, 127, 255)},
    {"AR2.PICT", qRgb(0, 150, 0), qRgb(127, 202, 127)},
    {"AR3.PICT", qRgb(255, 0, 0), qRgb(255, 127, 127)},
};

const std::vector<std::string> kStarShape = {
    "__###__",
    "_#####_",
    "###o###",
    "##ooo##",
    "###o###",
    "_#####_",
    "__###__",
};

class pictStars : public ::testing::TestWithParam<StarPicture> {};

TEST_P(pictStars, RoundInThePathColourWithALighterCoreAndErasedCorners) {
    ExpectPixels(Decode(ReadBytes(kResources + "/" + GetParam().file)), kStarShape,
                 {{'_', kEraseColour}, {'#', GetParam().colour}, {'o', GetParam().core}});
}

INSTANTIATE_TEST_SUITE_P(Resources, pictStars, ::testing::ValuesIn(kStars), [](const auto& info) {
    return info.param.file.substr(0, 3);
});

TEST(pictResources, BlankIsAllTheEraseColour) {
    ExpectPixels(Decode(ReadBytes(kResources + "/Blank.PICT")), std::vector<std::string>(7, "_______"),
                 {{'_', kEraseColour}});
}

const std::vector<std::string> kResourceFiles = {"AR1.PICT", "AR2.PICT", "AR3.PICT", "Blank.PICT"};

// An independent decoder sees the same pixels in the committed pictures.
TEST(pictResources, ImageMagickReadsTheSamePixels) {
    const QString convert = "/usr/bin/convert";
    if (!QFile::exists(convert)) GTEST_SKIP() << "ImageMagick is not installed";
    for (const std::string& name : kResourceFiles) {
        const std::string path = kResources + "/" + name;
        QProcess process;
        process.start(convert, {QString::fromStdString("PICT:" + path), "PPM:-"});
        ASSERT_TRUE(process.waitForFinished(30000)) << name;
        ASSERT_EQ(process.exitCode(), 0) << name << process.readAllStandardError().toStdString();
        const QImage theirs = QImage::fromData(process.readAllStandardOutput(), "PPM").convertToFormat(QImage::Format_RGB32);
        const std::optional<QImage> ours = Decode(ReadBytes(path));
        ASSERT_TRUE(ours.has_value()) << name;
        ASSERT_EQ(theirs.size(), ours->size()) << name;
        EXPECT_EQ(Differences(*ours, theirs), "") << name;
    }
}

TEST(pictResources, GeneratorReproducesTheCommittedFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(QProcess::execute(PICT_MAKE_PICTURES, {dir.path()}), 0);
    for (const std::string& name : kResourceFiles) {
        const ByteVector made = ReadBytes(dir.path().toStdString() + "/" + name);
        EXPECT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == ReadBytes(kResources + "/" + name)) << name << " differs from a fresh run";
    }
}

// ---- Through the framework -----------------------------------------------------------------

TEST(pictFolderItem, OpensPictsRefusesBrokenOnesAndStillReadsOtherFormats) {
    const fw::Ref<fw::Picture> star = fw::FolderItem(kResources + "/AR1.PICT").OpenAsPicture();
    ASSERT_NE(star, nullptr);
    EXPECT_EQ(star->Width(), 7);
    EXPECT_EQ(star->Height(), 7);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string truncated = dir.path().toStdString() + "/truncated.PICT";
    ByteVector bytes = ReadBytes(kResources + "/AR1.PICT");
    bytes.resize(bytes.size() - 40);
    std::ofstream(truncated, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(fw::FolderItem(truncated).OpenAsPicture(), nullptr);

    const fw::Ref<fw::Picture> png = fw::FolderItem(kFixtures + "/truecoloralpha-8x3.png").OpenAsPicture();
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->Width(), 8);
    EXPECT_EQ(png->Height(), 3);
}

// Other formats are held to the PICT reader's size cap, and files to the size that
// the largest picture within the caps needs.
TEST(pictFolderItem, OtherFormatsAndFileSizesAreHeldToTheCaps) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    const struct {
        int width, height;
        bool opens;
    } pngs[] = {{kCap, 1, true}, {1, kCap, true}, {kCap + 1, 1, false}, {1, kCap + 1, false}};
    for (const auto& png : pngs) {
        const std::string path = folder + "/" + std::to_string(png.width) + "x" + std::to_string(png.height) + ".png";
        QImage image(png.width, png.height, QImage::Format_RGB32);
        image.fill(kRed);
        ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
        const fw::Ref<fw::Picture> picture = fw::FolderItem(path).OpenAsPicture();
        EXPECT_EQ(picture != nullptr, png.opens) << path;
        if (picture) {
            EXPECT_EQ(picture->Width(), png.width) << path;
        }
    }

    // A star picture with zeros after its end: the reader stops at the end opcode.
    const std::string padded = folder + "/padded.PICT";
    std::filesystem::copy_file(kResources + "/AR1.PICT", padded);
    for (const auto& [size, opens] : {std::pair{fw::detail::kMaxPictFileBytes, true},
                                      std::pair{fw::detail::kMaxPictFileBytes + 1, false}}) {
        std::filesystem::resize_file(padded, size);
        EXPECT_EQ(fw::FolderItem(padded).OpenAsPicture() != nullptr, opens) << size << " bytes";
    }
}

}  // namespace
