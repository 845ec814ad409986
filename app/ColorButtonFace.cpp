#include "app/ColorButtonFace.h"

#include "ui/view/NewObjectStyle.h"

#include <algorithm>
#include <cstdlib>

namespace pq {

namespace {

constexpr int kPenStyleNone = 5;
constexpr int kLeft = 3;
constexpr int kTop = 3;
constexpr int kRight = 19;
constexpr int kBottomMargin = 4;
constexpr int kGap = 2;
constexpr uint32_t kWhiteArgb = 0xFFFFFFFF;

uint32_t ToArgb(uint32_t colorRef) {
    const uint32_t r = colorRef & 0xFF;
    const uint32_t g = (colorRef >> 8) & 0xFF;
    const uint32_t b = (colorRef >> 16) & 0xFF;
    return 0xFF000000 | (r << 16) | (g << 8) | b;
}

class CFacePixels {
public:
    CFacePixels(int width, int height)
        : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, 0) {}

    void Set(int x, int y, uint32_t argb) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[static_cast<std::size_t>(y) * width + x] = argb;
    }
    void Fill(const CRect& r, uint32_t argb) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                Set(x, y, argb);
    }
    void Frame(const CRect& r, uint32_t argb) {
        for (int x = r.left; x < r.right; ++x) {
            Set(x, r.top, argb);
            Set(x, r.bottom - 1, argb);
        }
        for (int y = r.top; y < r.bottom; ++y) {
            Set(r.left, y, argb);
            Set(r.right - 1, y, argb);
        }
    }
    // A 2-pixel line from the lower left to the upper right corner of r (inside it).
    void Diagonal(const CRect& r, uint32_t argb) {
        const int w = r.Width() - 1;
        const int h = r.Height() - 1;
        const int steps = std::max(w, h);
        for (int i = 0; i <= steps; ++i) {
            const int x = r.left + (steps == 0 ? 0 : (i * w + steps / 2) / steps);
            const int y = r.bottom - 1 - (steps == 0 ? 0 : (i * h + steps / 2) / steps);
            Set(x, y, argb);
            if (x + 1 < r.right)
                Set(x + 1, y, argb);
        }
    }

    std::vector<uint32_t> Take() { return std::move(pixels); }

private:
    int width;
    int height;
    std::vector<uint32_t> pixels;
};

CRect Inner(const CRect& r, int by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

void DrawSwatch(CFacePixels& face, const CRect& outer, const CColorSwatch& swatch) {
    const CRect inside = Inner(outer, 1);
    if (swatch.none) {
        face.Fill(inside, kWhiteArgb);
        face.Diagonal(inside, kNoColorCrossArgb);
    } else {
        face.Fill(inside, ToArgb(swatch.color));
    }
    face.Frame(outer, kSwatchFrameArgb);
}

} // namespace

CColorButtonFace ColorButtonFaceOf(const CNewObjectStyle& style) {
    CColorButtonFace face;
    face.line = {style.penStyle == kPenStyleNone, style.penColor};
    face.fill = {style.noFill != 0, style.brushColor};
    return face;
}

CRect LineSwatchRect(int width, int height) {
    const int right = std::min(kRight, width);
    const int middle = kLeft + (right - kLeft - kGap) / 2;
    return {kLeft, kTop, middle, std::max(kTop, height - kBottomMargin)};
}

CRect FillSwatchRect(int width, int height) {
    const int right = std::min(kRight, width);
    const CRect line = LineSwatchRect(width, height);
    return {line.right + kGap, kTop, right, line.bottom};
}

std::vector<uint32_t> DrawColorButtonFace(const CColorButtonFace& face, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    CFacePixels pixels(width, height);
    DrawSwatch(pixels, LineSwatchRect(width, height), face.line);
    DrawSwatch(pixels, FillSwatchRect(width, height), face.fill);
    return pixels.Take();
}

} // namespace pq
