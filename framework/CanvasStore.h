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

    void Erase() {
        {
            std::lock_guard lock(mutex);
            image.fill(eraseColor | 0xFF000000u);
        }
        dirty.store(true, std::memory_order_relaxed);
    }
};

}  // namespace fw::detail
