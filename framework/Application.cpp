#include "Application.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <filesystem>
#include <fstream>
#include <vector>

#include "Pict.h"
#include "VectorState.h"

namespace fw {
namespace {

std::string gExecutablePath;  // set once at start, before any thread
Ref<Application> gApplication;

// A picture in a format other than PICT, held to the PICT reader's size cap: the
// size comes from the file's header, before any pixel is decoded. Null when refused,
// also when the format cannot tell its size beforehand.
QImage ReadOtherFormat(const std::vector<std::uint8_t>& bytes) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > detail::kMaxPictSide ||
        size.height() > detail::kMaxPictSide)
        return {};
    return reader.read();
}

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
    // Decoding fills the image through Qt's AVX2 routine, which returns with the vector
    // registers' upper halves dirty: cleared on the way back, or the calling thread
    // (an engine, at its first frame) steps a quarter slower from then on.
    const detail::ClearUpperVectorStateOnExit clean;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec)) return nullptr;
    const std::uintmax_t size = std::filesystem::file_size(path_, ec);
    if (ec || size > detail::kMaxPictFileBytes) return nullptr;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return nullptr;
    // One read of the size found: a refused picture is read again at every call of its
    // accessor, so reading byte by byte would cost more than the decoding.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));  // the file may have shrunk since
    if (auto image = detail::DecodePict(bytes.data(), bytes.size())) return std::make_shared<Picture>(*image);
    const QImage image = ReadOtherFormat(bytes);
    return image.isNull() ? nullptr : std::make_shared<Picture>(image);
}

Ref<FolderItem> Application::ExecutableFile() const {
    if (gExecutablePath.empty()) return nullptr;
    return std::make_shared<FolderItem>(gExecutablePath);
}

void RegisterApplication(const Ref<Application>& app) { gApplication = app; }
Ref<Application> App() { return gApplication; }

}  // namespace fw
