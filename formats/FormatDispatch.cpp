#include "formats/FormatDispatch.h"

#include "formats/dxf/DxfFile.h"
#include "model/Drawing.h"
#include "native/PdfFile.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pq {

namespace {

using Reader = bool (*)(const std::string& path, CDrawing& drawing);
using Writer = bool (*)(const std::string& path, CDrawing& drawing, int page, int width, int height);

bool ReadNative(const std::string& path, CDrawing& drawing) {
    return CPdfFile().Read(path, drawing);
}

bool WriteNative(const std::string& path, CDrawing& drawing, int, int, int) {
    return CPdfFile().Write(path, drawing);
}

bool ReadDxf(const std::string& path, CDrawing& drawing) {
    return CDxfFile().ImportFromDxf(path, drawing) == 1;
}

bool WriteDxf(const std::string& path, CDrawing& drawing, int page, int, int) {
    return CDxfFile().ExportToDxf(path, drawing, page) == 1;
}

// One row per extension. A format whose reader or writer is not there leaves it empty: opening or saving
// such a file fails with the usual message.
struct CFormatRow {
    std::string_view extension;
    Reader read;
    Writer write;
    bool allPages;
};

constexpr std::array<CFormatRow, 7> kFormats = {{
    {".pdf", ReadNative, WriteNative, true},
    {".tpl", ReadNative, WriteNative, true},
    {".emf", nullptr, nullptr, false},
    {".wmf", nullptr, nullptr, false},
    {".dxf", ReadDxf, WriteDxf, false},
    {".plt", nullptr, nullptr, false},
    {".ai", nullptr, nullptr, false},
}};

std::string LowerTail(std::string_view path, std::size_t length) {
    std::string tail(path.substr(path.size() - std::min(length, path.size())));
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail;
}

// The row of a path: four-character extensions first, then the three-character ".ai".
const CFormatRow* FindFormat(std::string_view path) {
    if (path.size() < 4)
        return nullptr;
    const std::string four = LowerTail(path, 4);
    const std::string three = LowerTail(path, 3);
    for (const CFormatRow& row : kFormats)
        if (row.extension == four || row.extension == three)
            return &row;
    return nullptr;
}

} // namespace

bool CanOpenDrawing(std::string_view path) {
    const CFormatRow* row = FindFormat(path);
    return row != nullptr && row->read != nullptr;
}

bool CanSaveDrawing(std::string_view path) {
    const CFormatRow* row = FindFormat(path);
    return row != nullptr && row->write != nullptr;
}

bool OpenDrawing(CDrawing& drawing, const std::string& path) {
    drawing.SetErrorMessage("");
    const CFormatRow* row = FindFormat(path);
    const bool ok = row != nullptr && row->read != nullptr && row->read(path, drawing);
    drawing.RenumberAll();
    if (!ok && drawing.GetErrorMessage().empty())
        drawing.SetErrorMessage(std::string(kOpenFailedMessage));
    return ok;
}

bool SaveDrawing(CDrawing& drawing, const std::string& path, int page, int width, int height,
                 const NoticeSink& notice) {
    drawing.SetErrorMessage("");
    if (path.size() < 4) {
        drawing.SetErrorMessage(std::string(kSaveFailedMessage));
        return false;
    }
    drawing.RenumberAll();
    const CFormatRow* row = FindFormat(path);
    if (row == nullptr || row->write == nullptr) {
        drawing.SetErrorMessage(std::string(kOpenFailedMessage));
        return false;
    }
    if (!row->allPages && drawing.PageCount() > 1 && notice)
        notice(kOnePageMessage);
    if (!row->write(path, drawing, page, width, height)) {
        // The writer's own reason, when it gives one, says more than the general message.
        if (drawing.GetErrorMessage().empty())
            drawing.SetErrorMessage(std::string(kOpenFailedMessage));
        return false;
    }
    return true;
}

} // namespace pq
