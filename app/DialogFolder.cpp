#include "app/DialogFolder.h"

namespace pq {

std::string FolderOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string ChooseDialogFolder(const std::string& documentPath, const std::string& lastFolder,
                               const std::function<bool(const std::string&)>& isFolder) {
    if (const std::string own = FolderOfPath(documentPath); !own.empty() && isFolder(own))
        return own;
    if (!lastFolder.empty() && isFolder(lastFolder))
        return lastFolder;
    return {};
}

} // namespace pq
