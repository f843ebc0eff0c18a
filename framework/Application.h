// The application object and files.
#pragma once

#include <string>

#include "Graphics.h"
#include "Object.h"

namespace fw {

class MenuBar;

// A file or folder; it need not exist.
class FolderItem : public Object {
public:
    explicit FolderItem(std::string path);
    // The folder that holds this item, or nil at the root.
    Ref<FolderItem> Parent() const;
    // The item of that name in this folder: an item that does not exist when there is
    // none; nil only for a name that cannot be a file name.
    Ref<FolderItem> Child(const std::string& name) const;
    // The file read as a picture, or nil when it cannot be read as one.
    Ref<Picture> OpenAsPicture() const;

private:
    std::string path_;
};

class Application : public Object {
public:
    void SetMenuBar(const Ref<fw::MenuBar>& bar) { menuBar_ = bar; }
    Ref<fw::MenuBar> MenuBar() const { return menuBar_; }
    // The program's executable file.
    Ref<FolderItem> ExecutableFile() const;

private:
    Ref<fw::MenuBar> menuBar_;
};

// Registers the application object; the framework holds it for the life of the process.
void RegisterApplication(const Ref<Application>& app);
Ref<Application> App();

namespace detail {
// Set once at start, before any thread.
void SetExecutablePath(const std::string& path);
}  // namespace detail

}  // namespace fw
