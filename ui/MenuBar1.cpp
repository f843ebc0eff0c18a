#include "ui/MenuBar1.h"

#include <optional>
#include <string>

namespace {

// One item: made, named, auto-enabled, captioned, given its shortcut (none for a
// separator) and appended at the end of its menu.
template <class T>
void AddItem(fw::MenuItem& bar, const char* menu, const std::string& name, const std::string& text,
             std::optional<std::string> shortcut) {
    fw::Ref<T> item = fw::New<T>();
    fw::NonNil(item).Constructor();
    item->SetName(name);
    item->SetAutoEnable(true);
    item->SetText(text);
    if (shortcut) item->SetKeyboardShortcut(*shortcut);
    if (menu)
        fw::NonNil(bar.Child(menu)).Append(item);
    else
        bar.Append(item);
}

}  // namespace

void MenuBar1::Constructor() {
    Untitled0();
    Untitled1();
}

void MenuBar1::Untitled0() {
    AddItem<fw::MenuItem>(*this, nullptr, "FileMenu", "&File", "");
    AddItem<fw::QuitMenuItem>(*this, "FileMenu", "FileQuit", "Quit", "Cmd+Q");
}

void MenuBar1::Untitled1() {
    AddItem<fw::MenuItem>(*this, nullptr, "EditMenu", "&Edit", "");
    AddItem<fw::MenuItem>(*this, "EditMenu", "UntitledMenu1", "-", std::nullopt);
    AddItem<fw::MenuItem>(*this, "EditMenu", "EditClear", "Clear", "");
    AddItem<fw::MenuItem>(*this, "EditMenu", "UntitledMenu0", "-", std::nullopt);
    AddItem<fw::AppleMenuItem>(*this, "EditMenu", "AppleAbout", "About Velmora", "");
}

fw::Ref<class MenuBar1> MenuBar1() {
    if (!MenuBar1::implicitInstance) {
        fw::Ref<class MenuBar1> bar = fw::New<class MenuBar1>();
        bar->Constructor();
        MenuBar1::implicitInstance = bar;
    }
    return MenuBar1::implicitInstance;
}
