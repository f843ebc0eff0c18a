#include "ScreenUpdate.h"

#include <QTimer>

#include "Dispatch.h"

namespace fw::detail {

void ScreenUpdate::Attach(QObject* widget, std::function<void()> show) {
    RequireUiThread("ScreenUpdate::Attach");
    widget_ = widget;
    show_ = std::move(show);
    timerArmed_ = false;
}

void ScreenUpdate::Detach() {
    RequireUiThread("ScreenUpdate::Detach");
    widget_ = nullptr;
    show_ = nullptr;
}

void ScreenUpdate::Request() {
    if (IsUiThread()) {
        Schedule();
        return;
    }
    PostToUi([weak = weak_from_this()] {
        if (auto update = weak.lock()) update->Schedule();
    });
}

// Shows the change now, or once a frame has passed since the last showing; a one-shot
// timer on the widget waits for the rest of the frame only while changes go on.
void ScreenUpdate::Schedule() {
    if (timerArmed_) return;
    const auto since = std::chrono::steady_clock::now() - lastShown_;
    if (since >= kFrame || !widget_) {
        Show();
        return;
    }
    timerArmed_ = true;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(kFrame - since);
    QTimer::singleShot(wait, widget_, [weak = weak_from_this()] {
        if (auto update = weak.lock()) {
            update->timerArmed_ = false;
            update->Show();
        }
    });
}

void ScreenUpdate::Show() {
    // Cleared before the widget reads the new state, so that a change made from here on
    // raises a request of its own.
    pending_.store(false, std::memory_order_release);
    lastShown_ = std::chrono::steady_clock::now();
    if (show_) show_();
}

}  // namespace fw::detail
