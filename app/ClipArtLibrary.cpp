#include "app/ClipArtLibrary.h"

#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "platform/FolderFiles.h"
#include "platform/image/DibPixels.h"
#include "platform/image/ImageFile.h"
#include "render/Thumbnail.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <filesystem>

namespace pq {

namespace {

// A 32 x 32 picture is 3 KB at 24 bits; anything beyond this is not one.
constexpr std::uintmax_t kMaxThumbnailFileBytes = 4u * 1024 * 1024;

// Metafiles are listed before Illustrator files.
constexpr std::array<std::string_view, 2> kItemExtensions = {".emf", ".ai"};

std::string Join(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + std::string(name);
}

std::string Quoted(std::string_view name) {
    return "'" + std::string(name) + "'";
}

std::string_view ExtensionOf(std::string_view name) {
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string BaseOf(std::string_view name) {
    const std::size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

std::string CClipArtLibrary::RootIn(const std::string& dataFolder) {
    return Join(dataFolder, kFolderName);
}

bool CClipArtLibrary::EnsureRoot(std::string& message) const {
    return CreateFolders(root, message);
}

std::vector<std::string> CClipArtLibrary::Categories() const {
    return ListFolderNames(root);
}

std::string CClipArtLibrary::CategoryPath(std::string_view category) const {
    return Join(root, category);
}

std::vector<CClipArtItem> CClipArtLibrary::Items(std::string_view category) const {
    std::vector<CClipArtItem> items;
    if (!IsValidName(category))
        return items;
    const std::string folder = CategoryPath(category);
    for (std::string_view extension : kItemExtensions) {
        for (const std::string& name : ListFileNames(folder, extension)) {
            if (name.front() == '.')
                continue; // hidden, and a name of nothing but an extension
            const std::string path = Join(folder, name);
            items.push_back(CClipArtItem{name, path, ThumbnailPathOf(path)});
        }
    }
    return items;
}

std::string CClipArtLibrary::ThumbnailPathOf(std::string_view itemPath) {
    return ReplaceExtension(itemPath, "bmp");
}

bool CClipArtLibrary::IsValidName(std::string_view name) {
    if (name.empty() || name.front() == '.')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::string CClipArtLibrary::CreateCategory(std::string_view name) const {
    if (!IsValidName(name))
        return "A category name cannot be empty, start with '.' or contain '/' or '\\'.";
    const std::string path = CategoryPath(name);
    if (PathExists(path))
        return "A category named " + Quoted(name) + " already exists.";
    std::string reason;
    if (!CreateFolders(path, reason))
        return "The category " + Quoted(name) + " could not be made: " + reason;
    return {};
}

std::string CClipArtLibrary::RenameCategory(std::string_view oldName, std::string_view newName) const {
    if (newName == oldName)
        return {};
    if (!IsValidName(oldName) || !IsValidName(newName))
        return "A category name cannot be empty, start with '.' or contain '/' or '\\'.";
    std::string reason;
    switch (RenameWithoutReplacing(CategoryPath(oldName), CategoryPath(newName), reason)) {
    case RenameOutcome::Renamed:
        return {};
    case RenameOutcome::TargetExists:
        return "A category named " + Quoted(newName) + " already exists.";
    case RenameOutcome::Failed:
        break;
    }
    return "The category " + Quoted(oldName) + " could not be renamed: " + reason;
}

std::string CClipArtLibrary::DeleteCategory(std::string_view name) const {
    if (!IsValidName(name))
        return {};
    std::string reason;
    if (!DeleteEmptyFolder(CategoryPath(name), reason))
        return "The category " + Quoted(name) + " could not be deleted: " + reason;
    return {};
}

std::string CClipArtLibrary::RenameItem(std::string_view category, const CClipArtItem& item,
                                        std::string_view newName, std::string* finalName) const {
    const std::string_view extension = ExtensionOf(item.name);
    std::string name(newName);
    if (!EndsWithNoCase(name, extension))
        name += extension;
    else
        name = name.substr(0, name.size() - extension.size()) + std::string(extension);
    if (finalName != nullptr)
        *finalName = name;
    if (name == item.name)
        return {};
    if (!IsValidName(category) || !IsValidName(name) || name.size() == extension.size())
        return "An item name cannot be empty, start with '.' or contain '/' or '\\'.";
    const std::string folder = CategoryPath(category);
    const std::string target = Join(folder, name);
    const std::string targetThumbnail = ThumbnailPathOf(target);
    // A picture of the new base name belongs to another item, or would be taken for this one's.
    if (PathExists(targetThumbnail) && targetThumbnail != item.thumbnailPath)
        return "The name " + Quoted(BaseOf(name)) + " is taken by another item's picture.";
    std::string reason;
    switch (RenameWithoutReplacing(item.path, target, reason)) {
    case RenameOutcome::Renamed:
        break;
    case RenameOutcome::TargetExists:
        return "An item named " + Quoted(name) + " already exists.";
    case RenameOutcome::Failed:
        return "The item " + Quoted(item.name) + " could not be renamed: " + reason;
    }
    if (PathExists(item.thumbnailPath) && targetThumbnail != item.thumbnailPath &&
        RenameWithoutReplacing(item.thumbnailPath, targetThumbnail, reason) == RenameOutcome::Failed)
        return "The item was renamed, but its picture could not be: " + reason;
    return {};
}

std::string CClipArtLibrary::DeleteItem(std::string_view category, const CClipArtItem& item) const {
    std::string reason;
    if (!DeleteFileAt(item.path, reason))
        return "The item " + Quoted(item.name) + " could not be deleted: " + reason;
    // "star.ai" and "star.emf" share "star.bmp": it stays while the other is there.
    const std::string base = BaseOf(item.name);
    for (const CClipArtItem& other : Items(category))
        if (BaseOf(other.name) == base)
            return {};
    if (!DeleteFileAt(item.thumbnailPath, reason))
        return "The item was deleted, but its picture could not be: " + reason;
    return {};
}

bool WriteClipArtItem(CDrawing& drawing, const std::string& path, bool antiAlias, std::string& message) {
    if (!SaveDrawing(drawing, path, 0, -1, -1, nullptr)) {
        message = drawing.GetErrorMessage();
        return false;
    }
    const auto picture = RenderObjectsThumbnail(drawing, 0, CClipArtLibrary::kThumbnailSize, antiAlias);
    if (!picture) {
        message = "The item has nothing to show in its picture.";
        return false;
    }
    const CImageResult written = WriteBmpFile(*picture, CClipArtLibrary::ThumbnailPathOf(path));
    if (!written) {
        message = written.message;
        return false;
    }
    return true;
}

std::optional<std::vector<uint8_t>> LoadThumbnailRgb(const std::string& path, int size) {
    if (size <= 0 || !PathExists(path))
        return std::nullopt;
    // A picture for the list is a few kilobytes; a huge file there is no thumbnail and must not hold up
    // the dialog while it is read.
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    if (error || bytes > kMaxThumbnailFileBytes)
        return std::nullopt;
    CDibSection image;
    if (!LoadImageFile(path, image).ok || image.IsEmpty())
        return std::nullopt;
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    std::vector<uint8_t> rgb(static_cast<std::size_t>(size) * size * 3);
    std::size_t at = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Nearest pixel: the list shows 32 x 32 pictures, which this leaves exactly as they are.
            const uint32_t colour = GetPixelColour(image, x * width / size, y * height / size);
            rgb[at++] = static_cast<uint8_t>(colour & 0xFF);
            rgb[at++] = static_cast<uint8_t>((colour >> 8) & 0xFF);
            rgb[at++] = static_cast<uint8_t>((colour >> 16) & 0xFF);
        }
    }
    return rgb;
}

} // namespace pq
