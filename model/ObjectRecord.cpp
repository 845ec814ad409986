// The binary object record: the form in which undo, redo and the clipboard keep objects. Little-endian
// throughout, floats as 32-bit IEEE:
//   kind, group, page, color                                   4 bytes each
//   path:  penStyle, penWidth, penColor, brushStyle, subpath count S, then per subpath a node count N
//          and N nodes: flags (16 bits; bit 15 = both control points on the anchor), anchor x, y, and
//          unless bit 15 is set in x, y, out x, y
//   text:  length and UTF-16 units of text, then of faceName; height, style, position, corner, angle,
//          alignment, mode
//   image: placement (left, right, top, bottom), info length H, H bytes of bitmap header and colour
//          table, pixel byte count B, B bytes of pixels
// Every count read is checked against the bytes left in the stream before anything is allocated.
#include "model/GraphicObject.h"

#include "geometry/Numeric.h"
#include "platform/MemoryFile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace pq {

namespace {

constexpr uint16_t kControlsOnAnchor = 0x8000;
constexpr std::size_t kShortNodeBytes = 10;
constexpr std::size_t kFullNodeBytes = 26;

// Coordinates closer to zero than the geometric tolerance are stored as exactly zero.
float Stored(float v) {
    return std::fabs(v) < kGeomEpsilon ? 0.0f : v;
}

bool Near(CPointF a, CPointF b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return std::sqrt(dx * dx + dy * dy) < kGeomEpsilon;
}

uint8_t* PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    return p + 4;
}

uint8_t* PutFloat(uint8_t* p, float v) {
    return PutU32(p, std::bit_cast<uint32_t>(Stored(v)));
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

float GetFloat(const uint8_t* p) {
    return std::bit_cast<float>(GetU32(p));
}

bool WriteString(CMemoryFile& file, const std::u16string& s) {
    bool ok = file.WriteInt32(static_cast<int32_t>(s.size()));
    for (char16_t c : s)
        ok = file.WriteUInt16(static_cast<uint16_t>(c)) && ok;
    return ok;
}

bool ReadString(CMemoryFile& file, std::u16string& s) {
    int32_t length = 0;
    if (!file.ReadInt32(length) || length < 0 || static_cast<std::size_t>(length) > file.Remaining() / 2)
        return false;
    s.resize(static_cast<std::size_t>(length));
    for (char16_t& c : s) {
        uint16_t unit = 0;
        if (!file.ReadUInt16(unit))
            return false;
        c = static_cast<char16_t>(unit);
    }
    return true;
}

bool SavePath(CMemoryFile& file, const CPathShape& path) {
    bool ok = file.WriteInt32(path.penStyle) && file.WriteInt32(path.penWidth) &&
              file.WriteUInt32(path.penColor) && file.WriteInt32(path.brushStyle) &&
              file.WriteInt32(static_cast<int32_t>(path.subpaths.size()));
    for (const auto& nodes : path.subpaths) {
        ok = file.WriteInt32(static_cast<int32_t>(nodes->GetSize())) && ok;
        for (const CPathNode& node : *nodes) {
            uint8_t buffer[kFullNodeBytes];
            const bool onAnchor = Near(node.in, node.anchor) && Near(node.out, node.anchor);
            const uint16_t flags =
                static_cast<uint16_t>((node.flags & 0x7FFF) | (onAnchor ? kControlsOnAnchor : 0));
            buffer[0] = static_cast<uint8_t>(flags);
            buffer[1] = static_cast<uint8_t>(flags >> 8);
            uint8_t* p = PutFloat(PutFloat(buffer + 2, node.anchor.x), node.anchor.y);
            if (!onAnchor)
                p = PutFloat(PutFloat(PutFloat(PutFloat(p, node.in.x), node.in.y), node.out.x), node.out.y);
            ok = file.Write(buffer, static_cast<std::size_t>(p - buffer)) && ok;
        }
    }
    return ok;
}

bool LoadPath(CMemoryFile& file, CPathShape& path) {
    if (!file.ReadInt32(path.penStyle) || !file.ReadInt32(path.penWidth) || !file.ReadUInt32(path.penColor) ||
        !file.ReadInt32(path.brushStyle))
        return false;
    int32_t subpathCount = 0;
    // Each subpath takes at least its count and one short node.
    if (!file.ReadInt32(subpathCount) || subpathCount < 0 ||
        static_cast<std::size_t>(subpathCount) > file.Remaining() / (4 + kShortNodeBytes))
        return false;
    path.subpaths.reserve(static_cast<std::size_t>(subpathCount));
    for (int32_t s = 0; s < subpathCount; ++s) {
        int32_t nodeCount = 0;
        if (!file.ReadInt32(nodeCount) || nodeCount <= 0 ||
            static_cast<std::size_t>(nodeCount) > file.Remaining() / kShortNodeBytes)
            return false;
        CNodeArray& nodes = path.AddSubpath();
        nodes.SetSize(static_cast<std::size_t>(nodeCount));
        for (CPathNode& node : nodes) {
            // Read straight from the stream's bytes: the node's length depends on its flags.
            if (file.Remaining() < kShortNodeBytes)
                return false;
            const uint8_t* p = file.GetData() + file.GetPosition();
            const uint16_t flags = static_cast<uint16_t>(p[0] | p[1] << 8);
            node.flags = flags & 0x7FFF;
            node.anchor = {GetFloat(p + 2), GetFloat(p + 6)};
            if ((flags & kControlsOnAnchor) != 0) {
                node.in = node.out = node.anchor;
                file.Seek(static_cast<int64_t>(kShortNodeBytes), CMemoryFile::SeekFrom::Current);
                continue;
            }
            if (file.Remaining() < kFullNodeBytes)
                return false;
            node.in = {GetFloat(p + 10), GetFloat(p + 14)};
            node.out = {GetFloat(p + 18), GetFloat(p + 22)};
            file.Seek(static_cast<int64_t>(kFullNodeBytes), CMemoryFile::SeekFrom::Current);
        }
    }
    return true;
}

bool SaveText(CMemoryFile& file, const CTextShape& text) {
    return WriteString(file, text.text) && WriteString(file, text.faceName) && file.WriteFloat(text.height) &&
           file.WriteInt32(text.style) && file.WriteFloat(text.position.x) &&
           file.WriteFloat(text.position.y) && file.WriteFloat(text.corner.x) &&
           file.WriteFloat(text.corner.y) && file.WriteFloat(text.angle) && file.WriteInt32(text.alignment) &&
           file.WriteInt32(text.mode);
}

bool LoadText(CMemoryFile& file, CTextShape& text) {
    return ReadString(file, text.text) && ReadString(file, text.faceName) && file.ReadFloat(text.height) &&
           file.ReadInt32(text.style) && file.ReadFloat(text.position.x) && file.ReadFloat(text.position.y) &&
           file.ReadFloat(text.corner.x) && file.ReadFloat(text.corner.y) && file.ReadFloat(text.angle) &&
           file.ReadInt32(text.alignment) && file.ReadInt32(text.mode);
}

bool SaveImage(CMemoryFile& file, const CImageShape& image) {
    const std::vector<uint8_t> info = image.bitmap.GetInfoBytes();
    const auto pixels = image.bitmap.GetBits();
    return file.WriteFloat(image.placement.left) && file.WriteFloat(image.placement.right) &&
           file.WriteFloat(image.placement.top) && file.WriteFloat(image.placement.bottom) &&
           file.WriteInt32(static_cast<int32_t>(info.size())) && file.Write(info) &&
           file.WriteInt32(static_cast<int32_t>(pixels.size())) && file.Write(pixels);
}

bool LoadImage(CMemoryFile& file, CImageShape& image) {
    if (!file.ReadFloat(image.placement.left) || !file.ReadFloat(image.placement.right) ||
        !file.ReadFloat(image.placement.top) || !file.ReadFloat(image.placement.bottom))
        return false;
    constexpr std::size_t kMaxInfo = CBitmapInfoHeader::kSize + 4 * CDibSection::kMaxColours;
    int32_t infoLength = 0;
    if (!file.ReadInt32(infoLength) || infoLength < static_cast<int32_t>(CBitmapInfoHeader::kSize) ||
        static_cast<std::size_t>(infoLength) > kMaxInfo ||
        static_cast<std::size_t>(infoLength) > file.Remaining())
        return false;
    const std::span<const uint8_t> info(file.GetData() + file.GetPosition(),
                                        static_cast<std::size_t>(infoLength));
    file.Seek(infoLength, CMemoryFile::SeekFrom::Current);
    int32_t pixelLength = 0;
    if (!file.ReadInt32(pixelLength) || pixelLength < 0 ||
        static_cast<std::size_t>(pixelLength) > file.Remaining())
        return false;
    const std::span<const uint8_t> pixels(file.GetData() + file.GetPosition(),
                                          static_cast<std::size_t>(pixelLength));
    file.Seek(pixelLength, CMemoryFile::SeekFrom::Current);

    // An empty bitmap is saved as a zero header without pixels; it reads back empty.
    const bool zeroHeader = info.size() == CBitmapInfoHeader::kSize &&
                            std::all_of(info.begin(), info.end(), [](uint8_t b) { return b == 0; });
    if (zeroHeader && pixels.empty()) {
        image.bitmap.Clear();
        return true;
    }
    return image.bitmap.SetFromInfoBytes(info, pixels);
}

} // namespace

