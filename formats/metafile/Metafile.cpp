#include "formats/metafile/Metafile.h"

#include "formats/metafile/EmfReader.h"
#include "formats/metafile/EmfWriter.h"
#include "formats/metafile/WmfReader.h"
#include "model/Drawing.h"
#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

namespace pq {

bool CMetafile::ExportToEmf(const std::string& path, CDrawing& drawing, int page, int width, int height) {
    const std::vector<uint8_t> bytes = ExportToMemory(drawing, page, width, height);
    const CImageResult result = WriteFileReplacing(path, bytes);
    if (!result) {
        drawing.SetErrorMessage(result.message);
        return false;
    }
    return true;
}

std::vector<uint8_t> CMetafile::ExportToMemory(const CDrawing& drawing, int page, int width, int height) {
    return CEmfWriter(drawing, page, width, height).Write();
}

bool CMetafile::ImportFromMetafile(const std::string& path, CDrawing& drawing) {
    drawing.Clear();
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxFileBytes, bytes, message)) {
        drawing.SetErrorMessage(message);
        return false;
    }
    return ImportFromMemory(bytes, drawing);
}

bool CMetafile::ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing) {
    drawing.Clear();
    drawing.ClearWarning();
    const bool ok = CEmfReader::IsEnhancedMetafile(bytes) ? CEmfReader(bytes, drawing).Read()
                                                          : CWmfReader(bytes, drawing).Read();
    if (!ok)
        drawing.Clear(); // a failed read leaves nothing half made
    return ok;
}

} // namespace pq
