#include "formats/svg/SvgFile.h"

#include "formats/svg/SvgImporter.h"
#include "formats/svg/SvgWriter.h"
#include "formats/svg/SvgXml.h"
#include "model/Drawing.h"
#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

#include <filesystem>
#include <memory>

namespace pq {

bool CSvgFile::Read(const std::string& path, CDrawing& drawing) {
    warnings.clear();
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxFileBytes, bytes, message)) {
        drawing.SetErrorMessage(message);
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return ReadFromMemory(bytes, drawing, folder.empty() ? std::string(".") : folder.string());
}

bool CSvgFile::ReadFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing,
                              const std::string& baseFolder) {
    warnings.clear();
    if (bytes.size() > kMaxFileBytes) {
        drawing.SetErrorMessage("SVG: the file is too large");
        return false;
    }
    CXmlDocument document;
    std::string error;
    if (!document.Parse(bytes, error)) {
        drawing.SetErrorMessage("SVG: not a readable XML file (" + error + ")");
        return false;
    }
    drawing.Clear();
    CSvgImporter importer(document, drawing, baseFolder);
    if (!importer.Run(error)) {
        drawing.SetErrorMessage("SVG: " + error);
        return false;
    }
    warnings = importer.Warnings();
    for (const std::string& warning : warnings)
        drawing.AddWarning("SVG: " + warning + ".");
    return true;
}

bool CSvgFile::WriteToMemory(std::string& text, CDrawing& drawing, int page) {
    if (page < 0 || page >= drawing.PageCount()) {
        drawing.SetErrorMessage("SVG: the drawing has no page " + std::to_string(page + 1));
        return false;
    }
    text = CSvgWriter(drawing).Write(page);
    return true;
}

bool CSvgFile::Write(const std::string& path, CDrawing& drawing, int page) {
    std::string text;
    if (!WriteToMemory(text, drawing, page))
        return false;
    const CImageResult written = WriteFileReplacing(
        path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    if (!written) {
        drawing.SetErrorMessage(written.message);
        return false;
    }
    return true;
}

} // namespace pq
