#include "model/Drawing.h"

#include <unordered_map>

namespace pq {

int CDrawing::Renumber(std::size_t first, std::size_t last, int page, int start) {
    // New numbers follow the order in which the old ones first appear.
    std::unordered_map<int32_t, int32_t> mapping;
    int counter = start;
    for (std::size_t i = first; i < last && i < objects.size(); ++i) {
        CGraphicObject& object = *objects[i];
        if (object.group == 0 || (page >= 0 && object.page != page))
            continue;
        auto [it, inserted] = mapping.try_emplace(object.group, 0);
        if (inserted)
            it->second = ++counter;
        object.group = it->second;
    }
    return counter;
}

int CDrawing::RenumberAll() {
    return Renumber(0, objects.size(), -1, 0);
}

int CDrawing::RenumberPage(int page) {
    if (page < 0)
        return 0;
    return Renumber(0, objects.size(), page, 0);
}

void CDrawing::Group(std::span<const int> indices) {
    const int number = RenumberAll() + 1;
    for (int i : indices) {
        if (CGraphicObject* object = GetAt(i))
            object->group = number;
    }
}

void CDrawing::Ungroup(std::span<const int> indices) {
    for (int i : indices) {
        if (CGraphicObject* object = GetAt(i))
            object->group = 0;
    }
}

namespace {

// Writes member lists 1.. as a group table: each group's member count, then its members.
void AppendGroupTable(const std::vector<std::vector<int>>& members, std::vector<int>& table) {
    for (std::size_t g = 1; g < members.size(); ++g) {
        table.push_back(static_cast<int>(members[g].size()));
        table.insert(table.end(), members[g].begin(), members[g].end());
    }
}

} // namespace

void CDrawing::BuildGroupTable(std::vector<int>& table) {
    table.clear();
    const int groups = RenumberAll();
    if (groups == 0)
        return;
    std::vector<std::vector<int>> members(static_cast<std::size_t>(groups) + 1);
    // Page-major positions: page 0's objects in list order, then page 1's, and so on. Bucketing the
    // list by page once keeps this linear in the number of objects.
    std::vector<std::vector<const CGraphicObject*>> byPage(static_cast<std::size_t>(pageCount));
    for (const auto& object : objects) {
        if (object->page >= 0 && object->page < pageCount)
            byPage[static_cast<std::size_t>(object->page)].push_back(object.get());
    }
    int k = 0;
    for (const auto& pageObjects : byPage) {
        for (const CGraphicObject* object : pageObjects) {
            if (object->group != 0)
                members[static_cast<std::size_t>(object->group)].push_back(k);
            ++k;
        }
    }
    AppendGroupTable(members, table);
}

void CDrawing::BuildPageGroupTable(int page, std::vector<int>& table) {
    table.clear();
    if (page < 0 || page >= pageCount)
        return;
    const int groups = RenumberPage(page);
    if (groups == 0)
        return;
    std::vector<std::vector<int>> members(static_cast<std::size_t>(groups) + 1);
    int k = 0;
    for (const auto& object : objects) {
        if (object->page != page)
            continue;
        if (object->group != 0)
            members[static_cast<std::size_t>(object->group)].push_back(k);
        ++k;
    }
    AppendGroupTable(members, table);
}

void CDrawing::ApplyGroupTable(std::span<const int> table) {
    for (auto& object : objects)
        object->group = 0;
    std::size_t at = 0;
    int32_t number = 0;
    while (at < table.size()) {
        const int count = table[at++];
        if (count < 0 || static_cast<std::size_t>(count) > table.size() - at)
            break;
        ++number;
        for (int j = 0; j < count; ++j) {
            if (CGraphicObject* object = GetAt(table[at + static_cast<std::size_t>(j)]))
                object->group = number;
        }
        at += static_cast<std::size_t>(count);
    }
}

} // namespace pq
