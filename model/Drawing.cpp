#include "model/Drawing.h"

#include <algorithm>

namespace pq {

namespace {

// Sorted, distinct indices that name objects of a list of the given size.
std::vector<std::size_t> ValidSorted(std::span<const int> indices, std::size_t size) {
    std::vector<std::size_t> out;
    out.reserve(indices.size());
    for (int i : indices) {
        if (i >= 0 && static_cast<std::size_t>(i) < size)
            out.push_back(static_cast<std::size_t>(i));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace

CDrawing::CDrawing() = default;
CDrawing::~CDrawing() = default;

CGraphicObject* CDrawing::GetAt(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= objects.size())
        return nullptr;
    return objects[static_cast<std::size_t>(i)].get();
}

void CDrawing::Add(std::unique_ptr<CGraphicObject> object) {
    if (object)
        objects.push_back(std::move(object));
}

bool CDrawing::InsertAt(int i, std::unique_ptr<CGraphicObject> object) {
    if (!object || i < 0 || static_cast<std::size_t>(i) > objects.size())
        return false;
    objects.insert(objects.begin() + i, std::move(object));
    return true;
}

bool CDrawing::SetAt(int i, std::unique_ptr<CGraphicObject> object) {
    if (!object || i < 0 || static_cast<std::size_t>(i) >= objects.size())
        return false;
    objects[static_cast<std::size_t>(i)] = std::move(object);
    return true;
}

std::unique_ptr<CGraphicObject> CDrawing::DetachAt(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= objects.size())
        return nullptr;
    auto object = std::move(objects[static_cast<std::size_t>(i)]);
    objects.erase(objects.begin() + i);
    return object;
}

void CDrawing::RemoveAt(int i, int n) {
    if (i < 0 || n <= 0 || static_cast<std::size_t>(i) >= objects.size())
        return;
    const std::size_t last =
        std::min(objects.size(), static_cast<std::size_t>(i) + static_cast<std::size_t>(n));
    objects.erase(objects.begin() + i, objects.begin() + static_cast<std::ptrdiff_t>(last));
}

void CDrawing::DeleteIndices(std::span<const int> indices) {
    const std::vector<std::size_t> doomed = ValidSorted(indices, objects.size());
    if (doomed.empty())
        return;
    // One compacting pass: every run of listed objects is dropped and the survivors slide down once,
    // so deleting half of a large drawing costs one walk over it rather than one walk per run.
    std::size_t write = doomed.front();
    std::size_t next = 0;
    for (std::size_t read = doomed.front(); read < objects.size(); ++read) {
        if (next < doomed.size() && doomed[next] == read) {
            objects[read].reset();
            ++next;
            continue;
        }
        objects[write++] = std::move(objects[read]);
    }
    objects.resize(write);
}

void CDrawing::MoveIndices(std::span<const int> indices, int position) {
    const std::vector<std::size_t> moving = ValidSorted(indices, objects.size());
    if (moving.empty())
        return;
    const auto before = static_cast<std::size_t>(
        std::lower_bound(moving.begin(), moving.end(), static_cast<std::size_t>(std::max(position, 0))) -
        moving.begin());
    std::vector<std::unique_ptr<CGraphicObject>> taken;
    std::vector<std::unique_ptr<CGraphicObject>> rest;
    taken.reserve(moving.size());
    rest.reserve(objects.size() - moving.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (next < moving.size() && moving[next] == i) {
            taken.push_back(std::move(objects[i]));
            ++next;
        } else {
            rest.push_back(std::move(objects[i]));
        }
    }
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(position, 0)) - before, rest.size());
    rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(taken.begin()),
                std::make_move_iterator(taken.end()));
    objects = std::move(rest);
}

void CDrawing::Clear() {
    objects.clear();
    pageCount = 1;
}

std::unique_ptr<CGraphicObject> CDrawing::CloneObject(const CGraphicObject& object) {
    return object.Clone();
}

