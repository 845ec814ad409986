#include "render/ImageInsert.h"

#include "geometry/ViewMapping.h"
#include "model/GraphicObject.h"
#include "platform/DibSectionDraw.h"
#include "platform/image/ImageFile.h"
#include "render/BitmapFilter.h"

#include <memory>

namespace pq {

CImageResult MakeImageObject(const std::string& path, int page, const CViewMapping& mapping,
                             std::unique_ptr<CGraphicObject>& made) {
    made.reset();
    CDibSection decoded;
    if (CImageResult loaded = LoadImageFile(path, decoded); !loaded)
        return loaded;

    int width = decoded.GetWidth();
    int height = decoded.GetHeight();
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    if (width > kMaxInsertedImagePixels || height > kMaxInsertedImagePixels) {
        const CRect fitted = FitAspect(kMaxInsertedImagePixels, kMaxInsertedImagePixels, width, height);
        width = fitted.Width();
        height = fitted.Height();
        if (!ScaleBitmap(decoded, width, height, false, image->bitmap))
            return CImageResult::Failure("Cannot resample the picture in \"" + path + "\".");
    } else {
        image->bitmap = std::move(decoded);
    }

    image->placement = {mapping.DeviceToDocX(10.0f), mapping.DeviceToDocX(static_cast<float>(width + 10)),
                        mapping.DeviceToDocY(10.0f), mapping.DeviceToDocY(static_cast<float>(height + 10))};
    image->rasterOp = kRopSourceCopy;
    object->page = page;
    object->RecalcBounds();
    made = std::move(object);
    return CImageResult::Success();
}

} // namespace pq
