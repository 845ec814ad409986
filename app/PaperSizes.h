#pragma once

#include <span>
#include <string_view>

namespace pq {

// A paper the Page settings offer: its name and its sides in document units (tenths of a millimetre),
// the shorter first. "Custom", the last entry, has no sides.
struct CPaperSize {
    std::string_view name;
    double shorter = 0.0;
    double longer = 0.0;
};

// The papers in the order the paper list shows them, "Custom" last.
[[nodiscard]] std::span<const CPaperSize> PaperSizes();
[[nodiscard]] int CustomPaperIndex();

// The paper whose sides are the page's, whichever way round it lies (sides compared at a tenth of a
// unit); "Custom" when none is.
[[nodiscard]] int MatchPaper(double width, double height);

} // namespace pq
