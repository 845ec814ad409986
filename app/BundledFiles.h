#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// What copying the bundled files did.
struct CBundledCopy {
    std::vector<std::string> copied; // file names, sorted
    std::string message;             // the first failure, for the user; empty when none
};

// Copies the files of the resources' folder whose names end in extension into the user's folder
// (created when missing), each the first time it is offered: a name that already stands in the user's
// folder is never replaced, and a name offered before (kept in the user's folder's ".bundled" list) is
// not copied again, so a bundled file the user deleted stays deleted. Names bundled by a later version
// arrive when it first runs.
CBundledCopy CopyBundledFiles(const std::string& bundledFolder, const std::string& userFolder,
                              std::string_view extension);

// The same for a tree of one level: every file of the bundled root's sub-folders whose name ends in one of
// the extensions joins the user's root under the same sub-folder (made when missing). The names offered
// ("folder/file") are kept in the user's root, so a file or a whole sub-folder the user deleted, or a
// sub-folder the user renamed, is not brought back. copied lists "folder/file" names.
CBundledCopy CopyBundledTree(const std::string& bundledRoot, const std::string& userRoot,
                             std::span<const std::string_view> extensions);

// The list in the user's folder of the names offered so far.
inline constexpr std::string_view kBundledListName = ".bundled";

} // namespace pq
