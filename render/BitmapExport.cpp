#include "render/BitmapExport.h"

#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "platform/DeviceContext.h"
#include "platform/image/ImageFile.h"
#include "render/BitmapFilter.h"
#include "render/PageRenderer.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace pq {

namespace {

bool EndsWith(const std::string& lower, std::string_view tail) {
    return lower.size() >= tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

BitmapFormat BitmapFormatOf(std::string_view fileName) {
    std::string lower(fileName);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (EndsWith(lower, "bmp"))
        return BitmapFormat::Bmp;
    if (EndsWith(lower, "jpg") || EndsWith(lower, "jpeg"))
        return BitmapFormat::Jpeg;
    if (EndsWith(lower, "png"))
        return BitmapFormat::Png;
    return BitmapFormat::None;
}

bool IsBitmapExportName(std::string_view fileName) {
    if (fileName.size() < 4)
        return false;
    std::string tail(fileName.substr(fileName.size() - 4));
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".bmp" || tail == ".jpg" || tail == ".gif" || tail == ".png" || tail == ".2bp";
}

CPixelSize ExportPixelSize(float pageWidth, float pageHeight, int pixelsPerInch, int maxWidth,
                           int maxHeight) {
    const double scale = static_cast<double>(static_cast<float>(pixelsPerInch) * kInchesPerUnit);
    CPixelSize size{RoundHalfAway(std::fabs(pageWidth) * scale),
                    RoundHalfAway(std::fabs(pageHeight) * scale)};
    if (size.width > maxWidth || size.height > maxHeight) {
        const CRect fitted = FitAspect(maxWidth, maxHeight, size.width, size.height);
        size = {fitted.Width(), fitted.Height()};
    }
    return size;
}

namespace {

CImageResult WriteBitmapAs(const CDibSection& bitmap, BitmapFormat format, const std::string& fileName,
                           std::string* writtenPath) {
    std::string path;
    CImageResult result;
    switch (format) {
    case BitmapFormat::Bmp:
        path = ReplaceExtension(fileName, "bmp");
        result = WriteBmpFile(bitmap, path);
        break;
    case BitmapFormat::Jpeg:
        path = ReplaceExtension(fileName, "jpg");
        result = WriteJpegFile(path, bitmap, 100);
        break;
    case BitmapFormat::Png:
        path = ReplaceExtension(fileName, "png");
        result = WritePngFile(path, bitmap);
        break;
    case BitmapFormat::None:
        break;
    }
    if (result && writtenPath != nullptr)
        *writtenPath = path;
    return result;
}

CImageResult NoFormatFailure(const std::string& fileName) {
    return CImageResult::Failure("Cannot export \"" + fileName +
                                 "\": bitmaps are exported as .bmp, .jpg or .png files.");
}

CImageResult NoBitmapFailure(int width, int height) {
    return CImageResult::Failure("Cannot make a bitmap of " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixels.");
}

} // namespace

CImageResult ExportPageBitmap(const CDrawing& drawing, int page, const std::string& fileName, int width,
                              int height, bool antiAlias, std::string* writtenPath, EdgeStyle edges) {
    const BitmapFormat format = BitmapFormatOf(fileName);
    if (format == BitmapFormat::None)
        return NoFormatFailure(fileName);
    const auto bitmap = RenderPageToBitmap(drawing, page, width, height, antiAlias, edges);
    if (!bitmap)
        return NoBitmapFailure(width, height);
    return WriteBitmapAs(*bitmap, format, fileName, writtenPath);
}

CPageBitmapPainter::CPageBitmapPainter(int bitmapWidth, int bitmapHeight, bool smoothed, EdgeStyle edgeStyle)
    : width(bitmapWidth), height(bitmapHeight), antiAlias(smoothed), edges(edgeStyle) {
    valid = bitmap.Create(width, height, 24);
    if (valid) {
        CDeviceContext dc(&bitmap);
        dc.FillSolidRect(CRect{0, 0, width, height}, 0xFFFFFF);
        dc.SelectBitmap(nullptr);
    }
}

void CPageBitmapPainter::Paint(const CDrawing& part, int page) {
    if (valid)
        DrawPageFitted(part, page, bitmap, edges);
}

CImageResult CPageBitmapPainter::Write(const std::string& fileName, std::string* writtenPath) const {
    const BitmapFormat format = BitmapFormatOf(fileName);
    if (format == BitmapFormat::None)
        return NoFormatFailure(fileName);
    if (!valid)
        return NoBitmapFailure(width, height);
    if (antiAlias)
        return WriteBitmapAs(AntiAliasBitmap(bitmap), format, fileName, writtenPath);
    return WriteBitmapAs(bitmap, format, fileName, writtenPath);
}

} // namespace pq
