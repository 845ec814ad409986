#pragma once

#include <string>
#include <vector>

namespace pq {

// The font families of the screen, as the font name mapping and the font lists of dialogs see them:
// every family name of every installed outline font (sorted, each once), plus the well-known faces
// that are served by an installed metric-compatible twin ("Arial" where Liberation Sans is installed),
// so that a drawing naming them keeps its names through a save and a reload. Where no Tahoma is
// installed the family fontconfig resolves for "sans-serif" comes first, so that a face nobody has
// falls back to the system's sans face. Rebuilt when the font configuration changes.
[[nodiscard]] const std::vector<std::u16string>& EnumerateFontFamilies();

// The family fontconfig resolves for "sans-serif" (UTF-16), or "" when no font is installed.
[[nodiscard]] std::u16string SansSerifFamily();

} // namespace pq
