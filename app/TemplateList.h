#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class IPreferenceStore;

// The Template dialog's list: the templates (".tpl" files) of one folder by name, the selected one,
// and what OK, Delete and Rename do to the folder. Only files directly in the folder are ever touched:
// a name that would reach outside it is refused.
class CTemplateList {
public:
    static constexpr std::string_view kTitle = "Template";
    static constexpr std::string_view kExtension = ".tpl";
    // The preference that remembers the template chosen last, to preselect it.
    static constexpr std::string_view kDefaultTemplateName = "DefaultTemplate";

    // Lists the folder and selects the template named by "DefaultTemplate". preferences may be null.
    CTemplateList(std::string folder, IPreferenceStore* preferences);

    [[nodiscard]] const std::string& GetFolder() const { return folder; }
    [[nodiscard]] const std::vector<std::string>& GetNames() const { return names; }
    // The selected item's index; -1 for none.
    [[nodiscard]] int GetSelection() const { return selection; }
    // Selects an item; an index that names none clears the selection.
    void Select(int index);
    [[nodiscard]] std::string PathOf(std::string_view name) const;

    // Lists the folder again (a missing folder gives an empty list) and selects the item named preselect.
    void Fill(std::string_view preselect);

    // OK (and a double-click on an item): the selected template's path, remembered as "DefaultTemplate";
    // nothing without a selection.
    std::optional<std::string> Ok();

    // Asks "Are you sure you want to delete the '...' template?" through ask (true for Yes). Yes deletes
    // the file and selects the item now at the same place, or the one before when the last was deleted.
    // Returns a message for the user when the file could not be deleted (the list then shows the folder
    // as it is); empty otherwise.
    std::string Delete(const std::function<bool(std::string_view)>& ask);
    [[nodiscard]] static std::string DeleteQuestion(std::string_view name);

    // The selected item's label was edited to newName. An empty or unchanged name does nothing; a name
    // that is taken or that could leave the folder is refused with a message; otherwise the file is
    // renamed. The list is filled again from the folder, with the renamed template selected. Returns the
    // message for the user, empty when there is none.
    std::string Rename(const std::string& newName);
    // A name a template file may have in its folder: not empty, no "/" or "\", no control characters,
    // and neither "." nor "..".
    [[nodiscard]] static bool IsValidName(std::string_view name);

private:
    std::string folder;
    IPreferenceStore* preferences;
    std::vector<std::string> names;
    int selection = -1;
};

} // namespace pq
