#pragma once

#include <span>
#include <string>
#include <string_view>

namespace pq {

enum class FontNameDirection {
    DeviceToPostScript, // writers: "Times New Roman" -> "TimesNewRomanPS"
    PostScriptToDevice, // readers: "CourierNewPSMT" -> "Courier New"
};

// Converts between the face names text objects store and the PostScript names files carry, and in
// both directions settles the name on a face that is installed: a PostScript name of a known face
// becomes that face; the name then takes the spelling of the installed family it matches (ignoring
// case and spaces), or, matching none, becomes "Tahoma" when Tahoma is installed (or nothing is) and
// otherwise the first installed family; towards PostScript the spaces are then removed and a known
// face gets its PostScript name.
[[nodiscard]] std::u16string MapFontName(std::u16string_view name, FontNameDirection direction);

// The same against a given list of installed families, first family first.
[[nodiscard]] std::u16string MapFontName(std::u16string_view name, FontNameDirection direction,
                                         std::span<const std::u16string> installed);

} // namespace pq
