#pragma once

#include <cstdint>

namespace pq {

// Kind codes of the primitives; they are also the first word of every object record.
inline constexpr int32_t kKindShape = 99; // bare base: a placeholder while a record is being read
inline constexpr int32_t kKindPath = 100;
inline constexpr int32_t kKindImage = 200;
inline constexpr int32_t kKindText = 201;

// The primitive an object owns. The primitives carry data only; CGraphicObject dispatches on kind.
class CShape {
public:
    CShape() = default;
    virtual ~CShape() = default;
    CShape(const CShape&) = delete;
    CShape& operator=(const CShape&) = delete;

    [[nodiscard]] int32_t GetKind() const { return kind; }

    int32_t kind = kKindShape;

protected:
    explicit CShape(int32_t shapeKind) : kind(shapeKind) {}
};

} // namespace pq
