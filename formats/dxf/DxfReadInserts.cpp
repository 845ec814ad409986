#include "formats/dxf/DxfReader.h"

#include "model/Drawing.h"
#include "platform/DibSectionDraw.h"
#include "platform/image/ImageFile.h"
#include "render/BitmapFilter.h"
#include "render/ImageInsert.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <numbers>

namespace pq {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// Rows and columns of one multiple block reference (MINSERT).
constexpr int kMaxArrayCount = 1000;

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

double ScaleOr1(const CDxfEntity& entity, int code) {
    const std::optional<double> value = entity.Real(code);
    return value ? *value : 1.0;
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

void CDxfReader::ReadInsert(const CDxfEntity& entity, const CDxfPlacement& placement, bool dimension) {
    const std::optional<std::string_view> name = entity.Value(2);
    if (!name)
        return;
    const auto found = blockIndex.find(Upper(*name));
    if (found == blockIndex.end())
        return;
    const std::size_t index = found->second;
    // Nesting is bounded, and a block is never expanded inside itself.
    if (placement.depth >= kMaxBlockDepth || blockActive[index]) {
        nestingCut = true;
        return;
    }
    const Block& block = blockList[index];

    CDxfPlacement inner;
    inner.depth = placement.depth + 1;
    inner.inBlock = true;
    inner.blockColour = EntityColour(entity, placement);
    inner.blockLineweight = EntityLineweight(entity, placement);
    inner.blockLayer = EntityLayer(entity, placement);

    blockActive[index] = true;
    if (dimension) {
        // The block of a dimension is drawn where it stands, in world coordinates.
        inner.transform = placement.transform;
        ReadEntities(block.begin, block.end, inner);
    } else {
        const double sx = ScaleOr1(entity, 41);
        const double sy = ScaleOr1(entity, 42);
        const double rotation = entity.RealOr(50, 0.0) * kRadiansPerDegree;
        const CPointD at{entity.RealOr(10, 0.0), entity.RealOr(20, 0.0)};
        const int columns = std::clamp(entity.Int(70).value_or(1), 1, kMaxArrayCount);
        const int rows = std::clamp(entity.Int(71).value_or(1), 1, kMaxArrayCount);
        const double columnStep = entity.RealOr(44, 0.0);
        const double rowStep = entity.RealOr(45, 0.0);
        const CDxfAffine outer = EntityTransform(entity, placement);
        // A block point p lands at rotate(scale(p - base) + cell offset) + insertion point.
        for (int row = 0; row < rows && !limitReached; ++row) {
            for (int column = 0; column < columns && !limitReached; ++column) {
                inner.transform = CDxfAffine::Translation(-block.base.x, -block.base.y)
                                      .Then(CDxfAffine::Scaling(sx, sy))
                                      .Then(CDxfAffine::Translation(column * columnStep, row * rowStep))
                                      .Then(CDxfAffine::Rotation(rotation))
                                      .Then(CDxfAffine::Translation(at.x, at.y))
                                      .Then(outer);
                ReadEntities(block.begin, block.end, inner);
            }
        }
    }
    blockActive[index] = false;
}

void CDxfReader::ReadImage(const CDxfEntity& entity, const CDxfPlacement& placement) {
    if (folder.empty())
        return;
    const std::optional<std::string_view> handle = entity.Value(340);
    const std::optional<uint64_t> number = handle ? ParseDxfHandle(*handle) : std::nullopt;
    const auto found = number ? images.find(*number) : images.end();
    if (found == images.end())
        return;
    ImageDefinition& definition = found->second;
    if (!definition.decoded) {
        definition.decoded = true;
        // The stored path, else the file of that name beside the DXF file (drawings travel with their
        // pictures in one folder).
        std::filesystem::path path(definition.path);
        if (path.is_relative())
            path = std::filesystem::path(folder) / path;
        if (!IsRegularFile(path)) {
            const std::size_t slash = definition.path.find_last_of("/\\");
            path = std::filesystem::path(folder) /
                   (slash == std::string::npos ? definition.path : definition.path.substr(slash + 1));
        }
        CDibSection decoded;
        if (IsRegularFile(path) && LoadImageFile(path.string(), decoded)) {
            const int width = decoded.GetWidth();
            const int height = decoded.GetHeight();
            auto bitmap = std::make_shared<CDibSection>();
            // Pictures are kept small, as when inserted by hand.
            if (width > kMaxInsertedImagePixels || height > kMaxInsertedImagePixels) {
                const CRect fitted =
                    FitAspect(kMaxInsertedImagePixels, kMaxInsertedImagePixels, width, height);
                if (!ScaleBitmap(decoded, fitted.Width(), fitted.Height(), false, *bitmap))
                    bitmap.reset();
            } else {
                *bitmap = std::move(decoded);
            }
            definition.bitmap = std::move(bitmap);
        }
    }
    if (!definition.bitmap)
        return;

    const std::optional<double> x = entity.Real(10);
    const std::optional<double> y = entity.Real(20);
    if (!x || !y)
        return;
    const CPointD u{entity.RealOr(11, 1.0), entity.RealOr(21, 0.0)};
    const CPointD v{entity.RealOr(12, 0.0), entity.RealOr(22, 1.0)};
    const double width = entity.RealOr(13, definition.bitmap->GetWidth());
    const double height = entity.RealOr(23, definition.bitmap->GetHeight());
    const CDxfMapper mapper = Mapper(placement.transform);
    const CPointD corners[4] = {{*x, *y},
                                {*x + width * u.x, *y + width * u.y},
                                {*x + height * v.x, *y + height * v.y},
                                {*x + width * u.x + height * v.x, *y + width * u.y + height * v.y}};
    CRectF box{1e30f, -1e30f, 1e30f, -1e30f};
    for (const CPointD& corner : corners) {
        const CPointF p = mapper.Map(corner);
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.top = std::min(box.top, p.y);
        box.bottom = std::max(box.bottom, p.y);
    }
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    image->bitmap = *definition.bitmap;
    image->placement = box;
    Append(std::move(object));
}

} // namespace pq
