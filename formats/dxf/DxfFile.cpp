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
    // The pictures first: a file referring to a picture that could not be written is not written.
    for (const CDxfImageFile& image : images) {
        if (CImageResult written = WriteFileReplacing(image.path, image.jpeg); !written) {
            drawing.SetErrorMessage(written.message);
            return 0;
        }
    }
    if (CImageResult written = WriteFileReplacing(path, Bytes(file)); !written) {
        drawing.SetErrorMessage(written.message);
        return 0;
    }
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
