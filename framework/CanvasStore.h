// The backing image of a canvas, shared by the drawing threads and the widget.
#pragma once

#include <QImage>
#include <memory>
#include <mutex>

#include "ScreenUpdate.h"

namespace fw::detail {

struct CanvasStore {
    std::mutex mutex;
    // Guarded by mutex. Used in place only, never copied: a copy would share its
    // buffer, and the next write through the image would move it away from `pixels`.
    QImage image;
    std::uint32_t eraseColor = 0;  // guarded by mutex
    // The image's pixels, taken once: the drawing of a run touches them directly.
    std::uint32_t* pixels = nullptr;  // guarded by mutex
    int width = 0, height = 0;
    std::ptrdiff_t stride = 0;  // pixels per row
    // The widget repaints once a frame while the drawing changes.
    const std::shared_ptr<ScreenUpdate> shown = std::make_shared<ScreenUpdate>();

    // Call with the mutex held. `pixels` stays valid until the next SetImage, since
    // the image is never shared (bits() has just made its buffer its own).
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
        shown->Changed();
    }
};

}  // namespace fw::detail
