#pragma once

#include <string>

namespace pq {

// The preferences file: $XDG_CONFIG_HOME/pentaquill/draw.ini, or ~/.config/pentaquill/draw.ini when the
// variable is unset or empty.
[[nodiscard]] std::string PreferencesFilePath();

// The data folder (templates, clip-art library, temporary files, settings file): $PQDRAW_HOME, else
// $XDG_DATA_HOME/pentaquill-draw, else ~/.local/share/pentaquill-draw.
[[nodiscard]] std::string DataFolder();

} // namespace pq
