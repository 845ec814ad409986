#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pq {

// The names of the regular files in a folder (a link to a regular file counts) whose names end in suffix,
// sorted; empty when the folder is missing or cannot be read.
[[nodiscard]] std::vector<std::string> ListFileNames(const std::string& folder, std::string_view suffix);

// The names of the folders in a folder (a link to a folder counts), sorted, leaving out hidden ones (names
// starting with "."); empty when the folder is missing or cannot be read.
[[nodiscard]] std::vector<std::string> ListFolderNames(const std::string& folder);

// True when anything stands at path: a file, a folder, or a link, even one that leads nowhere.
[[nodiscard]] bool PathExists(const std::string& path);

// Creates a folder and its parents; an existing folder is fine. On failure message says why.
bool CreateFolders(const std::string& path, std::string& message);

// Deletes a file (not a folder). A file that is already gone counts as deleted. On failure message says
// why.
bool DeleteFileAt(const std::string& path, std::string& message);

// Removes an empty folder. A folder that still holds anything is left as it is, and message says so.
bool DeleteEmptyFolder(const std::string& path, std::string& message);

enum class RenameOutcome { Renamed, TargetExists, Failed };

// Renames a file or a folder without ever replacing what stands at the new name: TargetExists leaves both alone.
// Failed leaves a reason in message.
RenameOutcome RenameWithoutReplacing(const std::string& from, const std::string& to, std::string& message);

// Copies a regular file to a new name through the atomic writer. On failure message says why.
bool CopyRegularFile(const std::string& from, const std::string& to, std::string& message);

} // namespace pq
