#include "app/PopupPlacement.h"

#include "geometry/Numeric.h"

#include <cstdlib>

namespace pq {

namespace {

constexpr int kDefaultItemHeight = 19;
constexpr int kItemPadding = 7;
constexpr int kGapAboveButton = 2;

} // namespace

int PopupItemHeight(std::optional<int> fontHeight) {
    return fontHeight ? std::abs(*fontHeight) + kItemPadding : kDefaultItemHeight;
}

int PointsToPixels(int hundredthsOfPoint, int pixelsPerInch) {
    return RoundHalfAway(static_cast<double>(hundredthsOfPoint) * 0.01 * pixelsPerInch / 72.0);
}

int EstimateMenuHeight(int itemCount, int separatorCount, int itemHeight) {
    return itemCount * itemHeight + separatorCount * (itemHeight / 2 + 1);
}

int EstimateMenuHeight(const std::vector<CMenuEntry>& items, int itemHeight) {
    int commands = 0;
    int separators = 0;
    for (const CMenuEntry& item : items) {
        if (item.kind == CMenuEntry::Kind::Separator)
            ++separators;
        else
            ++commands;
    }
    return EstimateMenuHeight(commands, separators, itemHeight);
}

CPoint PopupAboveButton(const CRect& button, int menuHeight) {
    return {button.left, button.top - menuHeight - kGapAboveButton};
}

} // namespace pq
