#include "model/ReorderedObjects.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/MemoryFile.h"

#include <algorithm>
#include <cstring>

namespace pq {

namespace {

// Each object's record, one after another, with where each begins and a hash of it.
struct CObjectRecords {
    CMemoryFile bytes{std::size_t{1} << 16};
    std::vector<std::size_t> starts; // one more than there are objects
    std::vector<uint64_t> hashes;

    bool Add(const CGraphicObject* object) {
        if (starts.empty())
            starts.push_back(0);
        if (object == nullptr || !object->Save(bytes))
            return false;
        const std::size_t start = starts.back(), end = bytes.GetLength();
        starts.push_back(end);
        // Group numbers change no pixel, and a save renumbers them between an edit and its undo.
        std::memset(bytes.GetData() + start + CGraphicObject::kRecordGroupOffset, 0, 4);
        // Eight bytes at a time: equal records are confirmed byte for byte, so the hash only sorts.
        uint64_t hash = end - start;
        const uint8_t* data = bytes.GetData();
        const auto mix = [&hash](uint64_t word) {
            hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
            hash ^= hash >> 29;
        };
        std::size_t i = start;
        for (; i + 8 <= end; i += 8) {
            uint64_t word;
            std::memcpy(&word, data + i, 8);
            mix(word);
        }
        uint64_t tail = 0;
        std::memcpy(&tail, data + i, end - i);
        mix(tail);
        hashes.push_back(hash);
        return true;
    }
    [[nodiscard]] std::span<const uint8_t> Record(std::size_t i) const {
        return bytes.GetBytes().subspan(starts[i], starts[i + 1] - starts[i]);
    }
};

bool SameRecord(std::span<const uint8_t> a, std::span<const uint8_t> b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

// Which entries of sequence belong to a longest strictly increasing run (patience sorting).
std::vector<bool> LongestIncreasing(std::span<const int> sequence) {
    std::vector<int> tails;                         // the entry ending the best run of each length
    std::vector<int> previous(sequence.size(), -1); // the entry before each in its run
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const auto place = std::lower_bound(tails.begin(), tails.end(), sequence[i],
                                            [&](int entry, int value) { return sequence[entry] < value; });
        if (place != tails.begin())
            previous[i] = *(place - 1);
        if (place == tails.end())
            tails.push_back(static_cast<int>(i));
        else
            *place = static_cast<int>(i);
    }
    std::vector<bool> kept(sequence.size(), false);
    for (int i = tails.empty() ? -1 : tails.back(); i >= 0; i = previous[static_cast<std::size_t>(i)])
        kept[static_cast<std::size_t>(i)] = true;
    return kept;
}

} // namespace

std::optional<CMovedObjects> FindMovedObjects(const CDrawing& drawing,
                                              std::span<const undo_io::IndexedObject> reordered) {
    const std::size_t count = reordered.size();
    if (static_cast<std::size_t>(drawing.Count()) != count)
        return std::nullopt;
    CObjectRecords now, then;
    for (int i = 0; i < drawing.Count(); ++i)
        if (!now.Add(drawing.GetAt(i)))
            return std::nullopt;
    for (const undo_io::IndexedObject& entry : reordered)
        if (!then.Add(entry.object.get()))
            return std::nullopt;
    // The objects as they stand, ordered by hash and then index: equal objects are taken in their order.
    std::vector<int> byHash(count);
    for (std::size_t i = 0; i < count; ++i)
        byHash[i] = static_cast<int>(i);
    std::sort(byHash.begin(), byHash.end(), [&](int a, int b) {
        const uint64_t ha = now.hashes[static_cast<std::size_t>(a)],
                       hb = now.hashes[static_cast<std::size_t>(b)];
        return ha != hb ? ha < hb : a < b;
    });
    std::vector<std::size_t> takenOfGroup(count, 0); // at each group of equal hashes' first entry
    std::vector<int> from(count); // the index before the reordering of the object that lands at each index
    for (std::size_t j = 0; j < count; ++j) {
        const uint64_t hash = then.hashes[j];
        const auto group =
            std::lower_bound(byHash.begin(), byHash.end(), hash, [&](int index, uint64_t value) {
                return now.hashes[static_cast<std::size_t>(index)] < value;
            });
        if (group == byHash.end())
            return std::nullopt;
        const auto first = static_cast<std::size_t>(group - byHash.begin());
        const std::size_t at = first + takenOfGroup[first]++;
        if (at >= count || now.hashes[static_cast<std::size_t>(byHash[at])] != hash ||
            !SameRecord(now.Record(static_cast<std::size_t>(byHash[at])), then.Record(j)))
            return std::nullopt;
        from[j] = byHash[at];
    }
    const std::vector<bool> kept = LongestIncreasing(from);
    CMovedObjects moved;
    for (std::size_t j = 0; j < count; ++j) {
        if (kept[j])
            continue;
        moved.before.push_back(from[j]);
        moved.after.push_back(static_cast<int>(j));
    }
    std::sort(moved.before.begin(), moved.before.end());
    return moved;
}

} // namespace pq
