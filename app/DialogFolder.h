#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pq {

// The preference that remembers the folder of the last file chosen in a file dialog.
inline constexpr std::string_view kLastFolderName = "LastFolder";

// The folder part of a path ("/a/b" for "/a/b/c.pdf", "/" for "/c.pdf"); empty for a bare name.
[[nodiscard]] std::string FolderOfPath(const std::string& path);

// The folder a file dialog opens in: the current document's own folder when it has a file there, else
// the folder used last when it still exists, else empty (the toolkit's own choice).
[[nodiscard]] std::string ChooseDialogFolder(const std::string& documentPath, const std::string& lastFolder,
                                             const std::function<bool(const std::string&)>& isFolder);

} // namespace pq
