#include "geometry/ViewMapping.h"

#include "TestHelpers.h"
#include "geometry/Numeric.h"
#include "platform/ScreenMetrics.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace pq {
namespace {

using test::ExpectNear;

TEST(RoundHalfAway, RoundsHalvesAwayFromZeroAndHoldsTheIntegerRange) {
    struct Case {
        double v;
        int32_t expected;
    };
    const Case cases[] = {{2.5, 3},         {-2.5, -3},       {2.4999, 2},        {-2.4999, -2},
                          {-0.5, -1},       {0.49999997f, 0}, {1e20, 2147483647}, {-1e20, -2147483647 - 1},
                          {std::nan(""), 0}};
    for (const Case& c : cases)
        EXPECT_EQ(RoundHalfAway(c.v), c.expected) << c.v;
    EXPECT_EQ(GuardDivisor(-0.0), 1e-8);
    EXPECT_EQ(GuardDivisor(-1e-9), -1e-8);
    EXPECT_EQ(GuardDivisor(3.0), 3.0);
}

TEST(CViewMapping, DocToDeviceRoundsHalfAwayAndDeviceToDocInvertsIt) {
    CViewMapping m;
    m.SetOrigins(10.0f, 20.0f, 0, 200);
    m.SetScale(0.5f);
    // (5 - 10) * 0.5 = -2.5 -> -3; (15 - 20) * 0.5 + 200 = 197.5 -> 198.
    EXPECT_EQ(m.DocToDevice(CPointF{5, 15}), (CPoint{-3, 198}));
    m.SetOrigins(10.0f, 20.0f, 100, 200);
    EXPECT_FLOAT_EQ(m.DocToDeviceXf(15), 102.5f);
    m.SetOrigins(-740.0f, -1050.0f, 17, -3);
    m.SetScale(0.378f);
    const CPointF doc{123.0f, -456.0f};
    EXPECT_TRUE(ExpectNear(m.DeviceToDoc(m.DocToDevicef(doc)), doc, 1e-3));
}

// Mapping many points at once gives what mapping each gives: halves, points far off the integer range,
// NaN, and runs of every length (the fast path takes points in pairs).
TEST(CViewMapping, MappingManyPointsAgreesWithMappingEach) {
    std::mt19937 random(12);
    std::uniform_real_distribution<float> coordinate(-3000.0f, 3000.0f);
    const float specials[] = {0.5f,
                              -0.5f,
                              2.5f,
                              -1.5f,
                              3e9f,
                              -3e9f,
                              std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              0.49999997f,
                              -0.0f};
    for (const float scale : {1.0f, 0.37f, 1000.0f, 99999.0f}) {
        CViewMapping mapping;
        mapping.SetScale(scale);
        mapping.SetOrigins(12.25f, -7.5f, 640, -400);
        for (std::size_t count = 0; count < 24; ++count) {
            std::vector<CPointF> in(count);
            for (CPointF& p : in)
                p = random() % 5 == 0 ? CPointF{specials[random() % 10] / scale, coordinate(random)}
                                      : CPointF{coordinate(random), coordinate(random)};
            std::vector<CPoint> out(count);
            mapping.DocToDevice(in.data(), count, out.data());
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(out[i], mapping.DocToDevice(in[i])) << "scale " << scale << ", point " << i;
        }
    }
}

TEST(CViewMapping, ScaleIsClampedAndZoomKeepsThePointUnderTheCursor) {
    CViewMapping m;
    EXPECT_FALSE(m.SetScale(0));
    EXPECT_FLOAT_EQ(m.GetScale(), 0.00001f);
    EXPECT_FALSE(m.SetScale(-3));
    EXPECT_FLOAT_EQ(m.GetScale(), 3.0f);
    EXPECT_TRUE(m.SetScale(1e9f));
    EXPECT_FLOAT_EQ(m.GetScale(), 100000.0f);

    m.SetOrigins(12.0f, -30.0f, 400, 300);
    m.SetScale(0.37f);
    const CPoint cursor{123, 77};
    const CPointF before = m.DeviceToDoc(cursor);
    m.ZoomIn(cursor);
    EXPECT_FLOAT_EQ(m.GetScale(), 0.74f);
    EXPECT_EQ(m.DocToDevice(before), cursor);
    m.ZoomOut(cursor);
    m.ZoomOut(cursor);
    EXPECT_FLOAT_EQ(m.GetScale(), 0.185f);
    EXPECT_TRUE(ExpectNear(m.DeviceToDoc(cursor), before, 1e-3));

    m.SetScale(1);
    m.SetOrigins(0, 0, 0, 0);
    m.Pan({10, 10}, {25, 5});
    EXPECT_EQ(m.GetDeviceOrigin(), (CPoint{15, -5}));
}

TEST(CViewMapping, FitRectCentresWithTheSmallerRatioAndStaysFiniteWhenDegenerate) {
    CViewMapping m;
    m.FitRect(CRectF{-1050, 1050, -1485, 1485}, CRect{0, 0, 1280, 800});
    EXPECT_FLOAT_EQ(m.GetScale(), 800.0f / 2970.0f);
    EXPECT_EQ(m.DocToDevice(CPointF{0, 0}), (CPoint{640, 400}));
    EXPECT_EQ(m.DocToDeviceY(1485), 800);
    m.FitRect(CRectF{5, 5, 5, 5}, CRect{0, 0, 0, 0});
    EXPECT_FLOAT_EQ(m.GetScale(), 100000.0f);
    EXPECT_EQ(m.DocToDevice(CPointF{5, 5}), (CPoint{0, 0}));
}

TEST(CViewMapping, InitialScaleFollowsTheScreen) {
    EXPECT_FLOAT_EQ(CViewMapping().GetScale(), 96 * 0.003937008f);
    SetScreenPixelsPerInch(192);
    EXPECT_FLOAT_EQ(CViewMapping().GetScale(), 192 * 0.003937008f);
    SetScreenPixelsPerInch(0); // ignored
    EXPECT_FLOAT_EQ(CViewMapping::PixelsPerUnit(), 192 * 0.003937008f);
    SetScreenPixelsPerInch(96);
}

} // namespace
} // namespace pq
