#include "cli/CliText.h"
#include "cli/Commands.h"

#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"

#include <string>

namespace pq::cli {

namespace {

const char* KindName(const CGraphicObject& object) {
    if (object.AsPath() != nullptr)
        return "path";
    if (object.AsImage() != nullptr)
        return "image";
    return "text";
}

} // namespace

int RunInfo(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    std::string path;
    bool listObjects = false;
    for (std::string_view arg : args) {
        if (arg == "--objects") {
            listObjects = true;
        } else if (!arg.starts_with("--") && path.empty()) {
            path = arg;
        } else {
            std::fprintf(err, "pqdraw-cli info: unexpected argument \"%.*s\"\n", static_cast<int>(arg.size()),
                         arg.data());
            return kExitUsage;
        }
    }
    if (path.empty()) {
        std::fprintf(err, "pqdraw-cli info: no file given\n");
        return kExitUsage;
    }

    CDrawing drawing;
    if (!OpenDrawing(drawing, path)) {
        ReportFileFailure(err, path, drawing.GetErrorMessage());
        return kExitFailed;
    }
    PrintReadWarning(err, path, drawing);

    int paths = 0, texts = 0, images = 0;
    for (const auto& object : drawing.Objects()) {
        paths += object->AsPath() != nullptr ? 1 : 0;
        texts += object->AsText() != nullptr ? 1 : 0;
        images += object->AsImage() != nullptr ? 1 : 0;
    }
    const int groups = drawing.RenumberAll();
    std::fprintf(out, "pages: %d\n", drawing.PageCount());
    std::fprintf(out, "page-size: %s x %s\n", FormatNumber(drawing.GetPageWidth()).c_str(),
                 FormatNumber(drawing.GetPageHeight()).c_str());
    std::fprintf(out, "objects: %d\npaths: %d\ntexts: %d\nimages: %d\ngroups: %d\n", drawing.Count(), paths,
                 texts, images, groups);
    for (int page = 0; page < drawing.PageCount(); ++page)
        std::fprintf(out, "page %d: %d objects\n", page + 1, drawing.ObjectCountOnPage(page));
    if (!listObjects)
        return FinishOutput(kExitOk, out, err);

    int index = 0;
    for (const auto& object : drawing.Objects()) {
        const CRectF& b = object->bounds;
        std::string line = "object " + std::to_string(index++) +
                           ": page=" + std::to_string(object->page + 1) + " kind=" + KindName(*object) +
                           " group=" + std::to_string(object->group) + " bounds=" + FormatNumber(b.left) +
                           "," + FormatNumber(b.top) + "," + FormatNumber(b.right) + "," +
                           FormatNumber(b.bottom);
        if (const CTextShape* text = object->AsText())
            line += " text=" + QuoteText(text->text);
        std::fprintf(out, "%s\n", line.c_str());
    }
    return FinishOutput(kExitOk, out, err);
}

} // namespace pq::cli
