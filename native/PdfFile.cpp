#include "native/PdfFile.h"

#include "model/Drawing.h"

namespace pq {

bool CPdfFile::Write(const std::string&, CDrawing& drawing) {
    drawing.SetErrorMessage("PDF: writing is not available yet");
    return false;
}

bool CPdfFile::WriteToMemory(std::vector<uint8_t>& bytes, CDrawing& drawing) {
    bytes.clear();
    drawing.SetErrorMessage("PDF: writing is not available yet");
    return false;
}

bool CPdfFile::Read(const std::string&, CDrawing& drawing) {
    drawing.SetErrorMessage("PDF: reading is not available yet");
    return false;
}

bool CPdfFile::ReadFromMemory(std::span<const uint8_t>, CDrawing& drawing) {
    drawing.SetErrorMessage("PDF: reading is not available yet");
    return false;
}

} // namespace pq
