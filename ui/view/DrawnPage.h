#pragma once

#include "geometry/PointF.h"
#include "geometry/Rect.h"
#include "platform/DibSection.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace pq {

class CDeviceContext;
class CDrawing;

// What the view's drawn page (the desk, the page frame, the grid and the objects) depends on. Two keys
// that agree in all but the device origin describe the same picture, moved by the difference of their
// origins.
struct CDrawnPageKey {
    const CDrawing* drawing = nullptr;
    // The undo recorder's count of pushes and pops: every edit records a step, every replay pops one.
    uint64_t changeCount = 0;
    std::size_t objectCount = 0;
    int pageCount = 0;
    int page = 0;
    float pageWidth = 0.0f;
    float pageHeight = 0.0f;
    bool showPage = false;
    bool showGrid = false;
    float gridSpacing = 0.0f;
    bool smoothEdges = false;
    CRect client;
    float scale = 0.0f;
    CPointF docOrigin;
    CPoint deviceOrigin;

    // Whether other shows the same picture, wherever its device origin puts it.
    [[nodiscard]] bool SamePictureAs(const CDrawnPageKey& other) const;
};

// An edit known exactly: the areas of the client where it changed the picture drawn at change count since
// (the undo recorder's count before the step).
struct CPageEdit {
    uint64_t since = 0;
    std::span<const CRect> areas;
};

// The view's drawing of the page, kept between paints. A paint that changes nothing on the page (an
// exposure, a tool's feedback) copies it; a scroll with smooth edges moves it and draws only the strips
// it uncovers. A full paint of a busy page takes tens of milliseconds, a copy about one.
class CDrawnPage {
public:
    // Draws the part of the picture inside area; the context is clipped to it.
    using DrawArea = std::function<void(CDeviceContext& dc, const CRect& area)>;

    // The drawing may have changed: the next update draws everything.
    void Forget() { kept = false; }
    // Brings the pixels up to key: keeps them for the same picture, moves them and draws the strips the
    // move uncovered when only the device origin changed (smooth edges only), and draws the whole client
    // otherwise. An edit known exactly passes the areas it changed: when the kept pixels are the picture
    // the edit started from (its change count, the object count free) and nothing else differs, only
    // those areas are drawn again. False when no bitmap of the client's size can be made.
    bool Update(const CDrawnPageKey& key, const DrawArea& draw, const std::optional<CPageEdit>& edit = {});
    [[nodiscard]] const CDibSection& GetBits() const { return bits; }

private:
    CDibSection bits;
    CDrawnPageKey drawn;
    bool kept = false;
};

// The areas to draw for an edit's areas within client: each held to the client, none twice or inside
// another, and past kMaxEditedAreas their bounding union alone, since every area drawn costs a pass over the
// page's objects.
[[nodiscard]] std::vector<CRect> EditedAreasToDraw(std::span<const CRect> areas, const CRect& client);
inline constexpr std::size_t kMaxEditedAreas = 16;

} // namespace pq
