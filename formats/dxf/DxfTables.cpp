#include "formats/dxf/DxfTables.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace pq {

namespace {

constexpr uint32_t Rgb(int red, int green, int blue) {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}

// The hues run in 15 degree steps from red (k = 0) through yellow, green, cyan, blue and magenta; each
// channel is a quarter step of the way between the group's low and high value.
std::array<uint32_t, 256> BuildPalette() {
    std::array<uint32_t, 256> table{};
    const uint32_t first[10] = {Rgb(0, 0, 0),     Rgb(255, 0, 0),    Rgb(255, 255, 0), Rgb(0, 255, 0),
                                Rgb(0, 255, 255), Rgb(0, 0, 255),    Rgb(255, 0, 255), Rgb(255, 255, 255),
                                Rgb(65, 65, 65),  Rgb(128, 128, 128)};
    for (int i = 0; i < 10; ++i)
        table[static_cast<std::size_t>(i)] = first[i];
    const int levels[5] = {255, 189, 129, 104, 79};
    const int pastelLow[5] = {170, 126, 86, 69, 53};
    for (int k = 0; k < 24; ++k) {
        // Quarters of full strength per channel in this hue.
        int r = 0;
        int g = 0;
        int b = 0;
        if (k <= 4) {
            r = 4, g = k, b = 0;
        } else if (k <= 8) {
            r = 8 - k, g = 4, b = 0;
        } else if (k <= 12) {
            r = 0, g = 4, b = k - 8;
        } else if (k <= 16) {
            r = 0, g = 16 - k, b = 4;
        } else if (k <= 20) {
            r = k - 16, g = 0, b = 4;
        } else {
            r = 4, g = 0, b = 24 - k;
        }
        for (int level = 0; level < 5; ++level) {
            const int high = levels[level];
            const int low = pastelLow[level];
            auto full = [&](int q) { return high * q / 4; };
            auto pastel = [&](int q) { return low + (high - low) * q / 4; };
            const auto index = static_cast<std::size_t>(10 + k * 10 + level * 2);
            table[index] = Rgb(full(r), full(g), full(b));
            table[index + 1] = Rgb(pastel(r), pastel(g), pastel(b));
        }
    }
    const int greys[6] = {51, 80, 105, 130, 190, 255};
    for (int i = 0; i < 6; ++i)
        table[static_cast<std::size_t>(250 + i)] = Rgb(greys[i], greys[i], greys[i]);
    return table;
}

int Channel(uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

} // namespace

const std::array<uint32_t, 256>& AciPalette() {
    static const std::array<uint32_t, 256> palette = BuildPalette();
    return palette;
}

int NearestAciColour(uint32_t colour) {
    colour &= 0xFFFFFF;
    const std::array<uint32_t, 256>& palette = AciPalette();
    int best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (int i = 0; i < 256; ++i) {
        const uint32_t entry = palette[static_cast<std::size_t>(i)];
        if (entry == colour)
            return i;
        long distance = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const long d = Channel(entry, shift) - Channel(colour, shift);
            distance += d * d;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

int DxfColourIndexForWriting(uint32_t colour) {
    const int index = NearestAciColour(colour);
    if (index == 0)
        return 7;
    if (index == 7)
        return 255;
    return index;
}

uint32_t AciColourOnPaper(int index) {
    if (index <= 0 || index > 255 || index == 7)
        return 0;
    return AciPalette()[static_cast<std::size_t>(index)];
}

double UnitScaleForInsUnits(int code) {
    static constexpr double kFactors[21] = {
        10.0,      254.0,    3048.0,    16093440.0, 10.0,         100.0,       10000.0,
        1e7,       0.000254, 0.254,     9144.0,     1e-6,         1e-5,        0.01,
        999.99994, 100000.0, 999999.94, 1.0e13,     1.4959856e15, 9.460529e19, 3.085678e20};
    if (code < 0 || code > 20)
        return 0.0;
    return kFactors[code];
}

int StandardLineweight(double value) {
    static constexpr int kWeights[] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                       53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    if (!(value > 0.0))
        return 0;
    int best = 0;
    double bestDistance = std::numeric_limits<double>::max();
    for (int weight : kWeights) {
        const double distance = std::fabs(value - weight);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = weight;
        }
    }
    return best;
}

} // namespace pq
