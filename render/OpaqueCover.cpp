#include "render/OpaqueCover.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pq {

namespace {

// The bits first .. last (inclusive, both within one word) of a word.
uint64_t BitRange(int32_t first, int32_t last) {
    return (~uint64_t{0} << first) & (~uint64_t{0} >> (63 - last));
}

} // namespace

COpaqueCover::COpaqueCover(const CRect& coverBox)
    : box(coverBox), wordsPerRow((static_cast<std::size_t>(coverBox.Width()) + 63) / 64),
      bits(wordsPerRow * static_cast<std::size_t>(coverBox.Height()), 0) {}

void COpaqueCover::AddSpan(int32_t y, int32_t left, int32_t right) {
    if (y < box.top || y >= box.bottom)
        return;
    left = std::max(left, box.left);
    right = std::min(right, box.right);
    if (left >= right)
        return;
    uint64_t* row = bits.data() + static_cast<std::size_t>(y - box.top) * wordsPerRow;
    const int32_t first = left - box.left, last = right - 1 - box.left;
    const int32_t firstWord = first >> 6, lastWord = last >> 6;
    if (firstWord == lastWord) {
        row[firstWord] |= BitRange(first & 63, last & 63);
        return;
    }
    row[firstWord] |= BitRange(first & 63, 63);
    for (int32_t w = firstWord + 1; w < lastWord; ++w)
        row[w] = ~uint64_t{0};
    row[lastWord] |= BitRange(0, last & 63);
}

bool COpaqueCover::Covers(const CRect& rect) const {
    const int32_t left = std::max(rect.left, box.left), right = std::min(rect.right, box.right);
    const int32_t top = std::max(rect.top, box.top), bottom = std::min(rect.bottom, box.bottom);
    if (left >= right || top >= bottom)
        return true;
    const int32_t first = left - box.left, last = right - 1 - box.left;
    const int32_t firstWord = first >> 6, lastWord = last >> 6;
    const uint64_t* row = bits.data() + static_cast<std::size_t>(top - box.top) * wordsPerRow;
    if (firstWord == lastWord) {
        const uint64_t mask = BitRange(first & 63, last & 63);
        for (int32_t y = top; y < bottom; ++y, row += wordsPerRow)
            if ((row[firstWord] & mask) != mask)
                return false;
        return true;
    }
    const uint64_t firstMask = BitRange(first & 63, 63), lastMask = BitRange(0, last & 63);
    for (int32_t y = top; y < bottom; ++y, row += wordsPerRow) {
        if ((row[firstWord] & firstMask) != firstMask || (row[lastWord] & lastMask) != lastMask)
            return false;
        for (int32_t w = firstWord + 1; w < lastWord; ++w)
            if (row[w] != ~uint64_t{0})
                return false;
    }
    return true;
}

bool COpaqueCover::IsCovered(int32_t x, int32_t y) const {
    if (!box.Contains({x, y}))
        return false;
    const auto bit = static_cast<std::size_t>(x - box.left);
    return (bits[static_cast<std::size_t>(y - box.top) * wordsPerRow + bit / 64] >> (bit % 64) & 1) != 0;
}

void COpaqueFillFinder::AddFilledPixels(std::span<const CPointF> polygon, COpaqueCover& cover) {
    const std::size_t n = polygon.size();
    if (n < 3)
        return;
    float minY = std::numeric_limits<float>::infinity(), maxY = -minY;
    for (const CPointF& p : polygon) {
        if (!(std::fabs(p.x) <= kMaxCoordinate && std::fabs(p.y) <= kMaxCoordinate)) // NaN fails too
            return;
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // Rows whose grown squares, from row - 1 to row + 2, lie between the polygon's top and bottom.
    const CRect& box = cover.Box();
    const int64_t firstRow = std::max<int64_t>(static_cast<int64_t>(std::ceil(minY)) + 1, box.top);
    const int64_t lastRow = std::min<int64_t>(static_cast<int64_t>(std::floor(maxY)) - 2, box.bottom - 1);
    if (firstRow > lastRow)
        return;

    // Going round, the edges turn from going down to going up (level ones aside) exactly twice when the
    // outline is one chain down and one chain up: every row then crosses it twice.
    int changes = 0, firstDirection = 0, direction = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float dy = polygon[i + 1 < n ? i + 1 : 0].y - polygon[i].y;
        const int d = dy > 0.0f ? 1 : dy < 0.0f ? -1 : 0;
        if (d == 0)
            continue;
        if (firstDirection == 0)
            firstDirection = d;
        else if (d != direction)
            ++changes;
        direction = d;
    }
    if (direction != firstDirection)
        ++changes;
    if (changes != 2)
        return;

    // Band k spans rows y .. y + 1 from y = firstRow - 1 + k; each chain's x range within each band.
    const int64_t bandTop = firstRow - 1, bandBottom = lastRow + 2;
    constexpr double kNone = std::numeric_limits<double>::infinity();
    bands.assign(static_cast<std::size_t>(bandBottom - bandTop), CBand{kNone, -kNone, kNone, -kNone});
    for (std::size_t i = 0; i < n; ++i) {
        const CPointF a = polygon[i], b = polygon[i + 1 < n ? i + 1 : 0];
        if (a.y == b.y)
            continue; // a level edge's ends belong to its neighbours too
        const bool down = b.y > a.y;
        const double top = std::max<double>(std::min(a.y, b.y), static_cast<double>(bandTop));
        const double bottom = std::min<double>(std::max(a.y, b.y), static_cast<double>(bandBottom));
        if (!(top < bottom))
            continue;
        const double slope = (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
        auto xAt = [&](double y) { return a.x + (y - a.y) * slope; };
        const auto firstBand = static_cast<int64_t>(std::floor(top));
        const auto endBand = static_cast<int64_t>(std::ceil(bottom));
        for (int64_t k = firstBand; k < endBand; ++k) {
            const double x0 = xAt(std::max(top, static_cast<double>(k)));
            const double x1 = xAt(std::min(bottom, static_cast<double>(k + 1)));
            const auto [low, high] = std::minmax(x0, x1);
            CBand& band = bands[static_cast<std::size_t>(k - bandTop)];
            if (down) {
                band.downLow = std::min(band.downLow, low);
                band.downHigh = std::max(band.downHigh, high);
            } else {
                band.upLow = std::min(band.upLow, low);
                band.upHigh = std::max(band.upHigh, high);
            }
        }
    }

    for (int64_t row = firstRow; row <= lastRow; ++row) {
        const CBand* window = bands.data() + (row - firstRow); // the bands of rows row - 1 .. row + 2
        double downLow = kNone, downHigh = -kNone, upLow = kNone, upHigh = -kNone;
        for (int k = 0; k < 3; ++k) {
            downLow = std::min(downLow, window[k].downLow);
            downHigh = std::max(downHigh, window[k].downHigh);
            upLow = std::min(upLow, window[k].upLow);
            upHigh = std::max(upHigh, window[k].upHigh);
        }
        if (downLow == kNone || upLow == kNone)
            continue;
        // Inside lies between the chains, whichever side each is on.
        double inLeft, inRight;
        if (downHigh < upLow) {
            inLeft = downHigh;
            inRight = upLow;
        } else if (upHigh < downLow) {
            inLeft = upHigh;
            inRight = downLow;
        } else {
            continue;
        }
        const auto left = static_cast<int32_t>(std::ceil(inLeft)) + 1;
        const auto right = static_cast<int32_t>(std::floor(inRight)) - 2; // inclusive
        if (left <= right)
            cover.AddSpan(static_cast<int32_t>(row), left, right + 1);
    }
}

} // namespace pq
