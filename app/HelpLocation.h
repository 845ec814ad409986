#pragma once

#include <string>
#include <vector>

namespace pq {

// The bundled help: its first page, the program that shows it, and what to say when none can.
[[nodiscard]] std::string HelpFolder(const std::string& resourceFolder);
[[nodiscard]] std::string HelpIndexPath(const std::string& resourceFolder);
// The desktop's opener with the page as a file URL, so that it reaches the web browser.
[[nodiscard]] std::vector<std::string> HelpViewerCommand(const std::string& indexPath);
[[nodiscard]] std::string NoBrowserMessage(const std::string& helpFolder);
[[nodiscard]] std::string HelpMissingMessage();

} // namespace pq
