#include "app/LibraryBrowser.h"

#include "document/PreferenceStore.h"
#include "model/Clipboard.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/FolderFiles.h"

#include <algorithm>
#include <cctype>

namespace pq {

namespace {

constexpr std::string_view kIllustratorExtension = ".ai";

std::string Format(std::string_view pattern, std::string_view value) {
    std::string text(pattern);
    if (const std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

std::string WithoutIllustratorExtension(std::string name) {
    const std::size_t n = kIllustratorExtension.size();
    if (name.size() > n && std::equal(kIllustratorExtension.begin(), kIllustratorExtension.end(),
                                      name.end() - static_cast<std::ptrdiff_t>(n), [](char a, char b) {
                                          return a == std::tolower(static_cast<unsigned char>(b));
                                      }))
        name.resize(name.size() - n);
    return name;
}

} // namespace

CCategoryChoice::CCategoryChoice(CClipArtLibrary lib, IPreferenceStore* store)
    : library(std::move(lib)), preferences(store) {
    library.EnsureRoot(openProblem);
    categories = library.Categories();
    const int remembered = preferences != nullptr ? preferences->ReadInt(kLastCategoryName, 0) : 0;
    category = categories.empty()                                                    ? -1
               : remembered >= 0 && remembered < static_cast<int>(categories.size()) ? remembered
                                                                                     : 0;
}

std::string CCategoryChoice::CategoryName() const {
    return category >= 0 ? categories[static_cast<std::size_t>(category)] : std::string();
}

void CCategoryChoice::SelectCategory(int index) {
    if (index >= 0 && index < static_cast<int>(categories.size()))
        category = index;
}

void CCategoryChoice::FillCategories(std::string_view select) {
    categories = library.Categories();
    const auto found = std::find(categories.begin(), categories.end(), select);
    category = found != categories.end() ? static_cast<int>(found - categories.begin())
               : categories.empty()      ? -1
                                         : 0;
}

std::string CCategoryChoice::CreateCategory(std::string_view name) {
    if (name.empty())
        return {};
    const std::string message = library.CreateCategory(name);
    FillCategories(message.empty() ? name : std::string_view(CategoryName()));
    SelectCategory(category);
    return message;
}

void CCategoryChoice::RememberCategory() const {
    if (preferences != nullptr && category >= 0)
        preferences->WriteInt(kLastCategoryName, category);
}

CLibraryBrowser::CLibraryBrowser(CClipArtLibrary lib, IPreferenceStore* store)
    : CCategoryChoice(std::move(lib), store) {
    FillItems();
}

void CLibraryBrowser::SelectCategory(int index) {
    CCategoryChoice::SelectCategory(index);
    FillItems();
}

void CLibraryBrowser::SelectItem(int index) {
    item = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
}

void CLibraryBrowser::FillItems(std::string_view select) {
    items = category >= 0 ? library.Items(CategoryName()) : std::vector<CClipArtItem>();
    const auto found =
        std::find_if(items.begin(), items.end(), [&](const CClipArtItem& i) { return i.name == select; });
    item = !select.empty() && found != items.end() ? static_cast<int>(found - items.begin()) : -1;
}

std::optional<std::string> CLibraryBrowser::Ok() {
    if (item < 0)
        return std::nullopt;
    chosen = items[static_cast<std::size_t>(item)].path;
    RememberCategory();
    return chosen;
}

std::string CLibraryBrowser::DeleteItemQuestion(std::string_view name) {
    return Format("Are you sure you want\nto delete'%s'?", name);
}

std::string CLibraryBrowser::DeleteCategoryQuestion(std::string_view name) {
    return Format("Are you sure you want\nto delete'%s'", name);
}

std::string CLibraryBrowser::DeleteItem(const AskYesNo& ask) {
    if (item < 0)
        return {};
    const CClipArtItem doomed = items[static_cast<std::size_t>(item)];
    if (!ask || !ask(DeleteItemQuestion(doomed.name)))
        return {};
    const std::string message = library.DeleteItem(CategoryName(), doomed);
    FillItems();
    return message;
}

std::string CLibraryBrowser::DeleteCategory(const AskYesNo& ask) {
    if (!CanDeleteCategory())
        return {};
    const std::string name = CategoryName();
    if (!ask || !ask(DeleteCategoryQuestion(name)))
        return {};
    const std::string message = library.DeleteCategory(name);
    FillCategories(message.empty() ? std::string_view() : std::string_view(name));
    FillItems();
    return message;
}

std::string CLibraryBrowser::RenameItem(std::string_view newName) {
    if (item < 0 || newName.empty())
        return {};
    const CClipArtItem renamed = items[static_cast<std::size_t>(item)];
    std::string finalName;
    const std::string message = library.RenameItem(CategoryName(), renamed, newName, &finalName);
    FillItems(message.empty() ? finalName : renamed.name);
    return message;
}

std::string CLibraryBrowser::RenameCategory(std::string_view newName) {
    if (category < 0 || newName.empty())
        return {};
    const std::string oldName = CategoryName();
    const std::string message = library.RenameCategory(oldName, newName);
    FillCategories(message.empty() ? newName : std::string_view(oldName));
    FillItems();
    return message;
}

CSendToLibrary::CSendToLibrary(CClipArtLibrary lib, IPreferenceStore* store, const CDrawing& drawing,
                               std::vector<int> selected, bool smooth)
    : CCategoryChoice(std::move(lib), store), source(drawing), selection(std::move(selected)),
      antiAlias(smooth) {}

std::string CSendToLibrary::ReplaceQuestion(std::string_view itemName) {
    return Format("The item '%s' exists\nReplace?", itemName);
}

CSendToLibrary::CResult CSendToLibrary::Ok(const AskYesNo& ask) {
    CResult result;
    if (name.empty()) {
        // Closing here as if the item had been sent would lose the user's intent in silence.
        RememberCategory();
        result.message = "Type a name for the item.";
        return result;
    }
    const std::string base = WithoutIllustratorExtension(name);
    if (!CClipArtLibrary::IsValidName(base)) {
        result.message = "An item name cannot start with '.' or contain '/' or '\\'.";
        return result;
    }
    if (category < 0) {
        result.message = "There is no category to keep the item in: make one with \"New Category...\".";
        return result;
    }
    const std::string target =
        library.CategoryPath(CategoryName()) + "/" + base + std::string(kIllustratorExtension);
    if (PathExists(target) && (!ask || !ask(ReplaceQuestion(base))))
        return result;

    // The item holds copies of the selected objects on a page of its own.
    CDrawing item;
    if (!CopyToClipboard(source, selection, item)) {
        result.message = "There are no selected objects to send.";
        return result;
    }
    item.SetPageSize(source.GetPageWidth(), source.GetPageHeight());
    for (const auto& object : item.Objects())
        object->page = 0;
    std::string reason;
    if (!WriteClipArtItem(item, target, antiAlias, reason)) {
        result.message = "The item '" + base + "' could not be written: " + reason;
        return result;
    }
    RememberCategory();
    result.close = true;
    result.written = target;
    return result;
}

} // namespace pq
