#include "formats/dxf/DxfFile.h"

#include "formats/dxf/DxfReader.h"
#include "model/Drawing.h"
#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

#include <filesystem>
#include <fstream>

namespace pq {

namespace {

// A file larger than this is not read: DXF files of real drawings stay far below it.
constexpr std::uintmax_t kMaxDxfFileBytes = 1024u * 1024 * 1024;

std::span<const uint8_t> Bytes(std::string_view s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

} // namespace

int CDxfFile::ExportToDxf(const std::string& path, CDrawing& drawing, int page) {
    std::string file;
    std::vector<CDxfImageFile> images;
    std::string message;
    if (!ExportToMemory(file, images, drawing, page, path, message)) {
        drawing.SetErrorMessage(message);
        return 0;
    }
    // The pictures first: a file referring to a picture that could not be written is not written. When
    // the save fails, the pictures it added are taken away again rather than left beside no file.
    std::vector<std::string> added;
    const auto fail = [&](const std::string& why) {
        for (const std::string& picture : added) {
            std::error_code ignored;
            std::filesystem::remove(picture, ignored);
        }
        drawing.SetErrorMessage(why);
        return 0;
    };
    for (const CDxfImageFile& image : images) {
        // Only a name known to be free counts as added: when in doubt the picture stays.
        std::error_code ignored;
        const bool free = std::filesystem::symlink_status(image.path, ignored).type() ==
                          std::filesystem::file_type::not_found;
        if (CImageResult written = WriteFileReplacing(image.path, image.jpeg); !written)
            return fail(written.message);
        if (free)
            added.push_back(image.path);
    }
    if (CImageResult written = WriteFileReplacing(path, Bytes(file)); !written)
        return fail(written.message);
    return 1;
}

bool CDxfFile::ExportToMemory(std::string& file, std::vector<CDxfImageFile>& images, const CDrawing& drawing,
                              int page, const std::string& imagePath, std::string& message) {
    CDxfWriter writer(drawing, page, imagePath);
    return writer.Write(file, images, message);
}

int CDxfFile::ImportFromDxf(const std::string& path, CDrawing& drawing) {
    drawing.Clear();
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxDxfFileBytes, bytes, message)) {
        drawing.SetErrorMessage("DXF: " + message);
        return 0;
    }
    std::error_code error;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = std::filesystem::current_path(error);
    return ImportFromMemory(bytes, drawing, folder.string()) ? 1 : 0;
}

bool CDxfFile::ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing,
                                const std::string& folder) {
    CDxfReader reader(bytes, drawing, folder);
    return reader.Read();
}

} // namespace pq
