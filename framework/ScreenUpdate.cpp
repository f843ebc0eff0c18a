#include "ScreenUpdate.h"

#include <QTimer>

#include "Dispatch.h"

namespace fw::detail {

void ScreenUpdate::Attach(QObject* widget, std::function<void()> show) {
    RequireUiThread("ScreenUpdate::Attach");
    show_ = std::move(show);
    timer_ = new QTimer(widget);
    timer_->setSingleShot(true);
    QObject::connect(timer_, &QTimer::timeout, timer_, [weak = weak_from_this()] {
        if (auto update = weak.lock()) update->Tick();
    });
}

void ScreenUpdate::Detach() {
    RequireUiThread("ScreenUpdate::Detach");
    timer_ = nullptr;  // goes with the widget
    show_ = nullptr;
}

void ScreenUpdate::Request() {
    if (IsUiThread()) {
        Start();
        return;
    }
    PostToUi([weak = weak_from_this()] {
        if (auto update = weak.lock()) update->Start();
    });
}

// The first change after a rest: shown now, or when a frame has passed since the last showing.
void ScreenUpdate::Start() {
    if (timer_ && timer_->isActive()) return;
    const auto since = std::chrono::steady_clock::now() - lastShown_;
    if (timer_ && since < kFrame) {
        timer_->start(std::chrono::ceil<std::chrono::milliseconds>(kFrame - since));
        return;
    }
    Tick();
}

// Each change is unmarked before the widget reads the new state, so that a change made
// from then on is marked anew.
void ScreenUpdate::Tick() {
    if (changed_.exchange(false)) {
        Show();
        return;
    }
    // A frame without a change: rest. A change marked meanwhile saw pending_ still set
    // and posted nothing, so look once more.
    pending_.store(false);
    if (changed_.load() && !pending_.exchange(true)) {
        changed_.store(false);
        Show();
    }
}

// One frame on, the timer looks for more changes.
void ScreenUpdate::Show() {
    lastShown_ = std::chrono::steady_clock::now();
    if (show_) show_();
    if (timer_)
        timer_->start(kFrame);
    else
        pending_.store(false);  // no widget to show on: nothing to look after
}

}  // namespace fw::detail
