#pragma once

#include <string>

namespace pq {

// The preferences file: $XDG_CONFIG_HOME/pentaquill/draw.ini, or ~/.config/pentaquill/draw.ini when the
// variable is unset or empty.
[[nodiscard]] std::string PreferencesFilePath();

// The data folder (templates, clip-art library, temporary files, settings file): $PQDRAW_HOME, else
// $XDG_DATA_HOME/pentaquill-draw, else ~/.local/share/pentaquill-draw.
[[nodiscard]] std::string DataFolder();

// The folder for files the program can always rebuild (kept font answers): $XDG_CACHE_HOME/pentaquill-draw,
// or ~/.cache/pentaquill-draw when the variable is unset or empty.
[[nodiscard]] std::string CacheFolder();

// The user's home folder: $HOME, else the password database's entry, else ".".
[[nodiscard]] std::string UserHomeFolder();

} // namespace pq
