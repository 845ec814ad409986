#include "native/PdfPageTree.h"

#include <algorithm>

namespace pq {

CPdfPageTree::CPdfPageTree(int pageCount) {
    levels.push_back(std::max(pageCount, 1));
    while (levels.front() > 1)
        levels.insert(levels.begin(), (levels.front() + kFanOut - 1) / kFanOut);
    if (levels.size() == 1)
        levels.insert(levels.begin(), 1);
    for (int count : levels)
        treeObjects += count;
}

int CPdfPageTree::FirstObjectOfLevel(int level) const {
    int number = kRootObject;
    for (int i = 0; i < level && i < LevelCount(); ++i)
        number += levels[static_cast<std::size_t>(i)];
    return number;
}

} // namespace pq
