#include "formats/svg/SvgPens.h"

#include "platform/PenBrushStyles.h"

#include <cmath>

namespace pq {

namespace {

// The renderer's patterns of one-pixel pens, in pixels, alternating drawn and gap.
const std::vector<double>& PixelPattern(int penStyle) {
    static const std::vector<double> kPatterns[4] = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    return kPatterns[penStyle - kPenDash];
}

} // namespace

std::vector<double> DashesForPenStyle(int penStyle) {
    if (penStyle < kPenDash || penStyle > kPenDashDotDot)
        return {};
    std::vector<double> dashes;
    for (double px : PixelPattern(penStyle))
        dashes.push_back(std::round(px * kUnitsPerPixel * 100.0) / 100.0);
    return dashes;
}

int PenStyleFromDashes(std::span<const double> dashes, double scale) {
    double total = 0.0;
    for (double d : dashes)
        total += d;
    if (dashes.empty() || !(total > 0.0))
        return kPenSolid;
    for (int style = kPenDash; style <= kPenDashDotDot; ++style) {
        const std::vector<double> expected = DashesForPenStyle(style);
        if (expected.size() != dashes.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < dashes.size() && same; ++i)
            same = std::fabs(dashes[i] * scale - expected[i]) <= 0.05 * expected[i] + 0.01;
        if (same)
            return style;
    }
    return kPenDash;
}

} // namespace pq
