#include "render/BitmapFilter.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pq {

CRect FitAspect(int boxWidth, int boxHeight, int contentWidth, int contentHeight) {
    if (boxWidth < 1 || boxHeight < 1 || contentWidth < 1 || contentHeight < 1)
        return {0, 0, boxWidth, boxHeight};
    const double aspect = static_cast<double>(contentWidth) / static_cast<double>(contentHeight);
    int width = boxWidth;
    int height = static_cast<int>(std::trunc(boxWidth / aspect));
    if (height > boxHeight) {
        height = boxHeight;
        width = static_cast<int>(std::trunc(boxHeight * aspect));
    }
    if (width < 1 || height < 1)
        return {0, 0, boxWidth, boxHeight};
    const int left = boxWidth / 2 - width / 2;
    const int top = boxHeight / 2 - height / 2;
    return {left, top, left + width, top + height};
}

CDibSection AntiAliasBitmap(const CDibSection& source) {
    if (source.GetBitCount() != 24 || source.IsEmpty())
        return source;
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    CDibSection result;
    if (!result.Create(width, height, 24))
        return source;

    // Rows are filtered the same way whichever way up the bitmap is stored, so memory rows are used as
    // they stand; clamping at the first and last memory row is clamping at the picture's border.
    const std::size_t stride = source.GetBytesPerRow();
    const uint8_t* in = source.GetBits().data();
    uint8_t* out = result.GetBits().data();
    static constexpr std::array<int, 3> kWeights = {1, 6, 1};
    for (int y = 0; y < height; ++y) {
        const std::array<const uint8_t*, 3> rows = {
            in + stride * static_cast<std::size_t>(std::max(y - 1, 0)),
            in + stride * static_cast<std::size_t>(y),
            in + stride * static_cast<std::size_t>(std::min(y + 1, height - 1))};
        uint8_t* target = out + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            const std::array<int, 3> columns = {3 * std::max(x - 1, 0), 3 * x,
                                                3 * std::min(x + 1, width - 1)};
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int r = 0; r < 3; ++r)
                    for (int c = 0; c < 3; ++c)
                        sum +=
                            kWeights[static_cast<std::size_t>(r)] * kWeights[static_cast<std::size_t>(c)] *
                            rows[static_cast<std::size_t>(r)][columns[static_cast<std::size_t>(c)] + channel];
                target[3 * x + channel] = static_cast<uint8_t>(sum >> 6);
            }
        }
    }
    return result;
}

} // namespace pq
