#pragma once

#include <string>

namespace pq {

// The folder of the running program; empty when it cannot be found.
[[nodiscard]] std::string ExecutableFolder();

// The bundled resources (samples, help, icons, clip-art): "../share/pentaquill-draw" beside the program's
// folder when that exists (an installed program), else sourceResources (a program run from its build
// folder). Empty when neither exists.
[[nodiscard]] std::string FindResourceFolder(const std::string& executableFolder,
                                             const std::string& sourceResources);

} // namespace pq