void CDrawing::Assign(const CDrawing& other) {
    if (&other == this) {
        RenumberAll();
        return;
    }
    objects.clear();
    objects.reserve(other.objects.size());
    for (const auto& object : other.objects)
        objects.push_back(CloneObject(*object));
    pageCount = other.pageCount;
    pageWidth = other.pageWidth;
    pageHeight = other.pageHeight;
    RenumberAll();
}

void CDrawing::ReplaceWithCopies(const CDrawing& other, std::span<const int> indices) {
    std::vector<std::unique_ptr<CGraphicObject>> copies;
    copies.reserve(indices.size());
    for (int i : indices) {
        if (const CGraphicObject* object = other.GetAt(i))
            copies.push_back(CloneObject(*object));
    }
    // Cloning first keeps this safe when other is this drawing.
    objects = std::move(copies);
    RenumberAll();
}

void CDrawing::InsertCopies(int position, const CDrawing& other) {
    std::vector<std::unique_ptr<CGraphicObject>> copies;
    copies.reserve(other.objects.size());
    for (const auto& object : other.objects)
        copies.push_back(CloneObject(*object));
    const int existing = RenumberAll();
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(position, 0)), objects.size());
    const std::size_t count = copies.size();
    objects.insert(objects.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(copies.begin()),
                   std::make_move_iterator(copies.end()));
    Renumber(at, at + count, -1, existing);
}

void CDrawing::SetPageCount(int n) {
    pageCount = std::max(n, 1);
}

void CDrawing::AppendPages(int n) {
    if (n > 0)
        pageCount += n;
}

bool CDrawing::InsertPages(int first, int n) {
    if (first < 0 || first > pageCount || n < 1)
        return false;
    for (auto& object : objects) {
        if (object->page >= first)
            object->page += n;
    }
    pageCount += n;
    return true;
}

bool CDrawing::DeletePages(int first, int n) {
    if (pageCount < 2 || n < 1 || first < 0 || first >= pageCount)
        return false;
    n = std::min(n, pageCount - first);
    const int end = first + n;
    std::erase_if(objects, [&](const auto& object) { return object->page >= first && object->page < end; });
    for (auto& object : objects) {
        if (object->page >= end)
            object->page -= n;
    }
    pageCount = std::max(pageCount - n, 1);
    return true;
}

int CDrawing::ObjectCountOnPage(int page) const {
    if (page < 0 || page >= pageCount)
        return 0;
    return static_cast<int>(std::count_if(objects.begin(), objects.end(),
                                          [page](const auto& object) { return object->page == page; }));
}

namespace {

// Union of the non-empty bounds of the objects the filter accepts; all zero when there are none.
template <typename Filter>
CRectF UnionOf(const std::vector<std::unique_ptr<CGraphicObject>>& objects, Filter accept) {
    CRectF box = CRectF::Empty();
    bool any = false;
    for (const auto& object : objects) {
        if (!accept(*object) || object->bounds.IsEmpty())
            continue;
        box.Include(object->bounds);
        any = true;
    }
    return any ? box : CRectF{};
}

} // namespace

CRectF CDrawing::PageBounds(int page) const {
    return UnionOf(objects, [page](const CGraphicObject& o) { return o.page == page; });
}

CRectF CDrawing::Bounds(bool flaggedOnly) const {
    return UnionOf(objects,
                   [flaggedOnly](const CGraphicObject& o) { return !flaggedOnly || (o.flags & 1) != 0; });
}

bool CDrawing::IsValidPageSize(float width, float height) {
    // Written so that NaN fails every comparison and is refused.
    return width >= kMinPageSide && width <= kMaxPageSide && height >= kMinPageSide && height <= kMaxPageSide;
}

bool CDrawing::SetPageSize(float width, float height) {
    if (!IsValidPageSize(width, height))
        return false;
    pageWidth = width;
    pageHeight = height;
    return true;
}

void CDrawing::AddWarning(const std::string& text) {
    if (text.empty() || warning.find(text) != std::string::npos)
        return;
    if (!warning.empty())
        warning += '\n';
    warning += text;
}

} // namespace pq
