#include "app/PaperSizes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pq {

namespace {

constexpr std::array kPapers = {
    CPaperSize{"Letter", 2159, 2794},    CPaperSize{"Legal", 2159, 3556},
    CPaperSize{"Executive", 1841, 2667}, CPaperSize{"A0", 8410, 11890},
    CPaperSize{"A1", 5940, 8410},        CPaperSize{"A2", 4200, 5940},
    CPaperSize{"A3", 2970, 4200},        CPaperSize{"A4", 2100, 2970},
    CPaperSize{"A5", 1480, 2100},        CPaperSize{"A6", 1050, 1480},
    CPaperSize{"B1(ISO)", 7070, 10000},  CPaperSize{"B2(ISO)", 5000, 7070},
    CPaperSize{"B3(ISO)", 3530, 5000},   CPaperSize{"B4(ISO)", 2500, 3530},
    CPaperSize{"B5(ISO)", 1760, 2500},   CPaperSize{"C3", 3240, 4580},
    CPaperSize{"C4", 2290, 3240},        CPaperSize{"C5", 1620, 2290},
    CPaperSize{"C6", 1140, 1620},        CPaperSize{"Business Card", 550, 910},
    CPaperSize{"Post Card", 1000, 1480}, CPaperSize{"Custom", 0, 0},
};

constexpr double kSideTolerance = 1e-8;

// To one decimal, half away from zero.
double RoundToTenth(double value) {
    const double scaled = value * 10.0;
    return (scaled >= 0.0 ? std::floor(scaled + 0.5) : std::ceil(scaled - 0.5)) * 0.1;
}

} // namespace

std::span<const CPaperSize> PaperSizes() {
    return kPapers;
}

int CustomPaperIndex() {
    return static_cast<int>(kPapers.size()) - 1;
}

int MatchPaper(double width, double height) {
    const double w = RoundToTenth(width);
    const double h = RoundToTenth(height);
    const double shorter = std::min(w, h);
    const double longer = std::max(w, h);
    for (int i = 0; i < CustomPaperIndex(); ++i) {
        const CPaperSize& paper = kPapers[static_cast<std::size_t>(i)];
        if (std::fabs(paper.shorter - shorter) < kSideTolerance &&
            std::fabs(paper.longer - longer) < kSideTolerance)
            return i;
    }
    return CustomPaperIndex();
}

} // namespace pq
