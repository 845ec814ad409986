#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace pq {

// A growable array of plain values with a predictable capacity rule: when a larger size needs more room,
// the capacity becomes the largest of the requested size, the old capacity plus the growth step, and one
// and a half times the old capacity. The last term keeps appending amortised constant time whatever the
// step, so an array fed from a file costs time linear in the file. Unless a step was set, the step is one
// eighth of the current size, at least 4. New elements are zero-filled; setting size 0 frees the storage.
template <typename T> class CGrowableArray {
public:
    CGrowableArray() = default;

    [[nodiscard]] std::size_t GetSize() const { return items.size(); }
    [[nodiscard]] std::size_t GetCapacity() const { return items.capacity(); }
    [[nodiscard]] bool IsEmpty() const { return items.empty(); }

    // Growth step used when the capacity must grow; 0 restores the default rule.
    void SetGrowBy(std::size_t step) { growBy = step; }

    void SetSize(std::size_t size) {
        if (size == 0) {
            std::vector<T>().swap(items);
            return;
        }
        Reserve(size);
        items.resize(size, T{});
    }

    // The item is copied before the storage may move, so an element of this array can be added.
    void Add(const T& item) {
        const T copy = item;
        Reserve(items.size() + 1);
        items.push_back(copy);
    }
    void Append(const CGrowableArray& other) {
        if (&other == this) {
            const std::vector<T> copy = items;
            Reserve(2 * copy.size());
            items.insert(items.end(), copy.begin(), copy.end());
            return;
        }
        Reserve(items.size() + other.GetSize());
        items.insert(items.end(), other.items.begin(), other.items.end());
    }
    void InsertAt(std::size_t index, const T& item) {
        const T copy = item;
        Reserve(items.size() + 1);
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(std::min(index, items.size())), copy);
    }
    void RemoveAt(std::size_t index, std::size_t count = 1) {
        if (index >= items.size())
            return;
        count = std::min(count, items.size() - index);
        const auto first = items.begin() + static_cast<std::ptrdiff_t>(index);
        items.erase(first, first + static_cast<std::ptrdiff_t>(count));
    }
    void RemoveAll() { SetSize(0); }

    T& operator[](std::size_t i) { return items[i]; }
    const T& operator[](std::size_t i) const { return items[i]; }
    T& Last() { return items.back(); }
    const T& Last() const { return items.back(); }

    T* data() { return items.data(); }
    const T* data() const { return items.data(); }
    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }

    bool operator==(const CGrowableArray& o) const { return items == o.items; }

private:
    void Reserve(std::size_t wanted) {
        const std::size_t capacity = items.capacity();
        if (wanted <= capacity)
            return;
        const std::size_t step = growBy != 0 ? growBy : std::max<std::size_t>(items.size() / 8, 4);
        items.reserve(std::max({wanted, capacity + step, capacity + capacity / 2}));
    }

    std::vector<T> items;
    std::size_t growBy = 0;
};

} // namespace pq
