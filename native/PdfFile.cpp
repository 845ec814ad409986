#include "native/PdfFile.h"

#include "model/Drawing.h"
#include "native/PdfReader.h"
#include "native/PdfWriter.h"
#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

namespace pq {

bool CPdfFile::Write(const std::string& path, CDrawing& drawing) {
    std::vector<uint8_t> bytes;
    if (!WriteToMemory(bytes, drawing))
        return false;
    const CImageResult result = WriteFileReplacing(path, bytes);
    if (!result) {
        drawing.SetErrorMessage(result.message);
        return false;
    }
    return true;
}

bool CPdfFile::WriteToMemory(std::vector<uint8_t>& bytes, CDrawing& drawing) {
    CPdfWriter writer(drawing);
    const std::string file = writer.Write();
    bytes.assign(file.begin(), file.end());
    return true;
}

bool CPdfFile::Read(const std::string& path, CDrawing& drawing, int shownPage) {
    CLargeBytes bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxDrawingFileBytes, bytes, message)) {
        drawing.SetErrorMessage(message);
        return false;
    }
    CPdfReader reader(std::move(bytes), drawing, shownPage);
    return reader.Read();
}

bool CPdfFile::ReadPageInBatches(const std::string& path, CDrawing& drawing, int shownPage,
                                 const std::function<void(const CDrawing&)>& draw) {
    CLargeBytes bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxDrawingFileBytes, bytes, message)) {
        drawing.SetErrorMessage(message);
        return false;
    }
    return ReadPageInBatchesFromMemory(bytes, drawing, shownPage, draw);
}

bool CPdfFile::ReadPageInBatchesFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing, int shownPage,
                                           const std::function<void(const CDrawing&)>& draw) {
    CPdfReader reader(bytes, drawing, shownPage, draw);
    return reader.Read();
}

bool CPdfFile::ReadFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing, int shownPage) {
    CPdfReader reader(bytes, drawing, shownPage);
    return reader.Read();
}

} // namespace pq
