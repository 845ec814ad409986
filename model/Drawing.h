#pragma once

#include "model/GraphicObject.h"

#include "geometry/RectF.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace pq {

// The content of one document: every object of every page in one list (list order is drawing order
// and file order), the page count and the one page size all pages share, and the last file error.
// Pages and groups are numbers on the objects: a group is the set of objects of a page that share a
// non-zero group number.
//
// Indices are ints, as the selection holds them. Operations taking index lists ignore indices outside
// the list of objects.
class CDrawing {
public:
    static constexpr float kDefaultPageWidth = 1050.0f;
    static constexpr float kDefaultPageHeight = 1480.0f;
    // Page sides a drawing can have: from a tenth of a millimetre to the largest page a PDF may have
    // (200 inches, 14400 points).
    static constexpr float kMinPageSide = 1.0f;
    static constexpr float kMaxPageSide = 50800.0f;

    CDrawing();
    ~CDrawing();
    CDrawing(const CDrawing&) = delete;
    CDrawing& operator=(const CDrawing&) = delete;

    // Objects.
    [[nodiscard]] int Count() const { return static_cast<int>(objects.size()); }
    // The object at i, or nullptr when i is out of range.
    [[nodiscard]] CGraphicObject* GetAt(int i) const;
    [[nodiscard]] const std::vector<std::unique_ptr<CGraphicObject>>& Objects() const { return objects; }
    void Add(std::unique_ptr<CGraphicObject> object);
    // Inserts before i; i may equal Count(). False (object deleted) when i is out of range.
    bool InsertAt(int i, std::unique_ptr<CGraphicObject> object);
    // Replaces (and deletes) the object at i. False (object deleted) when i is out of range.
    bool SetAt(int i, std::unique_ptr<CGraphicObject> object);
    // Takes the object at i out of the list and hands it to the caller; nullptr when out of range.
    std::unique_ptr<CGraphicObject> DetachAt(int i);
    // Deletes n objects from i on (cut at the end of the list).
    void RemoveAt(int i, int n = 1);
    // Deletes the listed objects (any order, duplicates allowed) in one pass over the list.
    void DeleteIndices(std::span<const int> indices);
    // Takes the listed objects out, keeping their relative order, and inserts them at position, which is
    // first lowered by the number of listed objects that stood before it.
    void MoveIndices(std::span<const int> indices, int position);
    // Deletes all objects and sets the page count to 1.
    void Clear();

    [[nodiscard]] static std::unique_ptr<CGraphicObject> CloneObject(const CGraphicObject& object);
    // Becomes a copy of other: clones of its objects, its page count and page size; groups renumbered.
    void Assign(const CDrawing& other);
    // Replaces all objects by clones of other's listed objects in list order, groups renumbered from 1.
    // Page count and size stay.
    void ReplaceWithCopies(const CDrawing& other, std::span<const int> indices);
    // Inserts clones of all of other's objects at position (clamped to the list); their groups get
    // numbers above the groups already present.
    void InsertCopies(int position, const CDrawing& other);

    // Pages.
    [[nodiscard]] int PageCount() const { return pageCount; }
    // A count below 1 sets 1.
    void SetPageCount(int n);
    void AppendPages(int n);
    // Moves every object on page first or later n pages on; false (nothing changed) unless
    // 0 <= first <= PageCount() and n >= 1.
    bool InsertPages(int first, int n);
    // Deletes the objects on pages first .. first + n - 1 (n cut to the pages that exist) and moves the
    // later pages' objects n pages back; false (nothing changed) for a one-page drawing, n < 1 or a first
    // page outside the drawing.
    bool DeletePages(int first, int n);
    [[nodiscard]] int ObjectCountOnPage(int page) const;
    // Union of the bounds of the page's objects; all zero when the page has none.
    [[nodiscard]] CRectF PageBounds(int page) const;
    [[nodiscard]] float GetPageWidth() const { return pageWidth; }
    [[nodiscard]] float GetPageHeight() const { return pageHeight; }
    // Sets the page size; a side outside the range above (or not a number) is refused: false, and the
    // size stays as it was.
    bool SetPageSize(float width, float height);
    [[nodiscard]] static bool IsValidPageSize(float width, float height);
    // Union of the bounds of all objects, or only of those whose flags bit 0 is set; all zero when there
    // are none.
    [[nodiscard]] CRectF Bounds(bool flaggedOnly = false) const;

    // Groups.
    // Renumbers all groups, then gives the listed objects the number (number of groups + 1).
    void Group(std::span<const int> indices);
    // Sets the listed objects' group to 0.
    void Ungroup(std::span<const int> indices);
    // Renumbers the groups densely from 1 in the order they first appear; returns the number of groups.
    int RenumberAll();
    // The same for the objects of one page; returns that page's number of groups.
    int RenumberPage(int page);
    // For each group in ascending number: its member count, then its members' page-major indices (the
    // position of each object when the pages are listed one after another). Renumbers all groups first.
    void BuildGroupTable(std::vector<int>& table);
    // The same for one page with indices among that page's objects; empty for a page out of range.
    void BuildPageGroupTable(int page, std::vector<int>& table);
    // Sets every group to 0, then gives the members of the i-th block of the table (list indices)
    // group i. Indices outside the list are skipped; a block running past the table's end is ignored.
    void ApplyGroupTable(std::span<const int> table);

    // Combining (Combine.cpp).
    // Joins the listed objects' subpaths (in list order; non-paths give none) into one new path with the
    // first object's style, colour and page and no group. Needs two or more entries and a path first.
    // All listed objects are removed and the new path is inserted at the lowest listed index (the first
    // entry of an ascending selection); indices becomes that single index. Returns whether it joined.
    bool Join(std::vector<int>& indices);
    // Replaces the path at index by one path per subpath, in subpath order, each with the source's
    // style, colour, group and page. Returns the number of pieces; 0 when the object is not a path
    // (nothing changed) or is a path without subpaths (it is removed).
    int BreakApart(int index);

    [[nodiscard]] const std::string& GetErrorMessage() const { return errorMessage; }
    void SetErrorMessage(std::string text) { errorMessage = std::move(text); }
    // What a reader that succeeded had to leave out or change (a page cut short, a page size it could
    // not use), one sentence a line; empty when the file was read whole. Opening shows it.
    [[nodiscard]] const std::string& GetWarning() const { return warning; }
    void AddWarning(const std::string& text);
    void ClearWarning() { warning.clear(); }

private:
    // Renumbers the groups of the objects [first, last) that lie on page (any page when page < 0),
    // the counter starting at start; returns the final counter.
    int Renumber(std::size_t first, std::size_t last, int page, int start);

    std::vector<std::unique_ptr<CGraphicObject>> objects;
    int pageCount = 1;
    float pageWidth = kDefaultPageWidth;
    float pageHeight = kDefaultPageHeight;
    std::string errorMessage;
    std::string warning;
};

} // namespace pq
