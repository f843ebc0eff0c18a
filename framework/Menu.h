// The menu model: one tree serves the application and every window that sets it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Object.h"

class QWidget;

namespace fw {

class MenuItem : public Object {
public:
    void Constructor() {}

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    // "&" marks the mnemonic; "-" makes a separator.
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text) { text_ = text; }
    // "Cmd+Q" names the platform's command modifier (Ctrl on this platform).
    const std::string& KeyboardShortcut() const { return shortcut_; }
    void SetKeyboardShortcut(const std::string& shortcut) { shortcut_ = shortcut; }
    // An auto-enabled item is enabled exactly when a handler is registered for it, or it quits.
    bool AutoEnable() const { return autoEnable_; }
    void SetAutoEnable(bool on) { autoEnable_ = on; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on) { enabled_ = on; }
    bool IsSeparator() const { return text_ == "-"; }
    virtual bool Quits() const { return false; }

    void Append(const Ref<MenuItem>& item) { children_.push_back(item); }
    // A direct child of that name, or nil.
    Ref<MenuItem> Child(const std::string& name) const;
    // An item of that name at any depth beneath this one, or nil.
    Ref<MenuItem> Lookup(const std::string& name) const;
    int Count() const { return static_cast<int>(children_.size()); }
    Ref<MenuItem> Item(int index) const;

private:
    std::string name_, text_, shortcut_;
    bool autoEnable_ = false;
    bool enabled_ = true;
    std::vector<Ref<MenuItem>> children_;
};

class MenuBar : public MenuItem {};

// Quits the application by itself when chosen.
class QuitMenuItem : public MenuItem {
public:
    bool Quits() const override { return true; }
};

// The about item: shown where it was appended (this platform has no application menu).
class AppleMenuItem : public MenuItem {};

namespace detail {

// A menu tree shown as the Qt menu bar of a window's top-level widget; user-interface
// thread only. The callbacks hold no reference to the window: they are given weak ones.
class QtMenuBar {
public:
    QtMenuBar(const Ref<MenuBar>& model, QWidget* top, std::function<void()> aboutToShow,
              std::function<void(const Ref<MenuItem>&)> chosen);
    // The bar goes once the event loop is back: it may be going from inside its own menu.
    ~QtMenuBar();
    QtMenuBar(const QtMenuBar&) = delete;
    QtMenuBar& operator=(const QtMenuBar&) = delete;
    QWidget* Widget() const;
    // Each item's action takes the item's enabled state.
    void UpdateEnabled();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace detail

}  // namespace fw
