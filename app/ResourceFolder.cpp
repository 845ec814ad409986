#include "app/ResourceFolder.h"

#include <filesystem>
#include <system_error>

namespace pq {

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return program.parent_path().string();
}

std::string FindResourceFolder(const std::string& executableFolder, const std::string& sourceResources) {
    std::error_code error;
    if (!executableFolder.empty()) {
        const std::filesystem::path installed =
            std::filesystem::path(executableFolder).parent_path() / "share" / "pentaquill-draw";
        if (std::filesystem::is_directory(installed, error))
            return installed.lexically_normal().string();
    }
    if (!sourceResources.empty() && std::filesystem::is_directory(sourceResources, error))
        return sourceResources;
    return {};
}

} // namespace pq