bool CGraphicObject::Save(CMemoryFile& file) const {
    if (!shape)
        return false;
    bool ok = file.WriteInt32(shape->kind) && file.WriteInt32(group) && file.WriteInt32(page) &&
              file.WriteUInt32(color);
    if (const CPathShape* path = AsPath())
        ok = ok && SavePath(file, *path);
    else if (const CTextShape* text = AsText())
        ok = ok && SaveText(file, *text);
    else if (const CImageShape* image = AsImage())
        ok = ok && SaveImage(file, *image);
    return ok;
}

bool CGraphicObject::Load(CMemoryFile& file) {
    int32_t kind = 0;
    int32_t newGroup = 0;
    int32_t newPage = 0;
    uint32_t newColor = 0;
    if (!file.ReadInt32(kind) || !file.ReadInt32(newGroup) || !file.ReadInt32(newPage) ||
        !file.ReadUInt32(newColor))
        return false;
    // The record is read into a fresh primitive so that a bad record leaves this object as it was.
    CGraphicObject loaded(kind);
    bool ok = false;
    if (CPathShape* path = loaded.AsPath())
        ok = LoadPath(file, *path);
    else if (CTextShape* text = loaded.AsText())
        ok = LoadText(file, *text);
    else if (CImageShape* image = loaded.AsImage())
        ok = LoadImage(file, *image);
    if (!ok)
        return false;
    shape = std::move(loaded.shape);
    group = newGroup;
    page = newPage;
    color = newColor;
    RecalcBounds();
    return true;
}

} // namespace pq
