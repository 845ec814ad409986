#include "render/BitmapFilter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

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

    // The kernel is the outer product of (1, 6, 1) with itself, so each row is first summed across
    // (1, 6, 1) horizontally, and three such row sums are then combined (1, 6, 1) vertically: the same
    // integers as the full 3 x 3 sum, at a third of the work. Rows are filtered the same way whichever
    // way up the bitmap is stored, so memory rows are used as they stand; clamping at the first and last
    // memory row is clamping at the picture's border.
    const std::size_t stride = source.GetBytesPerRow();
    const std::size_t rowValues = 3 * static_cast<std::size_t>(width);
    const uint8_t* in = source.GetBits().data();
    uint8_t* out = result.GetBits().data();
    std::vector<int> sums(3 * rowValues);
    const auto sumRow = [&](int y, int* target) {
        const uint8_t* row = in + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* left = row + 3 * std::max(x - 1, 0);
            const uint8_t* centre = row + 3 * x;
            const uint8_t* right = row + 3 * std::min(x + 1, width - 1);
            for (int c = 0; c < 3; ++c)
                target[3 * x + c] = left[c] + 6 * centre[c] + right[c];
        }
    };
    // sums holds the row sums of rows y - 1, y and y + 1 in a ring of three.
    int* ring[3] = {sums.data(), sums.data() + rowValues, sums.data() + 2 * rowValues};
    sumRow(0, ring[1]);
    std::copy(ring[1], ring[1] + rowValues, ring[0]);
    for (int y = 0; y < height; ++y) {
        sumRow(std::min(y + 1, height - 1), ring[2]);
        uint8_t* target = out + stride * static_cast<std::size_t>(y);
        for (std::size_t i = 0; i < rowValues; ++i)
            target[i] = static_cast<uint8_t>((ring[0][i] + 6 * ring[1][i] + ring[2][i]) >> 6);
        std::rotate(ring, ring + 1, ring + 3);
    }
    return result;
}

} // namespace pq
