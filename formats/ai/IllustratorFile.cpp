#include "formats/ai/IllustratorFile.h"

#include "formats/ai/AiReader.h"
#include "formats/ai/AiWriter.h"
#include "model/Drawing.h"
#include "platform/image/AtomicWrite.h"

#include <filesystem>
#include <fstream>

namespace pq {

bool CIllustratorFile::ExportToAi(const std::string& path, CDrawing& drawing, int page) {
    std::vector<uint8_t> bytes;
    const std::string title = std::filesystem::path(path).filename().string();
    if (!ExportToMemory(bytes, drawing, page, title))
        return false;
    const CImageResult result = WriteFileReplacing(path, bytes);
    if (!result) {
        drawing.SetErrorMessage(result.message);
        return false;
    }
    return true;
}

bool CIllustratorFile::ExportToMemory(std::vector<uint8_t>& bytes, const CDrawing& drawing, int page,
                                      const std::string& title) {
    CAiWriter writer(drawing, page, title);
    const std::string file = writer.Write();
    bytes.assign(file.begin(), file.end());
    return true;
}

bool CIllustratorFile::ImportFromAi(const std::string& path, CDrawing& drawing) {
    drawing.RemoveAt(0, drawing.Count());
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        drawing.SetErrorMessage("Cannot open " + path);
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size <= 0) {
        drawing.SetErrorMessage("The Illustrator file " + path + " is empty.");
        return false;
    }
    if (static_cast<uint64_t>(size) > CAiReader::kMaxFileBytes) {
        drawing.SetErrorMessage("The Illustrator file " + path + " is too large to read.");
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        drawing.SetErrorMessage("Cannot read " + path);
        return false;
    }
    return ImportFromMemory(bytes, drawing);
}

bool CIllustratorFile::ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing) {
    CAiReader reader(bytes, drawing);
    return reader.Read();
}

} // namespace pq
