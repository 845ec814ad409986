#include "ModelTestHelpers.h"
#include "TestHelpers.h"

#include "model/TextMetrics.h"

#include "geometry/Transform.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(TextMetrics, ArtisticBoundsGrowWithLinesAndLongestLineAndTurnAboutTheCorner) {
    auto one = test::MakeText(u"abcd", {0.0f, 0.0f});
    auto two = test::MakeText(u"ab\r\nabcdef", {0.0f, 0.0f});
    EXPECT_EQ(one->bounds.TopLeft(), (CPointF{0.0f, 0.0f}));
    EXPECT_TRUE(test::ExpectNear(two->bounds.Height(), 2.0 * one->bounds.Height(), 1e-3));
    EXPECT_TRUE(test::ExpectNear(two->bounds.Width(), 1.5 * one->bounds.Width(), 1e-3));
    // At 90 degrees lines run up the screen and follow each other to the right.
    const CRectF box = RotatedTextBlockBounds({10.0f, 10.0f}, 100.0f, 20.0f, 90.0f);
    EXPECT_TRUE(test::ExpectNear(CPointF{box.left, box.top}, {10.0f, -90.0f}, 1e-3));
    EXPECT_TRUE(test::ExpectNear(CPointF{box.right, box.bottom}, {30.0f, 10.0f}, 1e-3));
}

class FixedMetrics : public CTextMetrics {
public:
    CPointF MeasureString(const CTextShape&, std::u16string_view) const override { return {7.0f, 9.0f}; }
    CRectF MeasureArtisticBounds(const CTextShape&) const override { return {1.0f, 2.0f, 3.0f, 4.0f}; }
};

TEST(TextMetrics, InstalledMeasurerIsUsedUntilRemoved) {
    const FixedMetrics fixed;
    SetTextMetrics(&fixed);
    auto artistic = test::MakeText(u"x", {50.0f, 50.0f});
    EXPECT_EQ(artistic->bounds, (CRectF{1.0f, 2.0f, 3.0f, 4.0f}));
    auto paragraph = test::MakeText(u"x", {0.0f, 0.0f}, kTextParagraph);
    paragraph->AsText()->corner = {1.0f, 1.0f};
    paragraph->Transform(CTransform{});
    EXPECT_EQ(paragraph->AsText()->corner, (CPointF{7.0f, 9.0f}));
    SetTextMetrics(nullptr);
    artistic->RecalcBounds();
    EXPECT_NE(artistic->bounds, (CRectF{1.0f, 2.0f, 3.0f, 4.0f}));
}

} // namespace
} // namespace pq
