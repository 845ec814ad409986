#include "platform/DeviceContext.h"

#include "platform/RasterOps.h"

#include <algorithm>

namespace pq {

namespace {

CRect Intersect(const CRect& a, const CRect& b) {
    return CRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom));
}

// Rectangles may come in with their corners swapped; the platform draws them all the same.
CRect Normalized(const CRect& r) {
    return CRect(std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom));
}

} // namespace

CDibSection* CDeviceContext::SelectBitmap(CDibSection* newBitmap) {
    CDibSection* previous = bitmap;
    bitmap = newBitmap;
    hasClip = false;
    return previous;
}

CPen CDeviceContext::SelectPen(const CPen& newPen) {
    const CPen previous = pen;
    pen = newPen;
    return previous;
}

CBrush CDeviceContext::SelectBrush(const CBrush& newBrush) {
    const CBrush previous = brush;
    brush = newBrush;
    return previous;
}

int CDeviceContext::SetROP2(int mode) {
    const int previous = rop2;
    if (mode >= kR2Black && mode <= kR2White)
        rop2 = mode;
    return previous;
}

int CDeviceContext::SetBkMode(int mode) {
    const int previous = bkMode;
    if (mode == kBkTransparent || mode == kBkOpaque)
        bkMode = mode;
    return previous;
}

uint32_t CDeviceContext::SetBkColor(uint32_t color) {
    const uint32_t previous = bkColor;
    bkColor = color & kPixelMask;
    return previous;
}

uint32_t CDeviceContext::SetTextColor(uint32_t color) {
    const uint32_t previous = textColor;
    textColor = color & kPixelMask;
    return previous;
}

void CDeviceContext::SetClipRect(const CRect& clip) {
    clipRect = Normalized(clip);
    hasClip = true;
}

void CDeviceContext::ResetClip() {
    hasClip = false;
}

CRect CDeviceContext::GetClipBox() const {
    if (bitmap == nullptr || bitmap->IsEmpty())
        return CRect();
    const CRect bounds(0, 0, bitmap->GetWidth(), bitmap->GetHeight());
    const CRect box = hasClip ? Intersect(bounds, clipRect) : bounds;
    return box.IsEmpty() ? CRect() : box;
}

bool CDeviceContext::GetTarget(CTarget& t) const {
    if (bitmap == nullptr || bitmap->IsEmpty())
        return false;
    const uint16_t depth = bitmap->GetBitCount();
    if (depth != 24 && depth != 32)
        return false;
    const int32_t height = bitmap->GetHeight();
    const auto rowBytes = static_cast<std::ptrdiff_t>(bitmap->GetBytesPerRow());
    // A bitmap that claims more rows than its bytes hold is not drawn on rather than overrun.
    if (bitmap->GetBits().size() < static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height))
        return false;
    uint8_t* bits = bitmap->GetBits().data();
    const bool topDown = bitmap->GetHeader().height < 0;
    t.top = topDown ? bits : bits + rowBytes * (height - 1);
    t.pitch = topDown ? rowBytes : -rowBytes;
    t.bytesPerPixel = depth / 8;
    t.clip = GetClipBox();
    return !t.clip.IsEmpty();
}

void CDeviceContext::AddDamage(const CRect& rect) {
    const CRect r = Intersect(rect, GetClipBox());
    if (r.IsEmpty())
        return;
    if (damage.IsEmpty())
        damage = r;
    else
        damage = CRect(std::min(damage.left, r.left), std::min(damage.top, r.top),
                       std::max(damage.right, r.right), std::max(damage.bottom, r.bottom));
}

uint32_t CDeviceContext::ReadPixel(const CTarget& t, int32_t x, int32_t y) {
    const uint8_t* p = t.Row(y) + static_cast<std::ptrdiff_t>(x) * t.bytesPerPixel;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
}

void CDeviceContext::WritePixelMixed(const CTarget& t, int32_t x, int32_t y, uint32_t pixel, int mode) {
    uint8_t* p = t.Row(y) + static_cast<std::ptrdiff_t>(x) * t.bytesPerPixel;
    uint32_t v = pixel;
    switch (mode) {
    case kR2CopyPen:
        break;
    case kR2XorPen:
    case kR2Not:
    case kR2NotXorPen: {
        // Each of these flips bits: XOR with the pen, with all ones, or with the pen's complement.
        const uint32_t flip = mode == kR2XorPen ? pixel : mode == kR2Not ? kPixelMask : ~pixel & kPixelMask;
        p[0] ^= static_cast<uint8_t>(flip);
        p[1] ^= static_cast<uint8_t>(flip >> 8);
        p[2] ^= static_cast<uint8_t>(flip >> 16);
        if (t.bytesPerPixel == 4)
            p[3] = 0;
        return;
    }
    default: {
        const uint32_t dst = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                             static_cast<uint32_t>(p[2]) << 16;
        v = ApplyRop2(mode, pixel, dst);
        break;
    }
    }
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    if (t.bytesPerPixel == 4)
        p[3] = 0;
}

