// Windows: construction, the record of open windows, controls by name, menu handlers.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Controls.h"
#include "Graphics.h"
#include "Object.h"

namespace fw {

class MenuBar;
class MenuItem;
namespace detail {
class ScreenUpdate;
}

namespace detail {
// Orders names by length first: most names differ in length, which settles a
// comparison without reading them.
struct ByLengthThenText {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    }
};

// Two names alike, read a word at a time for the short names of windows and controls.
inline bool SameName(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    auto word = [](const char* p, auto w) {
        std::memcpy(&w, p, sizeof w);
        return w;
    };
    if (n >= 8 && n <= 16)
        return ((word(a.data(), std::uint64_t{}) ^ word(b.data(), std::uint64_t{})) |
                (word(a.data() + n - 8, std::uint64_t{}) ^ word(b.data() + n - 8, std::uint64_t{}))) == 0;
    if (n >= 4 && n < 8)
        return ((word(a.data(), std::uint32_t{}) ^ word(b.data(), std::uint32_t{})) |
                (word(a.data() + n - 4, std::uint32_t{}) ^ word(b.data() + n - 4, std::uint32_t{}))) == 0;
    return a == b;
}

// Moves on at every change of a NameMap: of the record of open windows, or of a
// window's controls. While it stands still, a look-up through BorrowOpenWindow and
// Window::Borrow gives the answer it gave last. Changed and read under the gate.
inline std::atomic<std::uint64_t> nameMapGeneration{0};

// Values by name. The engine looks the same window and control up at every dot, so
// the entry found last is kept and tried first; it is forgotten whenever an entry goes.
template <class V>
class NameMap {
    using Map = std::map<std::string, V, ByLengthThenText>;

public:
    // The value under the name, or nil.
    const V* Find(std::string_view name) const {
        const typename Map::value_type* last = last_.load(std::memory_order_relaxed);
        if (last && SameName(last->first, name)) return &last->second;
        auto it = map_.find(name);
        if (it == map_.end()) return nullptr;
        last_.store(&*it, std::memory_order_relaxed);
        return &it->second;
    }
    void Set(const std::string& name, V value) {
        map_[name] = std::move(value);
        Moved();
    }
    // Removes the entry under the name when it holds `value`.
    void EraseIf(std::string_view name, const V& value) {
        auto it = map_.find(name);
        if (it == map_.end() || !(it->second == value)) return;
        last_.store(nullptr, std::memory_order_relaxed);
        map_.erase(it);
        Moved();
    }
    void Clear() {
        last_.store(nullptr, std::memory_order_relaxed);
        map_.clear();
        Moved();
    }
    typename Map::const_iterator begin() const { return map_.begin(); }
    typename Map::const_iterator end() const { return map_.end(); }

private:
    static void Moved() { nameMapGeneration.fetch_add(1, std::memory_order_relaxed); }

    Map map_;
    // Atomic, for look-ups on two threads at once; relaxed, because an entry goes only
    // while the gate is held, as the map itself asks of every look-up that may meet it.
    mutable std::atomic<const typename Map::value_type*> last_{nullptr};
};
}  // namespace detail

// The values a window takes in one step; each one is applied.
struct WindowSettings {
    int Width = 300, Height = 300;  // the content area, below the menu bar
    int MinWidth = 64, MinHeight = 64, MaxWidth = 32000, MaxHeight = 32000;  // when resizable
    bool Resizeable = true;
    std::string Title;
    bool HasBackColor = false;
    Color BackColor{0xFFFFFF};  // with HasBackColor; else the platform's window colour
    bool Visible = true;        // shown when constructed
    bool CloseButton = true, MinimizeButton = true, MaximizeButton = true;
    bool FullScreen = false, MenuBarVisible = true;
};

