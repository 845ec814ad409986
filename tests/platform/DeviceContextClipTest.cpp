#include "platform/DeviceContext.h"

#include "RasterHelpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

constexpr uint32_t kGuard = 0x5A5A5A;

// A mixed drawing with every primitive, much of it running off the bitmap.
void DrawScene(CDeviceContext& dc, const CDibSection& image) {
    dc.SelectBrush(CBrush{kBrushSolid, 0x00C0FF});
    for (int width : {1, 4, 7}) {
        dc.SelectPen(CPen{width == 1 ? kPenDashDot : kPenSolid, width, 0x202080});
        dc.MoveTo(-30, -10);
        dc.LineTo(90, 70);
        dc.MoveTo(INT_MIN, 20 + width);
        dc.LineTo(INT_MAX, 25 + width);
        const CPoint zigzag[] = {{-5, 50}, {20, -8}, {33, 60}, {70, 3}, {8, 8}};
        dc.Polyline(zigzag);
        dc.Polygon(zigzag);
        dc.Ellipse(-10, 5, 40, 55);
        dc.Rectangle(12, 14, 58, 64);
    }
    dc.SetROP2(kR2XorPen);
    dc.SelectPen(CPen{kPenSolid, 3, 0xFFFFFF});
    const CPoint huge[] = {{-2000000000, 30}, {2000000000, 31}, {30, 2000000000}};
    dc.Polygon(huge);
    dc.Ellipse(-1000000, -1000000, 1000000, 1000000);
    dc.SetROP2(kR2CopyPen);
    dc.DrawFocusRect(CRect(-4, 6, 44, 48));
    dc.FillRect(CRect(40, -5, 70, 12), CBrush{kBrushHatched, 0, kHatchDiagonalCross});
    dc.StretchBlt(-6, 30, 40, 30, image, 0, 0, 3, 2, kRop3SrcCopy);
    dc.BitBlt(45, 40, 30, 30, image, -1, 0, kRop3SrcInvert);
    for (int i = -3; i < 70; i += 7)
        dc.SetPixel(i, i, 0x00FF00);
}

CDibSection SmallImage() {
    CDibSection image = MakeBitmap(3, 2, 24);
    CDeviceContext dc(&image);
    dc.SetPixel(0, 0, 0x0000FF);
    dc.SetPixel(1, 1, 0xFF0000);
    dc.SetPixel(2, 0, 0x00FF00);
    return image;
}

TEST(CDeviceContextClip, ClippedDrawingMatchesTheFullDrawingInsideAndTouchesNothingOutside) {
    const CDibSection image = SmallImage();
    CDibSection full = MakeBitmap(64, 64, 24, kGuard);
    CDeviceContext fullDc(&full);
    DrawScene(fullDc, image);
    test::DumpIfAsked(full, "clip_scene_full");

    const CRect clip(10, 13, 47, 41);
    CDibSection clipped = MakeBitmap(64, 64, 24, kGuard);
    CDeviceContext dc(&clipped);
    dc.SetClipRect(clip);
    EXPECT_EQ(dc.GetClipBox(), clip);
    DrawScene(dc, image);
    test::DumpIfAsked(clipped, "clip_scene_clipped");
    int drawnInside = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (clip.Contains(CPoint(x, y))) {
                EXPECT_EQ(PixelAt(clipped, x, y), PixelAt(full, x, y)) << x << "," << y;
                drawnInside += PixelAt(clipped, x, y) != kGuard ? 1 : 0;
            } else {
                EXPECT_EQ(PixelAt(clipped, x, y), kGuard) << x << "," << y;
            }
        }
    }
    EXPECT_GT(drawnInside, 200);
    EXPECT_EQ(dc.GetDamage(), clip) << "the damage covers what was drawn and stays within the clip";

    // 32-bit bitmaps, bottom-up or top-down, show the same picture as 24-bit ones.
    for (int32_t height : {64, -64}) {
        CDibSection other;
        ASSERT_TRUE(other.Create(64, height, 32));
        CDeviceContext otherDc(&other);
        otherDc.FillSolidRect(CRect(0, 0, 64, 64), kGuard);
        DrawScene(otherDc, image);
        EXPECT_EQ(test::CountDifferences(full, other), 0) << height;
    }
}

