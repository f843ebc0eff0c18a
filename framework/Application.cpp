#include "Application.h"

#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "Pict.h"

namespace fw {
namespace {

constexpr std::uintmax_t kMaxPictureFileBytes = 64u << 20;  // no star picture comes near this
std::string gExecutablePath;                                // set once at start, before any thread
Ref<Application> gApplication;

}  // namespace

namespace detail {
void SetExecutablePath(const std::string& path) { gExecutablePath = path; }
}  // namespace detail

FolderItem::FolderItem(std::string path) : path_(std::move(path)) {}

Ref<FolderItem> FolderItem::Parent() const {
    const std::filesystem::path p(path_);
    const std::filesystem::path parent = p.parent_path();
    if (parent.empty() || parent == p) return nullptr;
    return std::make_shared<FolderItem>(parent.string());
}

Ref<FolderItem> FolderItem::Child(const std::string& name) const {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
        return nullptr;
    return std::make_shared<FolderItem>((std::filesystem::path(path_) / name).string());
}

Ref<Picture> FolderItem::OpenAsPicture() const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec)) return nullptr;
    const std::uintmax_t size = std::filesystem::file_size(path_, ec);
    if (ec || size > kMaxPictureFileBytes) return nullptr;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return nullptr;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (auto image = detail::DecodePict(bytes.data(), bytes.size())) return std::make_shared<Picture>(*image);
    QImage image;
    if (!bytes.empty() &&
        image.loadFromData(bytes.data(), static_cast<int>(bytes.size())) && !image.isNull())
        return std::make_shared<Picture>(image);
    return nullptr;
}

Ref<FolderItem> Application::ExecutableFile() const {
    if (gExecutablePath.empty()) return nullptr;
    return std::make_shared<FolderItem>(gExecutablePath);
}

void RegisterApplication(const Ref<Application>& app) { gApplication = app; }
Ref<Application> App() { return gApplication; }

}  // namespace fw
