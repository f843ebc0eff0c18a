// The backing image of a canvas, shared by the drawing threads and the widget.
#pragma once

#include <QImage>
#include <atomic>
#include <mutex>

namespace fw::detail {

struct CanvasStore {
    std::mutex mutex;
    QImage image;                      // guarded by mutex
    std::uint32_t eraseColor = 0;      // guarded by mutex
    std::atomic<bool> dirty{false};    // the widget repaints at its next refresh
    // The image's pixels, taken once: the drawing of a run touches them directly.
    std::uint32_t* pixels = nullptr;   // guarded by mutex
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;         // pixels per row

    // Call with the mutex held.
    void SetImage(QImage img) {
        image = std::move(img);
        pixels = reinterpret_cast<std::uint32_t*>(image.bits());
        width = image.width();
        height = image.height();
        stride = image.bytesPerLine() / 4;
    }

    void Erase() {
        {
            std::lock_guard lock(mutex);
            image.fill(eraseColor | 0xFF000000u);
        }
        dirty.store(true, std::memory_order_relaxed);
    }
};

}  // namespace fw::detail
