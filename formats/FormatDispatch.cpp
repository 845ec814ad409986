#include "formats/FormatDispatch.h"

#include "formats/ai/IllustratorFile.h"
#include "formats/dxf/DxfFile.h"
#include "formats/hpgl/PlotterFile.h"
#include "formats/metafile/Metafile.h"
#include "formats/svg/SvgFile.h"
#include "model/Drawing.h"
#include "native/PdfFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

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

bool ReadPlotter(const std::string& path, CDrawing& drawing) {
    return CPlotterFile().ImportFromHpgl(path, drawing);
}

bool WritePlotter(const std::string& path, CDrawing& drawing, int page, int, int) {
    return CPlotterFile().ExportToHpgl(path, drawing, page);
}

bool ReadIllustrator(const std::string& path, CDrawing& drawing) {
    return CIllustratorFile().ImportFromAi(path, drawing);
}

bool WriteIllustrator(const std::string& path, CDrawing& drawing, int page, int, int) {
    return CIllustratorFile().ExportToAi(path, drawing, page);
}

bool ReadMetafile(const std::string& path, CDrawing& drawing) {
    return CMetafile().ImportFromMetafile(path, drawing);
}

bool WriteMetafile(const std::string& path, CDrawing& drawing, int page, int width, int height) {
    return CMetafile().ExportToEmf(path, drawing, page, width, height);
}

bool ReadSvg(const std::string& path, CDrawing& drawing) {
    return CSvgFile().Read(path, drawing);
}

bool WriteSvg(const std::string& path, CDrawing& drawing, int page, int, int) {
    return CSvgFile().Write(path, drawing, page);
}

bool ReadDxf(const std::string& path, CDrawing& drawing) {
    return CDxfFile().ImportFromDxf(path, drawing) == 1;
}

bool WriteDxf(const std::string& path, CDrawing& drawing, int page, int, int) {
    return CDxfFile().ExportToDxf(path, drawing, page) == 1;
}

// One row per extension. A format whose reader or writer is not there leaves it empty: opening or saving
// such a file fails with a message naming the endings that can be read or written.
struct CFormatRow {
    std::string_view extension;
    Reader read;
    Writer write;
    bool allPages;
    bool outlinesOnly = false; // the writer keeps paths only
};

constexpr std::array<CFormatRow, 8> kFormats = {{
    {".pdf", ReadNative, WriteNative, true},
    {".tpl", ReadNative, WriteNative, true},
    {".emf", ReadMetafile, WriteMetafile, false},
    {".wmf", ReadMetafile, nullptr, false},
    {".dxf", ReadDxf, WriteDxf, false},
    {".plt", ReadPlotter, WritePlotter, false, true},
    {".ai", ReadIllustrator, WriteIllustrator, false},
    {".svg", ReadSvg, WriteSvg, false},
}};

std::string CountOf(int n, std::string_view what) {
    return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

// What a paths-only writer leaves behind of the page, as a notice; empty when it keeps everything.
std::string OutlinesOnlyNotice(const CDrawing& drawing, int page) {
    page = std::clamp(page, 0, std::max(0, drawing.PageCount() - 1));
    int texts = 0, images = 0;
    for (const auto& object : drawing.Objects()) {
        if (object->page != page)
            continue;
        texts += object->AsText() != nullptr ? 1 : 0;
        images += object->AsImage() != nullptr ? 1 : 0;
    }
    if (texts == 0 && images == 0)
        return {};
    std::string left = texts > 0 ? CountOf(texts, "text") : "";
    if (images > 0)
        left += (left.empty() ? "" : " and ") + CountOf(images, "image");
    return "Plotter files hold outlines only: " + left + " of the page will not be saved.";
}

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

// The endings that have a reader (or a writer), as ".pdf or .tpl".
std::string EndingsList(bool writers) {
    std::vector<std::string_view> endings;
    for (const CFormatRow& row : kFormats)
        if (writers ? row.write != nullptr : row.read != nullptr)
            endings.push_back(row.extension);
    std::string list;
    for (std::size_t i = 0; i < endings.size(); ++i) {
        if (i > 0)
            list += i + 1 == endings.size() ? " or " : ", ";
        list += endings[i];
    }
    return list;
}

// The ending of the file's own name, lower-cased ("" when it has none): what the user asked for.
std::string EndingOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot + 1 == name.size())
        return {};
    return LowerTail(name, name.size() - dot);
}

// Why a name has no reader or writer, and which endings have one: the short message alone leaves
// the user guessing.
std::string NoFormatMessage(std::string_view path, bool saving) {
    const std::string ending = EndingOf(path);
    const CFormatRow* row = FindFormat(path);
    const std::string endings = EndingsList(saving);
    std::string message(saving ? kSaveFailedMessage : kOpenFailedMessage);
    if (saving && row != nullptr && row->read != nullptr)
        return message + " \"" + ending + "\" files are read but not written; drawings are saved as " +
               endings + ".";
    message += saving ? " Drawings are saved as " : " Drawings are read from ";
    message += endings + (saving ? "" : " files");
    if (ending.empty())
        return message + "; the name has no ending.";
    return message + ", not \"" + ending + "\".";
}

} // namespace

bool SavesEveryPage(std::string_view path) {
    const CFormatRow* row = FindFormat(path);
    return row != nullptr && row->write != nullptr && row->allPages;
}

bool CanOpenDrawing(std::string_view path) {
    const CFormatRow* row = FindFormat(path);
    return row != nullptr && row->read != nullptr;
}

bool CanSaveDrawing(std::string_view path) {
    const CFormatRow* row = FindFormat(path);
    return row != nullptr && row->write != nullptr;
}

bool OpenDrawing(CDrawing& drawing, const std::string& path, int shownPage) {
    drawing.SetErrorMessage("");
    drawing.ClearWarning();
    const CFormatRow* row = FindFormat(path);
    if (row == nullptr || row->read == nullptr) {
        drawing.RenumberAll();
        drawing.SetErrorMessage(NoFormatMessage(path, false));
        return false;
    }
    const bool ok = shownPage >= 0 && row->read == ReadNative ? CPdfFile().Read(path, drawing, shownPage)
                                                              : row->read(path, drawing);
    drawing.RenumberAll();
    if (!ok && drawing.GetErrorMessage().empty())
        drawing.SetErrorMessage(std::string(kOpenFailedMessage));
    return ok;
}

bool SaveDrawing(CDrawing& drawing, const std::string& path, int page, int width, int height,
                 const NoticeSink& notice) {
    drawing.SetErrorMessage("");
    if (path.size() < 4) {
        drawing.SetErrorMessage(NoFormatMessage(path, true));
        return false;
    }
    drawing.RenumberAll();
    const CFormatRow* row = FindFormat(path);
    if (row == nullptr || row->write == nullptr) {
        drawing.SetErrorMessage(NoFormatMessage(path, true));
        return false;
    }
    if (!row->allPages && drawing.PageCount() > 1 && notice)
        notice(kOnePageMessage);
    if (row->outlinesOnly && notice)
        if (const std::string left = OutlinesOnlyNotice(drawing, page); !left.empty())
            notice(left);
    if (!row->write(path, drawing, page, width, height)) {
        // The writer's own reason, when it gives one, says more than the general message.
        if (drawing.GetErrorMessage().empty())
            drawing.SetErrorMessage(std::string(kOpenFailedMessage));
        return false;
    }
    return true;
}

} // namespace pq
