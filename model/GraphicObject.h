#pragma once

#include "model/ImageShape.h"
#include "model/PathShape.h"
#include "model/Shape.h"
#include "model/TextShape.h"

#include "geometry/Rect.h"
#include "geometry/RectF.h"

#include <cstdint>
#include <memory>

namespace pq {

class CMemoryFile;
class CTransform;
class CViewMapping;

inline constexpr float kDisplayTolerance = 2.0f;      // flattening tolerance of the display polylines
inline constexpr float kMinArtisticTextHeight = 3.0f; // scaling never makes artistic text lower
inline constexpr int kDefaultHitTolerance = 4;        // pixels

// One item on a page: the fields every kind shares and the primitive that carries the geometry.
// The wrapper dispatches on the primitive's kind; callers reach the primitive through AsPath, AsImage
// and AsText rather than casts.
class CGraphicObject {
public:
    // Flags 1, everything else zero, then SetKind(kind).
    explicit CGraphicObject(int32_t kind = kKindShape);
    virtual ~CGraphicObject();
    CGraphicObject(const CGraphicObject&) = delete;
    CGraphicObject& operator=(const CGraphicObject&) = delete;

    // Deletes the primitive and creates an empty one for 100, 200 or 201; any other kind leaves none.
    void SetKind(int32_t kind);
    // The primitive's kind, or 99 when there is none.
    [[nodiscard]] int32_t GetKind() const { return shape ? shape->kind : kKindShape; }

    // The primitive as its kind, or null for another kind. Inline: drawing and hit testing ask for every
    // object.
    [[nodiscard]] CPathShape* AsPath() { return As<CPathShape>(kKindPath); }
    [[nodiscard]] const CPathShape* AsPath() const { return As<const CPathShape>(kKindPath); }
    [[nodiscard]] CImageShape* AsImage() { return As<CImageShape>(kKindImage); }
    [[nodiscard]] const CImageShape* AsImage() const { return As<const CImageShape>(kKindImage); }
    [[nodiscard]] CTextShape* AsText() { return As<CTextShape>(kKindText); }
    [[nodiscard]] const CTextShape* AsText() const { return As<const CTextShape>(kKindText); }

    // Reads one object record at the file's position and ends with RecalcBounds. On failure (short or
    // inconsistent record, unknown kind) returns false and leaves this object unchanged; the caller
    // discards it.
    virtual bool Load(CMemoryFile& file);
    // Writes the object record at the file's position. An object without a primitive writes nothing
    // and returns false; otherwise false only when memory runs out.
    virtual bool Save(CMemoryFile& file) const;
    // Where in the record the group number lies, 4 bytes: records compared for what they draw leave it out.
    static constexpr std::size_t kRecordGroupOffset = 4;
    // Becomes a deep copy of other, caches and bounds included (the bounds are not recomputed).
    virtual void CopyFrom(const CGraphicObject& other);
    // Hit test of a device point under the view's mapping. Paths: inside a filled path (even-odd over
    // the closed display polylines) hits with onOutline false; else within tolerance pixels of a
    // polyline hits with onOutline true and that polyline's subpath index. Text: inside the outline.
    // Images: always hit.
    virtual bool HitTest(const CViewMapping& mapping, CPoint point, bool& onOutline, int tolerance,
                         int& subpath) const;
    // Rebuilds the display polylines or outline and the cached bounds.
    virtual void RecalcBounds();

    // Applies the transform to the geometry (images keep their bitmap upright; artistic text scales its
    // height, never below 3.0; a paragraph frame stays at least one "m" wide and high), then RecalcBounds.
    void Transform(const CTransform& matrix);
    // A new object made by CopyFrom.
    [[nodiscard]] std::unique_ptr<CGraphicObject> Clone() const;

    std::unique_ptr<CShape> shape;
    CRectF bounds;
    uint32_t color = 0;
    int32_t group = 0;
    int32_t page = 0;
    uint32_t flags = 1;

private:
    template <typename T> T* As(int32_t kind) const {
        return shape && shape->kind == kind ? static_cast<T*>(shape.get()) : nullptr;
    }
};

} // namespace pq
