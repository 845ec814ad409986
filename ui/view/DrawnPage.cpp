#include "ui/view/DrawnPage.h"

#include "platform/DeviceContext.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <span>

namespace pq {

namespace {

// Moves a 24-bit bitmap's pixels by (dx, dy) within it, rows taken in the order that reads each before it
// is overwritten; what is uncovered keeps its old pixels.
void MovePixels(CDibSection& bitmap, int32_t dx, int32_t dy) {
    const std::span<uint8_t> bytes = bitmap.GetBits();
    const std::size_t stride = bitmap.GetBytesPerRow();
    const int32_t width = bitmap.GetWidth();
    const int32_t height = bitmap.GetHeight();
    const bool bottomUp = bitmap.GetHeader().height > 0;
    const auto row = [&](int32_t y) { return bytes.data() + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y); };
    const std::size_t count = static_cast<std::size_t>(width - (dx < 0 ? -dx : dx)) * 3;
    const std::size_t from = static_cast<std::size_t>(dx < 0 ? -dx : 0) * 3;
    const std::size_t to = static_cast<std::size_t>(dx > 0 ? dx : 0) * 3;
    const auto moveRow = [&](int32_t y) { std::memmove(row(y + dy) + to, row(y) + from, count); };
    if (dy > 0) {
        for (int32_t y = height - 1 - dy; y >= 0; --y)
            moveRow(y);
    } else {
        for (int32_t y = -dy; y < height; ++y)
            moveRow(y);
    }
}

void DrawClipped(CDibSection& bits, const CRect& area, const CDrawnPage::DrawArea& draw) {
    if (area.IsEmpty())
        return;
    CDeviceContext dc(&bits);
    dc.SetClipRect(area);
    draw(dc, area);
}

} // namespace

std::vector<CRect> EditedAreasToDraw(std::span<const CRect> areas, const CRect& client) {
    std::vector<CRect> held;
    held.reserve(areas.size());
    for (const CRect& area : areas) {
        const CRect inside{std::max(area.left, client.left), std::max(area.top, client.top),
                           std::min(area.right, client.right), std::min(area.bottom, client.bottom)};
        if (!inside.IsEmpty())
            held.push_back(inside);
    }
    if (held.size() > kMaxEditedAreas) {
        CRect all = held.front();
        for (const CRect& area : held)
            all = CRect{std::min(all.left, area.left), std::min(all.top, area.top),
                        std::max(all.right, area.right), std::max(all.bottom, area.bottom)};
        return {all};
    }
    // An object whose step changed it in place is told before and after, most often with the same reach.
    const auto contains = [](const CRect& outer, const CRect& inner) {
        return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
               outer.bottom >= inner.bottom;
    };
    std::vector<CRect> drawn;
    for (std::size_t i = 0; i < held.size(); ++i) {
        bool covered = false;
        for (std::size_t j = 0; j < held.size() && !covered; ++j)
            covered = j != i && contains(held[j], held[i]) && (held[j] != held[i] || j < i);
        if (!covered)
            drawn.push_back(held[i]);
    }
    return drawn;
}

bool CDrawnPageKey::SamePictureAs(const CDrawnPageKey& other) const {
    return drawing == other.drawing && changeCount == other.changeCount && objectCount == other.objectCount &&
           pageCount == other.pageCount && page == other.page && pageWidth == other.pageWidth &&
           pageHeight == other.pageHeight && showPage == other.showPage && showGrid == other.showGrid &&
           gridSpacing == other.gridSpacing && smoothEdges == other.smoothEdges && client == other.client &&
           scale == other.scale && docOrigin == other.docOrigin;
}

bool CDrawnPage::Update(const CDrawnPageKey& key, const DrawArea& draw,
                        const std::optional<CPageEdit>& edit) {
    const CRect& client = key.client;
    if (client.IsEmpty())
        return false;
    const int32_t width = client.Width();
    const int32_t height = client.Height();
    if (bits.IsEmpty() || bits.GetWidth() != width || bits.GetHeight() != height) {
        kept = false;
        bits.Clear();
        if (!bits.Create(width, height, 24)) {
            bits.Clear();
            return false;
        }
    }
    const int64_t dx = static_cast<int64_t>(key.deviceOrigin.x) - drawn.deviceOrigin.x;
    const int64_t dy = static_cast<int64_t>(key.deviceOrigin.y) - drawn.deviceOrigin.y;
    // Aliased pixels are exact, and a coordinate within a rounding of a half pixel may round the other way
    // once the origin has moved: a moved aliased picture could then disagree with a fresh one by a pixel
    // along an edge. Smooth pixels differ by a rounding of coverage at most, which nobody sees.
    const bool moveKept = key.smoothEdges && std::llabs(dx) < width && std::llabs(dy) < height;
    if (kept && edit && dx == 0 && dy == 0 && drawn.changeCount == edit->since) {
        CDrawnPageKey before = key;
        before.changeCount = drawn.changeCount;
        before.objectCount = drawn.objectCount;
        if (before.SamePictureAs(drawn)) {
            for (const CRect& area : EditedAreasToDraw(edit->areas, client))
                DrawClipped(bits, area, draw);
            drawn = key;
            return true;
        }
    }
    if (!kept || !key.SamePictureAs(drawn) || ((dx != 0 || dy != 0) && !moveKept)) {
        DrawClipped(bits, client, draw);
    } else if (dx != 0 || dy != 0) {
        const auto mx = static_cast<int32_t>(dx);
        const auto my = static_cast<int32_t>(dy);
        MovePixels(bits, mx, my);
        // The columns the move uncovered, over the whole height; then the rows it uncovered beside them.
        const CRect columns = mx > 0 ? CRect{client.left, client.top, client.left + mx, client.bottom}
                                     : CRect{client.right + mx, client.top, client.right, client.bottom};
        const int32_t left = mx > 0 ? columns.right : client.left;
        const int32_t right = mx < 0 ? columns.left : client.right;
        const CRect rows = my > 0 ? CRect{left, client.top, right, client.top + my}
                                  : CRect{left, client.bottom + my, right, client.bottom};
        if (mx != 0)
            DrawClipped(bits, columns, draw);
        if (my != 0)
            DrawClipped(bits, rows, draw);
    }
    drawn = key;
    kept = true;
    return true;
}

} // namespace pq
