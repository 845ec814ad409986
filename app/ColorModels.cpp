#include "app/ColorModels.h"

#include "geometry/Numeric.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

constexpr double kChannelScale = 0.00392156862745098;      // 1 / 255
constexpr double kDegreesToSextant = 0.016666666666666666; // 1 / 60
constexpr double kGreyTolerance = 1e-7;

int ClampChannel(int value) {
    return std::clamp(value, 0, 255);
}

// A channel of 0 .. 1 as 0 .. 255: scaled, 0.5 added, truncated, held to the range.
int ChannelOf(double value) {
    const double scaled = value * 255.0 + 0.5;
    if (!(scaled > 0.0))
        return 0;
    return scaled >= 255.0 ? 255 : static_cast<int>(scaled);
}

} // namespace

uint32_t MakeColor(int red, int green, int blue) {
    return static_cast<uint32_t>(ClampChannel(red)) | (static_cast<uint32_t>(ClampChannel(green)) << 8) |
           (static_cast<uint32_t>(ClampChannel(blue)) << 16);
}

CHls RgbToHls(uint32_t color) {
    const double r = RedOf(color) * kChannelScale;
    const double g = GreenOf(color) * kChannelScale;
    const double b = BlueOf(color) * kChannelScale;
    const double most = std::max({r, g, b});
    const double least = std::min({r, g, b});
    CHls hls;
    hls.lightness = (most + least) / 2.0;
    const double spread = most - least;
    if (std::fabs(spread) < kGreyTolerance || std::fabs(2.0 - most - least) < kGreyTolerance)
        return hls;
    hls.saturation = hls.lightness <= 0.5 ? spread / (most + least) : spread / (2.0 - most - least);
    double sextant = 0.0;
    if (r == most)
        sextant = (g - b) / spread;
    else if (g == most)
        sextant = (b - r) / spread + 2.0;
    else
        sextant = (r - g) / spread + 4.0;
    hls.hue = std::clamp((sextant + 1.0) * 60.0, 0.0, 360.0);
    return hls;
}

uint32_t HlsToRgb(const CHls& hls) {
    // NaN from anywhere falls to the low end of each range.
    const auto hold = [](double v, double low, double high) { return v >= low ? std::min(v, high) : low; };
    const double h = hold(hls.hue * kDegreesToSextant - 1.0, -1.0, 5.0);
    const double s = hold(hls.saturation, 0.0, 1.0);
    const double l = hold(hls.lightness, 0.0, 1.0);
    if (s == 0.0) {
        const int grey = ChannelOf(l);
        return MakeColor(grey, grey, grey);
    }
    const double m1 = l <= 0.5 ? l * (1.0 - s) : l - (1.0 - l) * s;
    const double m2 = 2.0 * l - m1;
    const double e = m2 - m1;
    double r = m1;
    double g = m1;
    double b = m1;
    if (h < 0.0) {
        r = m2;
        b = m1 - h * e;
    } else if (h < 1.0) {
        r = m2;
        g = m1 + h * e;
    } else if (h < 2.0) {
        r = m1 + (2.0 - h) * e;
        g = m2;
    } else if (h < 3.0) {
        g = m2;
        b = m1 + (h - 2.0) * e;
    } else if (h < 4.0) {
        g = m1 + (4.0 - h) * e;
        b = m2;
    } else {
        r = m1 + (h - 4.0) * e;
        b = m2;
    }
    return MakeColor(ChannelOf(r), ChannelOf(g), ChannelOf(b));
}

std::array<int, 3> ColorComponents(uint32_t color, ColorModel model) {
    if (model == ColorModel::Rgb)
        return {RedOf(color), GreenOf(color), BlueOf(color)};
    const CHls hls = RgbToHls(color);
    return {RoundHalfAway(hls.hue), RoundHalfAway(hls.lightness * 100.0),
            RoundHalfAway(hls.saturation * 100.0)};
}

uint32_t ColorFromComponents(const std::array<int, 3>& numbers, ColorModel model) {
    std::array<int, 3> held{};
    for (int i = 0; i < 3; ++i) {
        const CComponentRange range = ComponentRange(model, i);
        held[static_cast<size_t>(i)] =
            std::clamp(numbers[static_cast<size_t>(i)], range.minimum, range.maximum);
    }
    if (model == ColorModel::Rgb)
        return MakeColor(held[0], held[1], held[2]);
    return HlsToRgb({static_cast<double>(held[0]), held[1] / 100.0, held[2] / 100.0});
}

CComponentRange ComponentRange(ColorModel model, int box) {
    if (model == ColorModel::Rgb)
        return {0, 255};
    return {0, box == 0 ? 360 : 100};
}

} // namespace pq
