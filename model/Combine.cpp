#include "model/Drawing.h"

#include <algorithm>

namespace pq {

namespace {

// A new path object with the source's style words, colour and page; no subpaths yet.
std::unique_ptr<CGraphicObject> PathLike(const CGraphicObject& source, const CPathShape& style) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    path->penStyle = style.penStyle;
    path->penWidth = style.penWidth;
    path->penColor = style.penColor;
    path->brushStyle = style.brushStyle;
    object->color = source.color;
    object->page = source.page;
    return object;
}

} // namespace

bool CDrawing::Join(std::vector<int>& indices) {
    if (indices.size() < 2)
        return false;
    const CGraphicObject* first = GetAt(indices.front());
    if (first == nullptr || first->AsPath() == nullptr)
        return false;

    auto joined = PathLike(*first, *first->AsPath());
    CPathShape* target = joined->AsPath();
    std::vector<int> used;
    used.reserve(indices.size());
    for (int i : indices) {
        const CGraphicObject* object = GetAt(i);
        // A repeated index contributes its subpaths once.
        if (object == nullptr || std::find(used.begin(), used.end(), i) != used.end())
            continue;
        used.push_back(i);
        if (const CPathShape* path = object->AsPath()) {
            for (const auto& nodes : path->subpaths)
                target->AddSubpath(*nodes);
        }
    }
    joined->RecalcBounds();

    // Every listed object goes (undo puts them all back); the joined path takes the place of the lowest
    // of them, which is the first entry for an ascending selection. The lowest index is still valid
    // after the deletion, whereas the first entry of an unsorted list might not be.
    const int at = *std::min_element(used.begin(), used.end());
    DeleteIndices(used);
    InsertAt(at, std::move(joined));
    indices.assign(1, at);
    return true;
}

int CDrawing::BreakApart(int index) {
    const CGraphicObject* source = GetAt(index);
    if (source == nullptr || source->AsPath() == nullptr)
        return 0;
    const CPathShape& path = *source->AsPath();
    std::vector<std::unique_ptr<CGraphicObject>> pieces;
    pieces.reserve(path.subpaths.size());
    for (const auto& nodes : path.subpaths) {
        auto piece = PathLike(*source, path);
        piece->group = source->group;
        piece->AsPath()->AddSubpath(*nodes);
        piece->RecalcBounds();
        pieces.push_back(std::move(piece));
    }
    // The pieces replace the source in subpath order. A path without subpaths becomes no pieces and is
    // removed, which is what its undo record (index, 0 pieces, the object) restores.
    const auto at = objects.begin() + index;
    objects.erase(at);
    objects.insert(objects.begin() + index, std::make_move_iterator(pieces.begin()),
                   std::make_move_iterator(pieces.end()));
    return static_cast<int>(pieces.size());
}

} // namespace pq
