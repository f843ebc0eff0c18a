// Windows: construction, the record of open windows, controls by name, menu handlers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "Controls.h"
#include "NameMap.h"
#include "Object.h"

namespace fw {

class MenuBar;
class MenuItem;


// The values a window takes in one step; each one is applied.
struct WindowSettings {
    int Width = 300, Height = 300;  // the content area, below the menu bar
    int MinWidth = 64, MinHeight = 64, MaxWidth = 32000, MaxHeight = 32000;  // when resizable
    bool Resizeable = true;
    std::string Title;
    bool HasBackColor = false;
    Color BackColor{0xFFFFFF};  // with HasBackColor
    bool Visible = true;        // shown when constructed
    bool CloseButton = true, MinimizeButton = true, MaximizeButton = true;
    bool FullScreen = false, MenuBarVisible = true;

    // What the content area shows, and an erased canvas: BackColor with HasBackColor, else white.
    Color ShownBackColor() const { return HasBackColor ? BackColor : Color{0xFFFFFF}; }
};

class Window : public Object {
public:
    Window();
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Builds the window on the user-interface thread: raises Layout, CreateControls,
    // AddMenuHandlers and Open, and shows it when the settings make it visible. From
    // here until it closes the window is in the record of open windows. A window is
    // built once: a second call throws std::logic_error, closed or not.
    void Constructor();
    // Shows the window modeless and brings it to the front.
    void Show();
    // On the user-interface thread, raises Close and takes the window out of the record
    // before it returns. From another thread it only asks that thread to, and returns at
    // once: the window may still be open then. The object lives on while referenced.
    void Close();
    // A repaint; with erase it also wipes the drawing of every canvas of the window.
    void Refresh(bool eraseBackground);
    void SetMenuBar(const Ref<fw::MenuBar>& bar);
    Ref<fw::MenuBar> MenuBar() const { return menuBar_; }
    void ApplySettings(const WindowSettings& settings);
    const WindowSettings& Settings() const { return settings_; }
    // In the record of open windows: from its construction until it closes.
    bool IsOpen() const;

    // A new object made on behalf of this window: a control of class T belongs to the
    // window (it is not registered yet); any other object is simply made.
    template <class T>
    Ref<T> New() {
        if constexpr (std::is_base_of_v<RectControl, T>)
            return fw::New<T>(std::static_pointer_cast<Window>(shared_from_this()));
        else
            return fw::New<T>();
    }
    // Registers the control under the name, on the gate.
    void AddControl(const std::string& name, const Ref<RectControl>& control);
    // The control registered under the name, or nil.
    Ref<RectControl> Control(std::string_view name) const;
    template <class T>
    Ref<T> Find(std::string_view name) const {
        return Cast<T>(Control(name));
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
    // False when the Close handler could not run now, and the window stays open.
    bool HandleClose();
    // Auto-enables the items and raises EnableMenuItems, on the gate.
    void RaiseEnableMenuItems();
    void HandleMouseDown(int x, int y);
    void BuildMenus();
    void ApplySettingsOnUi(const WindowSettings& settings);
    void PlaceBarAndBody();
    void RunAction(const Ref<RectControl>& control, const std::function<void()>& action);

    WindowSettings settings_;
    Ref<fw::MenuBar> menuBar_;
    detail::NameMap<Ref<RectControl>> controls_;
    std::map<std::string, std::function<bool()>> menuHandlers_;
    std::weak_ptr<RectControl> sender_;
    bool closing_ = false;
    struct Widgets;
    std::unique_ptr<Widgets> widgets_;
};

// The open window of the class, the one opened last, or nil.
Ref<Window> OpenWindow(std::string_view fullClassName);

// What a look-up of windows and controls by name gave, kept while LookUpGeneration()
// stands still, that is while no window and no control has come or gone: for a look-up
// made at every dot of a run. On the gate only.
template <class T>
class KeptLookUp {
public:
    // The answer kept, or else the one `lookUp` gives now (or raises).
    template <class LookUp>
    const Ref<T>& Get(const LookUp& lookUp) {
        if (!kept_ || keptAt_ != LookUpGeneration()) {
            kept_ = lookUp();
            keptAt_ = LookUpGeneration();  // after the look-up, which may open a window
        }
        return kept_;
    }

private:
    Ref<T> kept_;
    std::uint64_t keptAt_ = 0;
};

namespace detail {
// Empties the record of open windows (at the end of the program).
void FinaliseWindowRecord();
}  // namespace detail

}  // namespace fw
