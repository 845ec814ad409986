#pragma once

#include <vector>

namespace pq {

// The page tree of the native format: pages hang from intermediate nodes of at most six kids each, up to
// one root (with a one-page document the root is the page's only parent). Levels are listed root first,
// pages last; object 3 is the root, the nodes below it follow level by level from object 4, and the
// pages follow the last node.
class CPdfPageTree {
public:
    static constexpr int kFanOut = 6;
    static constexpr int kRootObject = 3;

    explicit CPdfPageTree(int pageCount);

    [[nodiscard]] int PageCount() const { return levels.back(); }
    // Node count of each level, root level first, the pages last.
    [[nodiscard]] const std::vector<int>& Levels() const { return levels; }
    // Tree nodes (root included) plus pages: the objects from 3 on that make the tree.
    [[nodiscard]] int TreeObjects() const { return treeObjects; }
    // The object number of the first node of a level.
    [[nodiscard]] int FirstObjectOfLevel(int level) const;
    // The object number of page i (from 0) and of its content stream.
    [[nodiscard]] int PageObject(int page) const { return FirstObjectOfLevel(LevelCount() - 1) + page; }
    [[nodiscard]] int ContentObject(int page) const { return kRootObject + treeObjects + page; }
    [[nodiscard]] int LevelCount() const { return static_cast<int>(levels.size()); }

private:
    std::vector<int> levels;
    int treeObjects = 0;
};

} // namespace pq
