#include "document/BitmapExportSettings.h"
#include "document/DocumentHost.h"
#include "document/PqxDoc.h"
#include "platform/ScreenMetrics.h"
#include "render/BitmapExport.h"

namespace pq {

bool CPqxDoc::ExportBitmap(const std::string& fileName, int maxWidth, int maxHeight, bool exactSize,
                           bool antiAlias) {
    if (host == nullptr || !host->HasActiveView())
        return false;
    const CPixelSize size = exactSize ? CPixelSize{maxWidth, maxHeight}
                                      : ExportPixelSize(drawing.GetPageWidth(), drawing.GetPageHeight(),
                                                        ScreenPixelsPerInch(), maxWidth, maxHeight);
    const CImageResult result = ExportPageBitmap(drawing, host->GetCurrentPage(), fileName, size.width,
                                                 size.height, antiAlias, nullptr);
    if (!result)
        ShowMessage(result.message);
    return result.ok;
}

bool CPqxDoc::ExportBitmap(const std::string& fileName, const IBitmapExportSettings& settings) {
    return ExportBitmap(fileName, settings.GetMaxPixels(), settings.GetMaxPixels(), false,
                        settings.GetAntiAlias());
}

} // namespace pq
