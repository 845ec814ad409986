#include "formats/dxf/DxfReader.h"

#include "model/Drawing.h"

namespace pq {

namespace {

// The point of groups code (x) and code + 10 (y); both are needed.
std::optional<CPointD> PointOf(const CDxfEntity& entity, int code) {
    const std::optional<double> x = entity.Real(code);
    const std::optional<double> y = entity.Real(code + 10);
    if (!x || !y)
        return std::nullopt;
    return CPointD{*x, *y};
}

struct Vertex {
    CPointD point;
    double bulge = 0.0;
};

// Straight or bulged segments through the vertices, back to the first when closed.
void BuildPolyline(CDxfPathBuilder& builder, const std::vector<Vertex>& vertices, bool closed) {
    builder.MoveTo(vertices.front().point);
    for (std::size_t i = 1; i < vertices.size(); ++i)
        builder.BulgeTo(vertices[i - 1].point, vertices[i].point, vertices[i - 1].bulge);
    if (closed)
        builder.BulgeTo(vertices.back().point, vertices.front().point, vertices.back().bulge);
}

} // namespace

void CDxfReader::ReadLine(const CDxfEntity& entity, const CDxfPlacement& placement) {
    const std::optional<CPointD> from = PointOf(entity, 10);
    const std::optional<CPointD> to = PointOf(entity, 11);
    if (!from || !to)
        return;
    const CDxfMapper mapper = Mapper(placement.transform);
    CDxfPathBuilder builder(mapper);
    builder.MoveTo(*from);
    builder.LineTo(*to);
    AddPath(builder.Subpaths(), entity, placement, false);
}

void CDxfReader::ReadPoint(const CDxfEntity& entity, const CDxfPlacement& placement) {
    const std::optional<CPointD> at = PointOf(entity, 10);
    if (!at)
        return;
    const CDxfMapper mapper = Mapper(placement.transform);
    CDxfPathBuilder builder(mapper);
    builder.MoveTo(*at);
    builder.LineTo(*at);
    AddPath(builder.Subpaths(), entity, placement, false);
}

void CDxfReader::ReadLwPolyline(const CDxfEntity& entity, const CDxfPlacement& placement) {
    // Each group 10 starts a vertex; the 20 and 42 after it belong to it.
    std::vector<Vertex> vertices;
    for (const CDxfTag& tag : entity.tags) {
        if (tag.code == 10) {
            vertices.push_back({{ParseDxfReal(tag.Value()).value_or(0.0), 0.0}, 0.0});
        } else if (!vertices.empty() && tag.code == 20) {
            vertices.back().point.y = ParseDxfReal(tag.Value()).value_or(0.0);
        } else if (!vertices.empty() && tag.code == 42) {
            vertices.back().bulge = ParseDxfReal(tag.Value()).value_or(0.0);
        }
    }
    if (vertices.size() < 2)
        return;
    const CDxfMapper mapper = Mapper(EntityTransform(entity, placement));
    CDxfPathBuilder builder(mapper);
    BuildPolyline(builder, vertices, (entity.Int(70).value_or(0) & 1) != 0);
    AddPath(builder.Subpaths(), entity, placement, false);
}

std::size_t CDxfReader::ReadPolyline(std::size_t index, std::size_t end, const CDxfPlacement& placement) {
    const CDxfEntity polyline = EntityAt(index, end);
    std::size_t next = index + 1 + polyline.tags.size();
    const int flags = polyline.Int(70).value_or(0);
    std::vector<Vertex> vertices;
    while (next < end && tags[next].Value() == "VERTEX") {
        const CDxfEntity vertex = EntityAt(next, end);
        next += 1 + vertex.tags.size();
        if (!Spend(vertex.tags.size() + 1))
            return end;
        const int vertexFlags = vertex.Int(70).value_or(0);
        // Face records of polyface meshes carry no position; spline frame points are not on the curve.
        if ((vertexFlags & 128) != 0 && (vertexFlags & 64) == 0)
            continue;
        if ((vertexFlags & 16) != 0)
            continue;
        vertices.push_back({{vertex.RealOr(10, 0.0), vertex.RealOr(20, 0.0)}, vertex.RealOr(42, 0.0)});
    }
    if (next < end && tags[next].Value() == "SEQEND")
        next += 1 + EntityAt(next, end).tags.size();
    // Meshes are surfaces; their vertex lists are no outline.
    if (vertices.size() < 2 || (flags & (16 | 64)) != 0)
        return next;
    // 3D polylines give world points; the others points in their object coordinate system.
    const CDxfMapper mapper =
        Mapper((flags & 8) != 0 ? placement.transform : EntityTransform(polyline, placement));
    CDxfPathBuilder builder(mapper);
    BuildPolyline(builder, vertices, (flags & 1) != 0);
    AddPath(builder.Subpaths(), polyline, placement, false);
    return next;
}

void CDxfReader::ReadMLine(const CDxfEntity& entity, const CDxfPlacement& placement) {
    const CDxfMapper mapper = Mapper(placement.transform);
    CDxfPathBuilder builder(mapper);
    std::optional<double> x;
    for (const CDxfTag& tag : entity.tags) {
        if (tag.code == 11) {
            x = ParseDxfReal(tag.Value());
        } else if (tag.code == 21 && x) {
            if (const std::optional<double> y = ParseDxfReal(tag.Value()))
                builder.LineTo({*x, *y});
            x.reset();
        }
    }
    if ((entity.Int(71).value_or(0) & 2) != 0)
        builder.Close();
    AddPath(builder.Subpaths(), entity, placement, false);
}

void CDxfReader::ReadSolid(const CDxfEntity& entity, const CDxfPlacement& placement) {
    const std::optional<CPointD> p1 = PointOf(entity, 10);
    const std::optional<CPointD> p2 = PointOf(entity, 11);
    const std::optional<CPointD> p3 = PointOf(entity, 12);
    if (!p1 || !p2 || !p3)
        return;
    const CPointD p4 = PointOf(entity, 13).value_or(*p3);
    const bool face = entity.name == "3DFACE";
    const CDxfMapper mapper = Mapper(face ? placement.transform : EntityTransform(entity, placement));
    CDxfPathBuilder builder(mapper);
    builder.MoveTo(*p1);
    builder.LineTo(*p2);
    // A SOLID's corners run 1, 2, 4, 3 around its outline; a 3DFACE's in order.
    if (face) {
        builder.LineTo(*p3);
        builder.LineTo(p4);
    } else {
        builder.LineTo(p4);
        builder.LineTo(*p3);
    }
    builder.Close();
    AddPath(builder.Subpaths(), entity, placement, !face);
}

} // namespace pq
