#pragma once

#include "geometry/Rect.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pq {

// Our private comment records, which other programs skip: "QGRP" carries the page's group table
// (for each group its member count, then the members' indices among the objects the file makes) and
// "QBND" the logical rectangle the header's frame spans, so that a file reads back at the size it was
// written whatever the reader measures its texts at.
inline constexpr char kGroupCommentKey[] = "QGRP";
inline constexpr char kBoundsCommentKey[] = "QBND";

[[nodiscard]] std::vector<uint8_t> GroupComment(std::span<const int> table);
[[nodiscard]] std::vector<uint8_t> BoundsComment(CRect bounds);

// The table of a "QGRP" comment, or nothing for another comment.
[[nodiscard]] std::optional<std::vector<int>> ReadGroupComment(std::span<const uint8_t> data);
// The rectangle of a "QBND" comment, or nothing for another comment or an empty rectangle.
[[nodiscard]] std::optional<CRect> ReadBoundsComment(std::span<const uint8_t> data);

} // namespace pq
