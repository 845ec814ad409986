#include "formats/metafile/MetafileComments.h"

#include "formats/metafile/MetafileBytes.h"

#include <string_view>

namespace pq {

namespace {

bool HasKey(std::span<const uint8_t> data, const char* key) {
    const std::string_view k(key);
    return data.size() >= k.size() &&
           std::string_view(reinterpret_cast<const char*>(data.data()), k.size()) == k;
}

} // namespace

std::vector<uint8_t> GroupComment(std::span<const int> table) {
    CMetafileSink out;
    out.Raw(std::string_view(kGroupCommentKey));
    for (int value : table)
        out.I32(value);
    return std::move(out.Bytes());
}

std::vector<uint8_t> BoundsComment(CRect bounds) {
    CMetafileSink out;
    out.Raw(std::string_view(kBoundsCommentKey));
    out.I32(bounds.left);
    out.I32(bounds.top);
    out.I32(bounds.right);
    out.I32(bounds.bottom);
    return std::move(out.Bytes());
}

std::optional<std::vector<int>> ReadGroupComment(std::span<const uint8_t> data) {
    if (!HasKey(data, kGroupCommentKey))
        return std::nullopt;
    CMetafileCursor in(data, 4);
    std::vector<int> table;
    table.reserve(in.Remaining() / 4);
    while (in.Remaining() >= 4)
        table.push_back(in.I32());
    return table;
}

std::optional<CRect> ReadBoundsComment(std::span<const uint8_t> data) {
    if (!HasKey(data, kBoundsCommentKey))
        return std::nullopt;
    CMetafileCursor in(data, 4);
    CRect r;
    r.left = in.I32();
    r.top = in.I32();
    r.right = in.I32();
    r.bottom = in.I32();
    if (!in.Ok() || r.right <= r.left || r.bottom <= r.top)
        return std::nullopt;
    return r;
}

} // namespace pq
