#include "render/ImageInsert.h"

#include "geometry/ViewMapping.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/image/ImageFile.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pq {
namespace {

class ImageInsert : public ::testing::Test {
protected:
    void SetUp() override {
        mapping.SetScale(0.5f);
        mapping.SetOrigins(100.0f, 200.0f, 0, 0);
    }

    std::string Picture(int width, int height, uint16_t bits) {
        CDibSection dib;
        EXPECT_TRUE(dib.Create(width, height, bits));
        const std::string path = (folder.Path() / ("p" + std::to_string(width) + ".bmp")).string();
        EXPECT_TRUE(WriteBmpFile(dib, path).ok);
        return path;
    }

    test::CTempFolder folder;
    CViewMapping mapping;
};

TEST_F(ImageInsert, LargePicturesShrinkToTheCapSmallOnesKeepSizeAndDepthAndAllSitTenPixelsIn) {
    std::unique_ptr<CGraphicObject> object;
    ASSERT_TRUE(MakeImageObject(Picture(640, 480, 24), 1, mapping, object).ok);
    ASSERT_NE(object, nullptr);
    const CImageShape* image = object->AsImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitmap.GetWidth(), 220);
    EXPECT_EQ(image->bitmap.GetHeight(), 165);
    EXPECT_EQ(object->page, 1);
    // Pixel (10, 10) is document (120, 220) at half a pixel per unit; 220 pixels are 440 units.
    EXPECT_EQ(image->placement, (CRectF{120, 560, 220, 550}));
    EXPECT_EQ(object->bounds, image->placement);

    std::unique_ptr<CGraphicObject> second;
    ASSERT_TRUE(MakeImageObject(Picture(100, 50, 8), 0, mapping, second).ok);
    const CImageShape* small = second->AsImage();
    EXPECT_EQ(small->bitmap.GetWidth(), 100);
    EXPECT_EQ(small->bitmap.GetHeight(), 50);
    EXPECT_EQ(small->bitmap.GetBitCount(), 8);
    EXPECT_EQ(small->placement, (CRectF{120, 320, 220, 320}));
}

TEST_F(ImageInsert, AFileThatDoesNotDecodeMakesNoObject) {
    const std::string path = folder.File("broken.png");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    const CImageResult result = MakeImageObject(path, 0, mapping, object);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(object, nullptr);
}

} // namespace
} // namespace pq
