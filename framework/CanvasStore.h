// The backing image of a canvas, shared by the drawing threads and the widget.
//
// Drawing takes no lock: a run draws a dot every few steps, and a lock there slowed the
// whole step. Instead every pixel is read and written as a relaxed atomic word (a plain
// load or store on the machine), so the widget may copy the image while a thread draws;
// a frame copied half-drawn is completed by the next one. Only the image's shape (its
// buffer and size) is plain data: it is changed on the user-interface thread while that
// thread holds the gate, and read by code that holds the gate or runs on the
// user-interface thread, so a change never meets a drawing.
#pragma once

#include <QImage>
#include <atomic>
#include <cstdint>
#include <memory>

#include "ScreenUpdate.h"

namespace fw::detail {

struct CanvasStore {
    // Only its buffer is used, through `pixels`; never copied, so that the buffer stays its own.
    QImage image;
    std::uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;  // pixels per row
    // The widget repaints once a frame while the drawing changes.
    const std::shared_ptr<ScreenUpdate> screenUpdate = std::make_shared<ScreenUpdate>();

    static void Store(std::uint32_t& pixel, std::uint32_t value) {
        std::atomic_ref<std::uint32_t>(pixel).store(value, std::memory_order_relaxed);
    }
    static std::uint32_t Load(std::uint32_t& pixel) {
        return std::atomic_ref<std::uint32_t>(pixel).load(std::memory_order_relaxed);
    }
    std::uint32_t& At(int x, int y) const { return pixels[y * stride + x]; }

    // `rows` rows of `count` pixels from `from` (one row every `fromStride` pixels) to
    // the canvas at (x, y); the rectangle lies inside the canvas.
    void PutRows(const std::uint32_t* from, std::ptrdiff_t fromStride, std::ptrdiff_t x, std::ptrdiff_t y,
                 std::ptrdiff_t count, std::ptrdiff_t rows) const {
        // Pointers and strides in locals: the atomic stores would make the compiler
        // load them again for every row.
        std::uint32_t* to = pixels + y * stride + x;
        const std::ptrdiff_t toStride = stride;
        for (std::ptrdiff_t r = 0; r < rows; ++r) {
            const std::uint32_t* s = from + r * fromStride;
            std::uint32_t* d = to + r * toStride;
            for (std::ptrdiff_t i = 0; i < count; ++i) Store(d[i], s[i]);
        }
    }

    // `pixels` stays valid until the next SetImage, since the image is never shared
    // (bits() has just made its buffer its own).
    void SetImage(QImage img) {
        image = std::move(img);
        pixels = reinterpret_cast<std::uint32_t*>(image.bits());
        width = image.width();
        height = image.height();
        stride = image.bytesPerLine() / 4;
    }

    // Every pixel to the colour 0xRRGGBB.
    void Erase(std::uint32_t rgb) {
        const std::uint32_t value = rgb | 0xFF000000u;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Store(At(x, y), value);
        screenUpdate->Changed();
    }

    // The rectangle's pixels as they are now, as an image of their own.
    QImage Copy(int x, int y, int w, int h) const {
        QImage out(w, h, QImage::Format_RGB32);
        for (int row = 0; row < h; ++row) {
            auto* d = reinterpret_cast<std::uint32_t*>(out.scanLine(row));
            for (int col = 0; col < w; ++col) d[col] = Load(At(x + col, y + row));
        }
        return out;
    }
};

}  // namespace fw::detail