class Window : public Object {
public:
    Window();
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Builds the window on the user-interface thread: raises Layout, CreateControls,
    // AddMenuHandlers and Open, and shows it when the settings make it visible. From
    // here until it closes the window is in the record of open windows.
    void Constructor();
    // Shows the window modeless and brings it to the front.
    void Show();
    // Raises Close and takes the window out of the record; the object lives on while referenced.
    void Close();
    // A repaint; with erase it also wipes the drawing of every canvas of the window.
    void Refresh(bool eraseBackground);
    void SetMenuBar(const Ref<fw::MenuBar>& bar);
    Ref<fw::MenuBar> MenuBar() const { return menuBar_; }
    void ApplySettings(const WindowSettings& settings);
    const WindowSettings& Settings() const { return settings_; }
    bool IsOpen() const { return open_; }

    // A new object made on behalf of this window: a control of class T belongs to the
    // window (it is not registered yet); any other object is simply made.
    template <class T>
    Ref<T> New() {
        if constexpr (std::is_base_of_v<RectControl, T>)
            return fw::New<T>(std::static_pointer_cast<Window>(shared_from_this()));
        else
            return fw::New<T>();
    }
    void AddControl(const std::string& name, const Ref<RectControl>& control);
    // The control registered under the name, or nil.
    Ref<RectControl> Control(std::string_view name) const;
    template <class T>
    Ref<T> Find(std::string_view name) const {
        return Cast<T>(Control(name));
    }
    // The same look-ups without a count (see BorrowOpenWindow).
    RectControl* BorrowControl(std::string_view name) const {
        const Ref<RectControl>* control = controls_.Find(name);
        return control ? control->get() : nullptr;
    }
    template <class T>
    T* Borrow(std::string_view name) const {
        return Cast<T>(BorrowControl(name));
    }
    // A menu handler, run when the item of that name is chosen in this window.
    void AddMenuHandler(const std::string& itemName, std::function<bool()> handler);
    bool HasMenuHandler(const std::string& itemName) const;
    // Chooses a menu item as the user would (for the menus and for tests).
    void ChooseMenuItem(const Ref<MenuItem>& item);

    // The control whose event is being handled, during an "Action" handler; else nil.
    Ref<RectControl> Sender() const { return sender_.lock(); }

    // Window events; the program's windows override the ones they handle.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers(const Ref<Window>& window) { (void)window; }
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_EnableMenuItems() {}
    virtual bool Event_MouseDown(int x, int y) {
        (void)x;
        (void)y;
        return false;
    }

    // For the framework and tests: the top-level widget and the one that holds the controls.
    QWidget* TopWidget() const;
    QWidget* Body() const;
    // Raises EnableMenuItems and updates the enabled state of every menu item.
    void UpdateMenus();

private:
    friend class RectControl;
    friend struct WindowEvents;
    void BuildOnUiThread();
    void HandleClose();
    void HandleMouseDown(int x, int y);
    void BuildMenus();
    void ApplySettingsOnUi(const WindowSettings& settings);
    void RunAction(const Ref<RectControl>& control, const std::function<void()>& action);

    WindowSettings settings_;
    Ref<fw::MenuBar> menuBar_;
    detail::NameMap<Ref<RectControl>> controls_;
    std::map<std::string, std::function<bool()>> menuHandlers_;
    std::weak_ptr<RectControl> sender_;
    bool open_ = false;
    bool closing_ = false;
    struct Widgets;
    std::unique_ptr<Widgets> widgets_;
    // Repaints asked for off the user-interface thread, once a frame at most.
    const std::shared_ptr<detail::ScreenUpdate> repaint_;
};

// The open window registered under the full class name, or nil.
Ref<Window> OpenWindow(std::string_view fullClassName);
// The same without a count, for a look-up made at every dot of a run, where counting
// slowed the whole step. The pointer is valid until the record of open windows, or
// the window's controls, next change; only code that holds the gate changes them, so
// it serves the caller up to its next call of code that might (or its next yield).
Window* BorrowOpenWindow(std::string_view fullClassName);
// Changes whenever an answer of BorrowOpenWindow or Window::Borrow may change: a caller
// may keep what they gave while this stays the same.
inline std::uint64_t LookUpGeneration() { return detail::nameMapGeneration.load(std::memory_order_relaxed); }

namespace detail {
// Empties the record of open windows (at the end of the program).
void FinaliseWindowRecord();
}  // namespace detail

}  // namespace fw
