// Draws the star pictures AR1, AR2, AR3 and Blank as QuickDraw PICT version 2 files.
// Usage: make_pictures FOLDER
//
// Each picture is 7 × 7 pixels, drawn 3 pixels up and left of a star's position so
// that its centre pixel lands on the star. A star is a round disc in the star's path
// colour with a lighter core; the pixels outside the disc are the canvas's erase
// colour, and Blank is nothing but that colour, so drawing it erases a star.
//
// The file is a 512-byte zero header, then the picture: picSize, picFrame, the version
// and extended header opcodes, one DirectBitsRect of 32-bit pixels stored as packed
// R, G and B planes (packType 4), and the end opcode. The output depends on nothing
// but this file, so the committed pictures can be checked against a fresh run.
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 7;
constexpr int kCentre = 3;
// Squared distances from the centre pixel: the disc is the round 7-pixel blob with
// its four 3-pixel corners cut off, the core a plus of five pixels.
constexpr int kDiscRadius2 = 10;
constexpr int kCoreRadius2 = 1;

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr Rgb kEraseColour{193, 219, 211};  // C1 DB D3

// Halfway to white.
constexpr Rgb Lighter(Rgb c) {
    return {static_cast<std::uint8_t>(c.r + (255 - c.r) / 2), static_cast<std::uint8_t>(c.g + (255 - c.g) / 2),
            static_cast<std::uint8_t>(c.b + (255 - c.b) / 2)};
}

using Pixels = std::array<std::array<Rgb, kSide>, kSide>;  // [y][x]

Pixels Star(Rgb colour) {
    Pixels p{};
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int d2 = (x - kCentre) * (x - kCentre) + (y - kCentre) * (y - kCentre);
            p[y][x] = d2 <= kCoreRadius2 ? Lighter(colour) : d2 <= kDiscRadius2 ? colour : kEraseColour;
        }
    return p;
}

Pixels Blank() {
    Pixels p{};
    for (auto& row : p) row.fill(kEraseColour);
    return p;
}

class Writer {
public:
    void U8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void U16(unsigned v) {
        U8(v >> 8);
        U8(v);
    }
    void U32(std::uint32_t v) {
        U16(v >> 16);
        U16(v & 0xFFFF);
    }
    void Zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    // top, left, bottom, right
    void Rect(int top, int left, int bottom, int right) {
        U16(static_cast<unsigned>(top));
        U16(static_cast<unsigned>(left));
        U16(static_cast<unsigned>(bottom));
        U16(static_cast<unsigned>(right));
    }
    void Append(const std::vector<std::uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    void AlignToWord() {
        if (bytes_.size() % 2 != 0) U8(0);
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// PackBits: runs of three or more equal bytes repeat, everything else is literal.
std::vector<std::uint8_t> PackBits(const std::vector<std::uint8_t>& in) {
    constexpr std::size_t kMaxRun = 128;
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t run = 1;
        while (i + run < in.size() && run < kMaxRun && in[i + run] == in[i]) ++run;
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(257 - run));
            out.push_back(in[i]);
            i += run;
            continue;
        }
        std::size_t end = i;
        while (end < in.size() && end - i < kMaxRun &&
               !(end + 2 < in.size() && in[end] == in[end + 1] && in[end] == in[end + 2]))
            ++end;
        out.push_back(static_cast<std::uint8_t>(end - i - 1));
        out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(i), in.begin() + static_cast<std::ptrdiff_t>(end));
        i = end;
    }
    return out;
}

constexpr std::uint32_t kFixed72 = 72u << 16;  // 72 dpi as 16.16

void WriteHeader(Writer& w) {
    w.U16(0x0011);  // version 2
    w.U16(0x02FF);
    w.U16(0x0C00);  // extended version 2 header
    w.U16(0xFFFE);
    w.U16(0);
    w.U32(kFixed72);
    w.U32(kFixed72);
    w.Rect(0, 0, kSide, kSide);
    w.U32(0);
}

// DirectBitsRect, 32-bit, packType 4: each row is its R, G and B planes packed together.
void WriteDirectBits(Writer& w, const Pixels& pixels) {
    constexpr unsigned kRowBytes = 4 * kSide;
    w.U16(0x009A);
    w.U32(0x000000FF);  // baseAddr
    w.U16(0x8000 | kRowBytes);
    w.Rect(0, 0, kSide, kSide);  // bounds
    w.U16(0);                    // pmVersion
    w.U16(4);                    // packType
    w.U32(0);                    // packSize
    w.U32(kFixed72);             // hRes
    w.U32(kFixed72);             // vRes
    w.U16(16);                   // pixelType: RGBDirect
    w.U16(32);                   // pixelSize
    w.U16(3);                    // cmpCount
    w.U16(8);                    // cmpSize
    w.U32(0);                    // planeBytes
    w.U32(0);                    // pmTable
    w.U32(0);                    // pmReserved
    w.Rect(0, 0, kSide, kSide);  // srcRect
    w.Rect(0, 0, kSide, kSide);  // dstRect
    w.U16(0);                    // mode: srcCopy
    for (const auto& row : pixels) {
        std::vector<std::uint8_t> planes;
        for (const Rgb& p : row) planes.push_back(p.r);
        for (const Rgb& p : row) planes.push_back(p.g);
        for (const Rgb& p : row) planes.push_back(p.b);
        const std::vector<std::uint8_t> packed = PackBits(planes);
        w.U8(static_cast<unsigned>(packed.size()));  // rowBytes ≤ 250: a one-byte count
        w.Append(packed);
    }
}

std::vector<std::uint8_t> Picture(const Pixels& pixels) {
    constexpr std::size_t kFileHeaderBytes = 512;
    constexpr std::size_t kPicSizeAt = kFileHeaderBytes;
    Writer w;
    w.Zeros(kFileHeaderBytes);
    w.U16(0);  // picSize, filled in below
    w.Rect(0, 0, kSide, kSide);
    WriteHeader(w);
    WriteDirectBits(w, pixels);
    w.AlignToWord();
    w.U16(0x00FF);
    std::vector<std::uint8_t>& bytes = w.Bytes();
    const std::size_t picSize = bytes.size() - kFileHeaderBytes;
    bytes[kPicSizeAt] = static_cast<std::uint8_t>(picSize >> 8);
    bytes[kPicSizeAt + 1] = static_cast<std::uint8_t>(picSize);
    return bytes;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const struct {
        const char* name;
        Pixels pixels;
    } pictures[] = {
        {"AR1.PICT", Star({0, 0, 255})},
        {"AR2.PICT", Star({0, 150, 0})},
        {"AR3.PICT", Star({255, 0, 0})},
        {"Blank.PICT", Blank()},
    };
    for (const auto& picture : pictures) {
        if (!WriteFile(folder / picture.name, Picture(picture.pixels))) {
            std::fprintf(stderr, "make_pictures: cannot write %s\n", (folder / picture.name).c_str());
            return 1;
        }
    }
    return 0;
}