TEST(CDeviceContextClip, DrawingNeverWritesPastTheBitmapsBytes) {
    // The padding byte of each row (a 24-bit row of 5 pixels has one) must keep its value.
    CDibSection bitmap = MakeBitmap(5, 70, 24, kGuard);
    const std::size_t rowBytes = bitmap.GetBytesPerRow();
    ASSERT_EQ(rowBytes, 16u);
    for (std::size_t row = 0; row < 70; ++row)
        bitmap.GetBits()[row * rowBytes + 15] = 0xA7;
    CDeviceContext dc(&bitmap);
    DrawScene(dc, SmallImage());
    for (std::size_t row = 0; row < 70; ++row)
        EXPECT_EQ(bitmap.GetBits()[row * rowBytes + 15], 0xA7) << row;
}

TEST(CDeviceContextClip, OtherDepthsAreNotDrawnOn) {
    CDibSection bitmap;
    ASSERT_TRUE(bitmap.Create(8, 8, 16));
    const CDibSection before = bitmap;
    CDeviceContext dc(&bitmap);
    EXPECT_FALSE(dc.Rectangle(0, 0, 8, 8));
    EXPECT_FALSE(dc.LineTo(7, 7));
    EXPECT_EQ(dc.SetPixel(1, 1, 0xFFFFFF), kInvalidColor);
    EXPECT_TRUE(bitmap == before);
}

TEST(CDeviceContextClip, ShapesSpanningTheWholeCoordinateRangeFillTheBitmap) {
    CDibSection bitmap = MakeBitmap(16, 16, 24, kGuard);
    CDeviceContext dc(&bitmap);
    dc.SelectPen(CPen{kPenSolid, 9, 0});
    dc.SelectBrush(CBrush{kBrushSolid, 0x0000FF});
    EXPECT_TRUE(dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(PixelAt(bitmap, x, y), 0x0000FFu) << x << "," << y;
    dc.SelectBrush(CBrush{kBrushSolid, 0x00FF00});
    EXPECT_TRUE(dc.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_EQ(PixelAt(bitmap, 8, 8), 0x00FF00u);
    const CPoint triangle[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}};
    dc.SelectBrush(CBrush{kBrushSolid, 0xFF0000});
    EXPECT_TRUE(dc.Polygon(triangle));
    EXPECT_EQ(PixelAt(bitmap, 8, 8), 0xFF0000u);
}

TEST(CDeviceContextClip, RandomCallsStayInsideRandomClips) {
    std::mt19937 random(5);
    const CDibSection image = SmallImage();
    const int32_t scales[] = {40, 400, 2000000000};
    for (int round = 0; round < 30; ++round) {
        CDibSection bitmap = MakeBitmap(32, 24, round % 2 ? 24 : 32, kGuard);
        CDeviceContext dc(&bitmap);
        const int32_t l = static_cast<int32_t>(random() % 32), t = static_cast<int32_t>(random() % 24);
        const CRect clip(l, t, l + static_cast<int32_t>(random() % 20),
                         t + static_cast<int32_t>(random() % 20));
        dc.SetClipRect(clip);
        auto coordinate = [&]() {
            const int32_t scale = scales[random() % 3];
            return static_cast<int32_t>(static_cast<int64_t>(random() % (2u * static_cast<uint32_t>(scale))) -
                                        scale);
        };
        for (int call = 0; call < 30; ++call) {
            dc.SelectPen(CPen{static_cast<int>(random() % 6), static_cast<int>(random() % 9), 0x123456});
            dc.SelectBrush(CBrush{static_cast<int>(random() % 3), 0x654321, static_cast<int>(random() % 6)});
            dc.SetROP2(1 + static_cast<int>(random() % 16));
            std::vector<CPoint> points(1 + random() % 6);
            for (CPoint& p : points)
                p = CPoint(coordinate(), coordinate());
            const auto kind = random() % 7;
            if (kind == 0)
                dc.Polyline(points);
            else if (kind == 1)
                dc.Polygon(points);
            else if (kind == 2)
                dc.Rectangle(coordinate(), coordinate(), coordinate(), coordinate());
            else if (kind == 3)
                dc.Ellipse(coordinate(), coordinate(), coordinate(), coordinate());
            else if (kind == 4)
                dc.DrawFocusRect(CRect(coordinate(), coordinate(), coordinate(), coordinate()));
            else if (kind == 5)
                dc.StretchBlt(coordinate(), coordinate(), coordinate(), coordinate(), image, coordinate(),
                              coordinate(), coordinate(), coordinate(), kRop3SrcCopy);
            else
                dc.LineTo(coordinate(), coordinate());
        }
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (!clip.Contains(CPoint(x, y))) {
                    ASSERT_EQ(PixelAt(bitmap, x, y), kGuard) << "round " << round << " at " << x << "," << y;
                }
            }
        }
    }
}

} // namespace
} // namespace pq
