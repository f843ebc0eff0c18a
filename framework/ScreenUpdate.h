// A change made on any thread to what a widget shows, shown on the user-interface
// thread once a frame at most. The first change after a rest posts one request; while
// changes go on, a one-shot timer on the widget looks for them once a frame, and the
// drawing thread only marks them; one frame without a change and the widget rests, with
// no timer and no request until the next change.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class QObject;
class QTimer;

namespace fw::detail {

class ScreenUpdate : public std::enable_shared_from_this<ScreenUpdate> {
public:
    static constexpr std::chrono::milliseconds kFrame{16};  // the screen's rate

    // Any thread, after the change is made. One relaxed load while a change is marked.
    void Changed() {
        if (changed_.load(std::memory_order_relaxed)) return;
        changed_.store(true);
        if (!pending_.load() && !pending_.exchange(true)) Request();
    }
    // User-interface thread: `show` brings the widget up to date; the widget holds this
    // object and detaches before it goes.
    void Attach(QObject* widget, std::function<void()> show);
    void Detach();

private:
    void Request();
    void Start();
    void Tick();
    void Show();

    std::atomic<bool> changed_{false};  // a change not shown yet
    std::atomic<bool> pending_{false};  // the user-interface thread looks after the changes
    // User-interface thread only:
    QTimer* timer_ = nullptr;  // a child of the widget
    std::function<void()> show_;
    std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace fw::detail
