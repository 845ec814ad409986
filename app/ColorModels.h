#pragma once

#include <array>
#include <cstdint>

namespace pq {

// The two ways the colour page shows a colour in its three number boxes. The numbering is the one kept
// in the "ColorModel" preference.
enum class ColorModel : int { Rgb = 0, Hls = 1 };

inline constexpr int kColorModelCount = 2;

// Hue, lightness and saturation. The hue runs 0 .. 360 but starts at magenta: magenta 0, red 60, yellow
// 120, green 180, cyan 240, blue 300 (the common hue plus 60 degrees). Lightness and saturation run 0 .. 1.
struct CHls {
    double hue = 0.0;
    double lightness = 0.0;
    double saturation = 0.0;
};

// The red, green and blue of a colour word 0x00BBGGRR.
[[nodiscard]] constexpr int RedOf(uint32_t color) {
    return static_cast<int>(color & 0xFF);
}
[[nodiscard]] constexpr int GreenOf(uint32_t color) {
    return static_cast<int>((color >> 8) & 0xFF);
}
[[nodiscard]] constexpr int BlueOf(uint32_t color) {
    return static_cast<int>((color >> 16) & 0xFF);
}
// A colour word from three channels, each held to 0 .. 255.
[[nodiscard]] uint32_t MakeColor(int red, int green, int blue);

// RGB to HLS: with M and m the largest and smallest channel (as 0 .. 1), L = (M + m) / 2; a grey (no
// spread, or white) has hue and saturation 0; else S = d / (M + m) up to L = 0.5 and d / (2 - M - m)
// above, d = M - m, and the hue is the sextant of the largest channel (red tested first) times 60,
// plus 60.
[[nodiscard]] CHls RgbToHls(uint32_t color);
// The exact inverse of RgbToHls; hue, lightness and saturation are held to their ranges first. Each
// channel is scaled by 255, rounded half up and held to 0 .. 255.
[[nodiscard]] uint32_t HlsToRgb(const CHls& hls);

// The three numbers the page shows for a colour: red, green, blue; or hue in degrees and lightness and
// saturation in percent, each rounded half away from zero.
[[nodiscard]] std::array<int, 3> ColorComponents(uint32_t color, ColorModel model);
// The colour three shown numbers stand for; numbers outside their ranges are held to them.
[[nodiscard]] uint32_t ColorFromComponents(const std::array<int, 3>& numbers, ColorModel model);

struct CComponentRange {
    int minimum = 0;
    int maximum = 0;
};
// The spin range of number box 0, 1 or 2 in a model: 0 .. 255 for RGB; 0 .. 360, 0 .. 100, 0 .. 100 for
// HLS.
[[nodiscard]] CComponentRange ComponentRange(ColorModel model, int box);

} // namespace pq
