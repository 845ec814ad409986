#include "native/PdfFile.h"

#include "model/Drawing.h"
#include "native/PdfReader.h"
#include "native/PdfWriter.h"
#include "platform/image/AtomicWrite.h"

#include <fstream>

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

bool CPdfFile::Read(const std::string& path, CDrawing& drawing) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        drawing.SetErrorMessage("cannot open " + path);
        return false;
    }
    const std::streamoff size = in.tellg();
    std::vector<uint8_t> bytes(size > 0 ? static_cast<std::size_t>(size) : 0);
    in.seekg(0);
    if (size < 0 ||
        !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        drawing.SetErrorMessage("cannot read " + path);
        return false;
    }
    return ReadFromMemory(bytes, drawing);
}

bool CPdfFile::ReadFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing) {
    CPdfReader reader(bytes, drawing);
    return reader.Read();
}

} // namespace pq
