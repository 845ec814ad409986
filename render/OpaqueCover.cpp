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

void COpaqueCover::AddCoveredRows(const CRect& rect, int32_t minRows,
                                  std::vector<CCoverageRaster::CRowRange>& runs) const {
    const int32_t left = std::max(rect.left, box.left), right = std::min(rect.right, box.right);
    const int32_t top = std::max(rect.top, box.top), bottom = std::min(rect.bottom, box.bottom);
    if (left >= right || top >= bottom)
        return;
    const int32_t first = left - box.left, last = right - 1 - box.left;
    const int32_t firstWord = first >> 6, lastWord = last >> 6;
    const uint64_t firstMask =
        firstWord == lastWord ? BitRange(first & 63, last & 63) : BitRange(first & 63, 63);
    const uint64_t lastMask = BitRange(0, last & 63);
    const uint64_t* row = bits.data() + static_cast<std::size_t>(top - box.top) * wordsPerRow;
    int32_t runTop = top;
    for (int32_t y = top; y <= bottom; ++y, row += wordsPerRow) {
        bool covered = y < bottom && (row[firstWord] & firstMask) == firstMask;
        if (covered && firstWord != lastWord) {
            covered = (row[lastWord] & lastMask) == lastMask;
            for (int32_t w = firstWord + 1; covered && w < lastWord; ++w)
                covered = row[w] == ~uint64_t{0};
        }
        if (covered)
            continue;
        if (y - runTop >= minRows)
            runs.push_back({runTop, y});
        runTop = y + 1;
    }
}

bool COpaqueCover::IsCovered(int32_t x, int32_t y) const {
    if (!box.Contains({x, y}))
        return false;
    const auto bit = static_cast<std::size_t>(x - box.left);
    return (bits[static_cast<std::size_t>(y - box.top) * wordsPerRow + bit / 64] >> (bit % 64) & 1) != 0;
}

COpaqueFillFinder::COpaqueFillFinder(EdgeStyle edges)
    : low(edges == EdgeStyle::Aliased ? -0.625 : -0.5), high(edges == EdgeStyle::Aliased ? 0.625 : 1.5) {}

void COpaqueFillFinder::CChain::Range(double top, double bottom, double& rangeLow, double& rangeHigh) {
    while (cursor < points.size() && points[cursor].y < top)
        ++cursor;
    // The chain spans every window asked for, so a point at or below the top follows one above it.
    double l = std::numeric_limits<double>::infinity(), h = -l;
    auto include = [&](double x) {
        l = std::min(l, x);
        h = std::max(h, x);
    };
    auto xAt = [&](std::size_t i, double y) { // on the segment ending at point i, which reaches y
        const CPointF a = points[i - 1], b = points[i];
        return a.x + (y - a.y) * ((static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y));
    };
    if (cursor > 0 && cursor < points.size())
        include(xAt(cursor, top));
    std::size_t i = cursor;
    for (; i < points.size() && points[i].y <= bottom; ++i)
        include(points[i].x);
    if (i > 0 && i < points.size())
        include(xAt(i, bottom));
    rangeLow = l;
    rangeHigh = h;
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
    // Rows whose squares lie between the polygon's top and bottom, within the box.
    const CRect& box = cover.Box();
    const int64_t firstRow = std::max<int64_t>(static_cast<int64_t>(std::ceil(minY - low)), box.top);
    const int64_t lastRow = std::min<int64_t>(static_cast<int64_t>(std::floor(maxY - high)), box.bottom - 1);
    if (firstRow > lastRow)
        return;

    // Going round, the edges turn from going down to going up (level ones aside) exactly twice when the
    // outline is one chain down and one chain up: every row then crosses it twice. The chain going down
    // starts at the point where an edge going up turns into one going down.
    int changes = 0, firstDirection = 0, direction = 0;
    std::size_t firstMoving = n, start = n;
    for (std::size_t i = 0; i < n; ++i) {
        const float dy = polygon[i + 1 < n ? i + 1 : 0].y - polygon[i].y;
        const int d = dy > 0.0f ? 1 : dy < 0.0f ? -1 : 0;
        if (d == 0 || d == direction)
            continue;
        if (direction == 0) {
            firstDirection = d;
            firstMoving = i;
        } else {
            ++changes;
            if (d == 1)
                start = i;
        }
        direction = d;
    }
    if (direction != firstDirection) {
        ++changes;
        if (firstDirection == 1)
            start = firstMoving;
    }
    if (changes != 2)
        return;
    // The chain going down from the top, then the one coming up, turned round to run down too.
    down.points.clear();
    up.points.clear();
    std::size_t k = start;
    down.points.push_back(polygon[k]);
    for (;;) {
        const std::size_t next = k + 1 < n ? k + 1 : 0;
        if (polygon[next].y < polygon[k].y)
            break;
        down.points.push_back(polygon[next]);
        k = next;
    }
    up.points.push_back(polygon[k]);
    while (k != start) {
        k = k + 1 < n ? k + 1 : 0;
        up.points.push_back(polygon[k]);
    }
    std::reverse(up.points.begin(), up.points.end());
    down.cursor = up.cursor = 0;

    for (int64_t row = firstRow; row <= lastRow; ++row) {
        const double top = static_cast<double>(row) + low, bottom = static_cast<double>(row) + high;
        double downLow, downHigh, upLow, upHigh;
        down.Range(top, bottom, downLow, downHigh);
        up.Range(top, bottom, upLow, upHigh);
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
        const auto left = static_cast<int32_t>(std::ceil(inLeft - low));
        const auto right = static_cast<int32_t>(std::floor(inRight - high)); // inclusive
        if (left <= right)
            cover.AddSpan(static_cast<int32_t>(row), left, right + 1);
    }
}

} // namespace pq
