#include "PdfTestHelpers.h"

namespace pq {
namespace {

using namespace test;

TEST(PdfRoundTrip, Smoke) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(MakePathObject({Square(-100, -100, 200)}, kPenSolid, kBrushSolid));
    drawing.Add(MakeTextObject(u"Hello (world) \\ é € ✓", {-300, 200}));
    drawing.Add(MakeImageObject({100, 300, 100, 200}, 5, 3, 1));
    auto bytes = WritePdf(drawing);
    FILE* f = fopen("/tmp/pq-smoke.pdf", "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    CDrawing back;
    ASSERT_TRUE(ReadPdf(bytes, back)) << back.GetErrorMessage();
    EXPECT_EQ(back.Count(), 3);
}

} // namespace
} // namespace pq
