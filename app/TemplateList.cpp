#include "app/TemplateList.h"

#include "document/PreferenceStore.h"
#include "platform/FolderFiles.h"

#include <algorithm>

namespace pq {

CTemplateList::CTemplateList(std::string templateFolder, IPreferenceStore* store)
    : folder(std::move(templateFolder)), preferences(store) {
    Fill(preferences != nullptr ? preferences->ReadString(kDefaultTemplateName, "") : std::string());
}

void CTemplateList::Select(int index) {
    selection = index >= 0 && index < static_cast<int>(names.size()) ? index : -1;
}

std::string CTemplateList::PathOf(std::string_view name) const {
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + std::string(name) + std::string(kExtension);
}

void CTemplateList::Fill(std::string_view preselect) {
    names.clear();
    for (const std::string& file : ListFileNames(folder, kExtension))
        names.push_back(file.substr(0, file.size() - kExtension.size()));
    const auto found = std::find(names.begin(), names.end(), preselect);
    selection = found != names.end() ? static_cast<int>(found - names.begin()) : -1;
}

std::optional<std::string> CTemplateList::Ok() {
    if (selection < 0)
        return std::nullopt;
    const std::string& name = names[static_cast<std::size_t>(selection)];
    if (preferences != nullptr)
        preferences->WriteString(kDefaultTemplateName, name);
    return PathOf(name);
}

std::string CTemplateList::DeleteQuestion(std::string_view name) {
    return "Are you sure you want to delete the '" + std::string(name) + "' template?";
}

std::string CTemplateList::Delete(const std::function<bool(std::string_view)>& ask) {
    if (selection < 0)
        return {};
    const std::string name = names[static_cast<std::size_t>(selection)];
    if (!ask || !ask(DeleteQuestion(name)))
        return {};
    std::string reason;
    if (!DeleteFileAt(PathOf(name), reason)) {
        Fill(name);
        return "The template '" + name + "' could not be deleted: " + reason;
    }
    const int at = selection;
    names.erase(names.begin() + at);
    Select(at < static_cast<int>(names.size()) ? at : at - 1);
    return {};
}

bool CTemplateList::IsValidName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::string CTemplateList::Rename(const std::string& newName) {
    if (selection < 0)
        return {};
    const std::string oldName = names[static_cast<std::size_t>(selection)];
    if (newName.empty() || newName == oldName)
        return {};
    std::string message;
    std::string reason;
    if (!IsValidName(newName)) {
        message = "A template name cannot contain '/' or '\\', nor be '.' or '..'.";
    } else {
        switch (RenameWithoutReplacing(PathOf(oldName), PathOf(newName), reason)) {
        case RenameOutcome::Renamed:
            break;
        case RenameOutcome::TargetExists:
            message = "A template named '" + newName + "' already exists.";
            break;
        case RenameOutcome::Failed:
            message = "The template '" + oldName + "' could not be renamed: " + reason;
            break;
        }
    }
    Fill(message.empty() ? newName : oldName);
    return message;
}

} // namespace pq
