#pragma once

#include "app/ClipArtLibrary.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class IPreferenceStore;

// Asks a Yes/No question; true for Yes.
using AskYesNo = std::function<bool(std::string_view)>;

// The categories both library dialogs choose from, with the one chosen remembered as "LastCategory"
// (its index in the list) when a dialog closes with OK and restored when one opens.
class CCategoryChoice {
public:
    static constexpr std::string_view kLastCategoryName = "LastCategory";

    // Creates the library's root when missing, lists the categories and selects the remembered one (the
    // first when that is not a valid index). preferences may be null.
    CCategoryChoice(CClipArtLibrary library, IPreferenceStore* preferences);

    [[nodiscard]] const CClipArtLibrary& GetLibrary() const { return library; }
    [[nodiscard]] const std::vector<std::string>& GetCategories() const { return categories; }
    // The selected category's index; -1 for none (an empty library).
    [[nodiscard]] int GetCategory() const { return category; }
    [[nodiscard]] std::string CategoryName() const;
    virtual void SelectCategory(int index);
    // Why the library's root could not be made when the dialog opened; empty when it was there.
    [[nodiscard]] const std::string& GetOpenProblem() const { return openProblem; }

    // New Category: makes the folder and selects it. Returns a message for the user, empty when none.
    std::string CreateCategory(std::string_view name);
    // Lists the categories again and selects the one named (or the first).
    void FillCategories(std::string_view select);

protected:
    virtual ~CCategoryChoice() = default;
    void RememberCategory() const;

    CClipArtLibrary library;
    IPreferenceStore* preferences;
    std::vector<std::string> categories;
    int category = -1;
    std::string openProblem;
};

// The Library dialog: the items of the chosen category with their pictures; Insert (OK) gives the chosen
// item's path; items and categories are renamed and deleted here.
class CLibraryBrowser : public CCategoryChoice {
public:
    static constexpr std::string_view kTitle = "Library";

    CLibraryBrowser(CClipArtLibrary library, IPreferenceStore* preferences);

    // Choosing a category lists its items, none selected.
    void SelectCategory(int index) override;
    [[nodiscard]] const std::vector<CClipArtItem>& GetItems() const { return items; }
    [[nodiscard]] int GetItem() const { return item; }
    // Selects an item; an index that names none clears the selection.
    void SelectItem(int index);
    // Lists the chosen category's items again, selecting the one named.
    void FillItems(std::string_view select = {});

    // What the "..." menu offers.
    [[nodiscard]] bool CanChangeItem() const { return item >= 0; }
    [[nodiscard]] bool CanChangeCategory() const { return category >= 0; }
    // Only an empty category can be deleted: its items go one by one, each after a question.
    [[nodiscard]] bool CanDeleteCategory() const { return category >= 0 && items.empty(); }

    // Insert: the selected item's path (kept as the dialog's result), with the category remembered;
    // nothing without a selected item.
    std::optional<std::string> Ok();
    [[nodiscard]] const std::optional<std::string>& GetChosenPath() const { return chosen; }

    // Each returns a message for the user, empty when there is none, and leaves the lists showing the
    // folders as they are.
    std::string DeleteItem(const AskYesNo& ask);
    std::string DeleteCategory(const AskYesNo& ask);
    std::string RenameItem(std::string_view newName);
    std::string RenameCategory(std::string_view newName);
    [[nodiscard]] static std::string DeleteItemQuestion(std::string_view name);
    [[nodiscard]] static std::string DeleteCategoryQuestion(std::string_view name);

private:
    std::vector<CClipArtItem> items;
    int item = -1;
    std::optional<std::string> chosen;
};

// The Send to Library dialog: the selected objects become a new Illustrator item of the chosen category.
class CSendToLibrary : public CCategoryChoice {
public:
    static constexpr std::string_view kTitle = "Send to Library";

    // source and selection are the objects to send; they are copied only on OK.
    CSendToLibrary(CClipArtLibrary library, IPreferenceStore* preferences, const CDrawing& source,
                   std::vector<int> selection, bool antiAlias);

    [[nodiscard]] const std::string& GetName() const { return name; }
    void SetName(std::string text) { name = std::move(text); }

    struct CResult {
        bool close = false;  // the dialog closes
        std::string message; // for the user; empty when none
        std::string written; // the item's path, when one was written
    };
    // OK. An empty name asks for one and writes nothing (the dialog stays). Otherwise the item "name.ai"
    // of the chosen category is written (a name typed with ".ai" is not doubled); an existing item is
    // replaced only when ask says Yes, and No keeps the dialog open. A bad name, a missing category or a
    // failed write keeps the dialog open with a message. The category is remembered whenever the dialog
    // closes.
    CResult Ok(const AskYesNo& ask);
    [[nodiscard]] static std::string ReplaceQuestion(std::string_view name);

private:
    const CDrawing& source;
    std::vector<int> selection;
    bool antiAlias;
    std::string name;
};

} // namespace pq
