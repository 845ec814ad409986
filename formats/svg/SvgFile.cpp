#include "formats/svg/SvgFile.h"

#include "formats/svg/SvgImporter.h"
#include "formats/svg/SvgWriter.h"
#include "formats/svg/SvgXml.h"
#include "model/Drawing.h"
#include "platform/image/AtomicWrite.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace pq {

bool CSvgFile::Read(const std::string& path, CDrawing& drawing) {
    warnings.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || !std::filesystem::is_regular_file(path, ec)) {
        drawing.SetErrorMessage("Cannot read " + path);
        return false;
    }
    if (size > kMaxFileBytes) {
        drawing.SetErrorMessage("SVG: " + path + " is larger than " + std::to_string(kMaxFileBytes >> 20) +
                                " MB and was not read");
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        drawing.SetErrorMessage("Cannot read " + path);
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
