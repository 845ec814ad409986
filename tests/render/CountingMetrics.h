#pragma once

#include "model/TextMetrics.h"
#include "model/TextShape.h"

#include <cstddef>
#include <memory>

namespace pq::test {

// Counts the characters every measure looks at, for a bound on the work of breaking and drawing text.
class CountingMetrics : public CTextMetrics {
public:
    explicit CountingMetrics(const CTextMetrics& inner) : inner(inner) {}
    CPointF MeasureString(const CTextShape& text, std::u16string_view s) const override {
        measured += s.size() + 1;
        return inner.MeasureString(text, s);
    }
    CRectF MeasureArtisticBounds(const CTextShape& text) const override {
        measured += text.text.size() + 1;
        return inner.MeasureArtisticBounds(text);
    }
    std::unique_ptr<CTextRuns> MeasureRuns(const CTextShape& text, std::u16string_view s) const override {
        measured += s.size() + 1;
        return inner.MeasureRuns(text, s);
    }
    mutable std::size_t measured = 0;

private:
    const CTextMetrics& inner;
};

} // namespace pq::test
