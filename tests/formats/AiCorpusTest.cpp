#include "native/PdfTestHelpers.h"

#include "formats/FormatDispatch.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

// Illustrator 5.5 files written by Illustrator itself: each opens through the dispatch, on a page of its
// art size, with every object inside the file's bounding box.
struct CorpusFile {
    const char* name;
    int paths;
    float left, bottom, right, top; // %%BoundingBox, points
};

TEST(AiCorpus, IllustratorFilesOpenInsideTheirBoundingBox) {
    for (const CorpusFile& file :
         {CorpusFile{"tk_logo.ai", 36, 251, 331, 371, 512}, CorpusFile{"tk_pwrdLogo.ai", 24, 0, 0, 0, 0}}) {
        SCOPED_TRACE(file.name);
        CDrawing drawing;
        ASSERT_TRUE(OpenDrawing(drawing, std::string(PQ_TEST_DATA_DIR "/ai/") + file.name))
            << drawing.GetErrorMessage();
        EXPECT_EQ(drawing.Count(), file.paths);
        // Letter paper: 612 x 792 points.
        EXPECT_NEAR(drawing.GetPageWidth(), 612 * 3.52777f, 0.01f);
        EXPECT_NEAR(drawing.GetPageHeight(), 792 * 3.52777f, 0.01f);
        int filled = 0;
        for (const auto& object : drawing.Objects()) {
            ASSERT_NE(object->AsPath(), nullptr);
            filled += object->AsPath()->brushStyle == kBrushSolid ? 1 : 0;
            if (file.right > file.left) {
                // Points from the page's bottom-left corner to document units about the page's centre.
                const float w = drawing.GetPageWidth() / 2;
                const float h = drawing.GetPageHeight() / 2;
                EXPECT_GE(object->bounds.left, file.left * 3.52777f - w - 2.0f);
                EXPECT_LE(object->bounds.right, file.right * 3.52777f - w + 2.0f);
                EXPECT_GE(object->bounds.top, h - file.top * 3.52777f - 2.0f);
                EXPECT_LE(object->bounds.bottom, h - file.bottom * 3.52777f + 2.0f);
            }
        }
        EXPECT_EQ(filled, file.paths);
    }
}

TEST(AiCorpus, TheLogosColoursComeFromTheirCmykValues) {
    CDrawing drawing;
    ASSERT_TRUE(OpenDrawing(drawing, PQ_TEST_DATA_DIR "/ai/tk_logo.ai"));
    // The feather's background is the custom colour "TCL RED" (0 0.79 0.91 0), the largest object.
    const CGraphicObject* largest = nullptr;
    for (const auto& object : drawing.Objects())
        if (largest == nullptr || object->bounds.Width() * object->bounds.Height() >
                                      largest->bounds.Width() * largest->bounds.Height())
            largest = object.get();
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ(largest->color, 0x1736FFu); // red 255, green 255 (1 - 0.79) = 54, blue 255 (1 - 0.91) = 23
}

} // namespace
} // namespace pq
