#include "formats/metafile/Metafile.h"

#include "formats/metafile/EmfReader.h"
#include "formats/metafile/EmfWriter.h"
#include "formats/metafile/WmfReader.h"
#include "model/Drawing.h"
#include "platform/image/AtomicWrite.h"

#include <fstream>

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
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        drawing.SetErrorMessage("cannot open " + path);
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxFileBytes) {
        drawing.SetErrorMessage(size < 0 ? "cannot read " + path : path + " is too large for a metafile");
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        drawing.SetErrorMessage("cannot read " + path);
        return false;
    }
    return ImportFromMemory(bytes, drawing);
}

bool CMetafile::ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing) {
    drawing.Clear();
    const bool ok = CEmfReader::IsEnhancedMetafile(bytes) ? CEmfReader(bytes, drawing).Read()
                                                          : CWmfReader(bytes, drawing).Read();
    if (!ok)
        drawing.Clear(); // a failed read leaves nothing half made
    return ok;
}

} // namespace pq
