// A change made on any thread to what a widget shows, shown on the user-interface
// thread at most once a frame. The first change after a showing raises one request;
// further changes until the next showing cost one relaxed load. Nothing runs at rest.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class QObject;

namespace fw::detail {

class ScreenUpdate : public std::enable_shared_from_this<ScreenUpdate> {
public:
    static constexpr std::chrono::milliseconds kFrame{16};  // the screen's rate

    // Any thread.
    void Changed() {
        if (pending_.load(std::memory_order_relaxed)) return;
        if (pending_.exchange(true, std::memory_order_acq_rel)) return;
        Request();
    }
    // User-interface thread: `show` brings the widget up to date; the widget holds this
    // object and detaches before it goes.
    void Attach(QObject* widget, std::function<void()> show);
    void Detach();

private:
    void Request();
    void Schedule();
    void Show();

    std::atomic<bool> pending_{false};
    // User-interface thread only:
    QObject* widget_ = nullptr;
    std::function<void()> show_;
    std::chrono::steady_clock::time_point lastShown_{};
    bool timerArmed_ = false;
};

}  // namespace fw::detail
