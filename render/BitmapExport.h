#pragma once

#include "platform/image/ImageResult.h"
#include "platform/DibSection.h"
#include "render/PageRenderer.h"

#include <string>
#include <string_view>

namespace pq {

class CDrawing;

enum class BitmapFormat { None, Bmp, Jpeg, Png };

// The format a bitmap export writes for a file name, by its ending in any case: "bmp", "jpg" or "jpeg",
// "png". Other endings (".gif" and ".2bp" among them: formats that are read but not written) give None.
[[nodiscard]] BitmapFormat BitmapFormatOf(std::string_view fileName);

// True for the names Save As hands to bitmap export instead of a drawing writer: the last four
// characters, in any case, are ".bmp", ".jpg", ".gif", ".png" or ".2bp".
[[nodiscard]] bool IsBitmapExportName(std::string_view fileName);

struct CPixelSize {
    int width = 0;
    int height = 0;

    bool operator==(const CPixelSize&) const = default;
};

// The size of a page exported at 1:1 on a screen of pixelsPerInch, fitted into maxWidth x maxHeight with
// its aspect kept when it is larger.
[[nodiscard]] CPixelSize ExportPixelSize(float pageWidth, float pageHeight, int pixelsPerInch, int maxWidth,
                                         int maxHeight);

// Renders a page at width x height (smoothed when asked, with the edge style given) and writes it as the file
// name's format, with the extension the format's own: "picture.jpeg" is written as "picture.jpg". writtenPath
// receives the name written. Fails with a message for a name of no bitmap format, a size no bitmap can have,
// or a file that cannot be written.
[[nodiscard]] CImageResult ExportPageBitmap(const CDrawing& drawing, int page, const std::string& fileName,
                                            int width, int height, bool antiAlias, std::string* writtenPath,
                                            EdgeStyle edges = EdgeStyle::Aliased);

// A page rendered as RenderPageToBitmap renders it, but from its objects in parts, each part drawn over
// those before: for a page read a batch at a time and never held whole. Then written as
// ExportPageBitmap writes it.
class CPageBitmapPainter {
public:
    CPageBitmapPainter(int width, int height, bool antiAlias, EdgeStyle edges = EdgeStyle::Aliased);

    // Draws the part's objects on page, fitted by the part's page size.
    void Paint(const CDrawing& part, int page);
    // Fails as ExportPageBitmap does: a name of no bitmap format, a size no bitmap can have, a file
    // that cannot be written.
    [[nodiscard]] CImageResult Write(const std::string& fileName, std::string* writtenPath) const;

private:
    CDibSection bitmap;
    int width = 0;
    int height = 0;
    bool antiAlias = false;
    EdgeStyle edges = EdgeStyle::Aliased;
    bool valid = false;
};

} // namespace pq
