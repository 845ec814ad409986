#include "document/FormatFileOps.h"

#include "document/DocumentHost.h"
#include "formats/FormatDispatch.h"

namespace pq {

bool CFormatFileOps::Open(CDrawing& drawing, const std::string& path) {
    return OpenDrawing(drawing, path);
}

bool CFormatFileOps::Save(CDrawing& drawing, const std::string& path, int page, int width, int height) {
    return SaveDrawing(drawing, path, page, width, height, [this](std::string_view notice) {
        if (host != nullptr)
            host->ShowMessage(notice);
    });
}

} // namespace pq
