#include "formats/dxf/DxfReader.h"

#include "formats/dxf/DxfTables.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace pq {

namespace {

constexpr int kByBlock = 0;
constexpr int kByLayer = 256;
constexpr double kLineweightByLayer = -1.0;
constexpr double kLineweightByBlock = -2.0;

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

// A 24-bit true colour (group 420, 0x00RRGGBB) as a colour 0x00BBGGRR.
uint32_t FromTrueColour(int rgb) {
    const auto v = static_cast<uint32_t>(rgb);
    return (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
}

// About how many points flattening the nodes for display makes: a cubic's pieces grow with the square
// root of its control polygon's second differences over the tolerance (2 units), each flat piece giving
// up to three points; straight segments give one.
double DisplayPointEstimate(const CNodeArray& nodes) {
    double points = 1.0;
    for (std::size_t i = 0; i + 1 < nodes.GetSize(); ++i) {
        const CPointF p0 = nodes[i].anchor;
        const CPointF p1 = nodes[i].out;
        const CPointF p2 = nodes[i + 1].in;
        const CPointF p3 = nodes[i + 1].anchor;
        if (p1 == p0 && p2 == p3) {
            points += 1.0;
            continue;
        }
        const double d = std::max(static_cast<double>((p0 - p1 * 2.0f + p2).Length()),
                                  static_cast<double>((p1 - p2 * 2.0f + p3).Length()));
        points += 6.0 * std::clamp(std::ceil(std::sqrt(0.75 * d / 2.0)), 1.0, 10000.0);
    }
    return points;
}

} // namespace

std::string_view CDxfReader::EntityLayer(const CDxfEntity& entity, const CDxfPlacement& placement) const {
    const std::string_view layer = entity.Value(8).value_or("0");
    // Entities of a block on layer "0" take the layer of the block reference.
    if (placement.inBlock && layer == "0")
        return placement.blockLayer;
    return layer;
}

uint32_t CDxfReader::EntityColour(const CDxfEntity& entity, const CDxfPlacement& placement) const {
    if (const std::optional<int> rgb = entity.Int(420))
        return FromTrueColour(*rgb);
    // An entity without a colour is drawn in its layer's colour.
    const int index = entity.Int(62).value_or(entity.Value(62) ? 0 : kByLayer);
    if (index == kByBlock)
        return placement.inBlock ? placement.blockColour : 0;
    if (index == kByLayer) {
        const auto layer = layers.find(Upper(EntityLayer(entity, placement)));
        return layer == layers.end() ? 0 : layer->second.colour;
    }
    return AciColourOnPaper(index);
}

double CDxfReader::EntityLineweight(const CDxfEntity& entity, const CDxfPlacement& placement) const {
    const double weight = entity.RealOr(370, kLineweightByLayer);
    if (weight == kLineweightByBlock)
        return placement.inBlock ? placement.blockLineweight : 0.0;
    if (weight == kLineweightByLayer) {
        const auto layer = layers.find(Upper(EntityLayer(entity, placement)));
        return layer == layers.end() ? 0.0 : layer->second.lineweight;
    }
    return weight > 0.0 ? weight : 0.0;
}

CDxfAffine CDxfReader::EntityTransform(const CDxfEntity& entity, const CDxfPlacement& placement) const {
    double nx = entity.RealOr(210, 0.0);
    double ny = entity.RealOr(220, 0.0);
    double nz = entity.RealOr(230, 1.0);
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 1e-12) || !std::isfinite(length) ||
        (std::fabs(nx) < 1e-12 && std::fabs(ny) < 1e-12 && nz > 0.0))
        return placement.transform;
    nx /= length;
    ny /= length;
    nz /= length;
    // The arbitrary axis algorithm: the object x axis is the world y (or, for normals far from z, the
    // world z) crossed with the normal, the object y axis the normal crossed with that.
    // https://help.autodesk.com/view/OARX/2024/ENU/?guid=GUID-E19E5B42-0CC7-4EBA-B29F-5E1D595149EE
    double ax = 0.0;
    double ay = 0.0;
    double az = 0.0;
    if (std::fabs(nx) < 1.0 / 64.0 && std::fabs(ny) < 1.0 / 64.0) {
        ax = nz; // (0, 1, 0) x N
        az = -nx;
    } else {
        ax = -ny; // (0, 0, 1) x N
        ay = nx;
    }
    const double axLength = std::sqrt(ax * ax + ay * ay + az * az);
    ax /= axLength;
    ay /= axLength;
    az /= axLength;
    // N x Ax; only its x and y matter once the drawing is seen from above.
    const double bx = ny * az - nz * ay;
    const double by = nz * ax - nx * az;
    const double elevation = entity.Real(38).value_or(entity.RealOr(30, 0.0));
    CDxfAffine ocs;
    ocs.xx = ax;
    ocs.xy = ay;
    ocs.yx = bx;
    ocs.yy = by;
    ocs.tx = elevation * nx;
    ocs.ty = elevation * ny;
    return ocs.Then(placement.transform);
}

bool CDxfReader::Append(std::unique_ptr<CGraphicObject> object) {
    if (made >= kMaxObjects) {
        limitReached = true;
        return false;
    }
    object->page = 0;
    object->group = 0;
    object->RecalcBounds();
    drawing.Add(std::move(object));
    ++made;
    return true;
}

void CDxfReader::AddPath(std::vector<CNodeArray>& subpaths, const CDxfEntity& entity,
                         const CDxfPlacement& placement, bool fill) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    std::size_t nodes = 0;
    for (CNodeArray& subpath : subpaths) {
        // A subpath needs two nodes to be drawn; a dot is two nodes at one place.
        if (subpath.GetSize() < 2)
            continue;
        nodes += subpath.GetSize();
        if (nodes > kMaxPathNodes)
            break;
        // A subpath too large to display is left out; smaller ones after it still fit.
        const double points = DisplayPointEstimate(subpath);
        if (points > displayPointsLeft) {
            skippedLarge = true;
            continue;
        }
        displayPointsLeft -= points;
        path->subpaths.push_back(std::make_unique<CNodeArray>(std::move(subpath)));
    }
    if (path->subpaths.empty())
        return;
    const uint32_t colour = EntityColour(entity, placement);
    if (fill) {
        path->penStyle = kPenNull;
        path->brushStyle = kBrushSolid;
        object->color = colour;
    } else {
        path->penStyle = kPenSolid;
        path->brushStyle = kBrushHollow;
        path->penColor = colour;
        path->penWidth = std::clamp(RoundHalfAway(EntityLineweight(entity, placement) * 0.1), 0, 10);
    }
    Append(std::move(object));
}

} // namespace pq