void CDeviceContext::WriteSpanMixed(const CTarget& t, int32_t y, int32_t left, int32_t right, uint32_t pixel,
                                    int mode) {
    if (left > right || mode == kR2Nop)
        return;
    uint8_t* row = t.Row(y);
    if (mode == kR2CopyPen || mode == kR2Black || mode == kR2White) {
        const uint32_t v = mode == kR2Black ? 0 : mode == kR2White ? kPixelMask : pixel;
        FillPixels(row + static_cast<std::ptrdiff_t>(left) * t.bytesPerPixel,
                   static_cast<std::size_t>(right - left) + 1, v, t.bytesPerPixel);
        return;
    }
    if (mode == kR2XorPen || mode == kR2Not || mode == kR2NotXorPen) {
        // Each of these flips bits: XOR with the pen, with all ones, or with the pen's complement.
        const uint32_t flip = mode == kR2XorPen ? pixel : mode == kR2Not ? kPixelMask : ~pixel & kPixelMask;
        const auto fb = static_cast<uint8_t>(flip), fg = static_cast<uint8_t>(flip >> 8),
                   fr = static_cast<uint8_t>(flip >> 16);
        const std::ptrdiff_t step = t.bytesPerPixel;
        for (uint8_t* p = row + step * left; left <= right; ++left, p += step) {
            p[0] ^= fb;
            p[1] ^= fg;
            p[2] ^= fr;
            if (step == 4)
                p[3] = 0;
        }
        return;
    }
    for (int32_t x = left; x <= right; ++x)
        WritePixel(t, x, y, pixel, mode);
}

void CDeviceContext::WriteBrushSpan(const CTarget& t, int32_t y, int32_t left, int32_t right,
                                    const CBrush& fill, int mode) const {
    // The six hatches as 8 x 8 cells, one byte per row, bit 7 the leftmost pixel; the cells are aligned
    // on the bitmap's origin so that neighbouring shapes continue one hatch.
    static constexpr uint8_t kHatches[6][8] = {
        {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}, // horizontal
        {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
        {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal
        {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
        {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08}, // cross
        {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
    };
    if (fill.style == kBrushHollow || left > right)
        return;
    const uint32_t color = ColorToPixel(fill.color);
    if (fill.style != kBrushHatched) {
        WriteSpan(t, y, left, right, color, mode);
        return;
    }
    const uint8_t bits = kHatches[std::clamp(fill.hatch, 0, 5)][y & 7];
    const uint32_t background = ColorToPixel(bkColor);
    const bool opaque = bkMode == kBkOpaque;
    for (int32_t x = left; x <= right; ++x) {
        if (bits & (0x80 >> (x & 7)))
            WritePixel(t, x, y, color, mode);
        else if (opaque)
            WritePixel(t, x, y, background, mode);
    }
}

uint32_t CDeviceContext::SetPixel(int32_t x, int32_t y, uint32_t color) {
    CTarget t;
    if (!GetTarget(t) || !t.clip.Contains(CPoint(x, y)))
        return kInvalidColor;
    WritePixel(t, x, y, ColorToPixel(color), kR2CopyPen);
    AddDamage(CRect(x, y, x + 1, y + 1));
    return color & kPixelMask;
}

uint32_t CDeviceContext::GetPixel(int32_t x, int32_t y) const {
    CTarget t;
    if (!GetTarget(t))
        return kInvalidColor;
    if (x < 0 || y < 0 || x >= bitmap->GetWidth() || y >= bitmap->GetHeight())
        return kInvalidColor;
    return PixelToColor(ReadPixel(t, x, y));
}

bool CDeviceContext::FillRect(const CRect& rect, const CBrush& fill) {
    CTarget t;
    if (!GetTarget(t))
        return false;
    const CRect r = Intersect(Normalized(rect), t.clip);
    if (r.IsEmpty())
        return true;
    for (int32_t y = r.top; y < r.bottom; ++y)
        WriteBrushSpan(t, y, r.left, r.right - 1, fill, kR2CopyPen);
    if (fill.style != kBrushHollow)
        AddDamage(r);
    return true;
}

bool CDeviceContext::DrawFocusRect(const CRect& rect) {
    CTarget t;
    if (!GetTarget(t))
        return false;
    const CRect r = Normalized(rect);
    if (r.IsEmpty())
        return true;
    // Every border pixel is visited exactly once, also for rectangles one pixel wide or high, so that a
    // second call undoes the first.
    auto invert = [&](int32_t x, int32_t y) {
        if (((int64_t{x} + y) & 1) == 0 && t.clip.Contains(CPoint(x, y)))
            WritePixel(t, x, y, kPixelMask, kR2XorPen);
    };
    const int32_t right = r.right - 1, bottom = r.bottom - 1;
    for (int32_t x = std::max(r.left, t.clip.left); x <= std::min(right, t.clip.right - 1); ++x) {
        invert(x, r.top);
        if (bottom != r.top)
            invert(x, bottom);
    }
    for (int32_t y = std::max(r.top + 1, t.clip.top); y <= std::min(bottom - 1, t.clip.bottom - 1); ++y) {
        invert(r.left, y);
        if (right != r.left)
            invert(right, y);
    }
    AddDamage(r);
    return true;
}

} // namespace pq
