#include "formats/ai/IllustratorFile.h"

#include "formats/ai/AiReader.h"
#include "formats/ai/AiWriter.h"
#include "model/Drawing.h"
#include "platform/RegularFile.h"
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
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, CAiReader::kMaxFileBytes, bytes, message)) {
        drawing.SetErrorMessage(message);
        return false;
    }
    if (bytes.empty()) {
        drawing.SetErrorMessage("The Illustrator file " + path + " is empty.");
        return false;
    }
    return ImportFromMemory(bytes, drawing);
}

bool CIllustratorFile::ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing) {
    CAiReader reader(bytes, drawing);
    return reader.Read();
}

} // namespace pq
