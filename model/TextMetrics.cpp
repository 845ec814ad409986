#include "model/TextMetrics.h"

#include "model/TextShape.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

const CTextMetrics* g_installed = nullptr;

float CharacterWidth(const CTextShape& text) {
    const float h = std::fabs(text.height);
    return (text.style & kTextStyleBold) != 0 ? 0.66f * h : 0.6f * h;
}

// Runs measured one at a time by the measurer itself.
class COnDemandRuns : public CTextRuns {
public:
    COnDemandRuns(const CTextMetrics& metrics, const CTextShape& text, std::u16string_view s)
        : metrics(metrics), text(text), s(s) {}
    [[nodiscard]] float Width(std::size_t begin, std::size_t end) const override {
        return metrics.MeasureString(text, s.substr(begin, end - begin)).x;
    }

private:
    const CTextMetrics& metrics;
    const CTextShape& text;
    std::u16string_view s;
};

// Every unit the same width: a run is its length times that width, computed as MeasureString does.
class CFixedPitchRuns : public CTextRuns {
public:
    explicit CFixedPitchRuns(float unitWidth) : unitWidth(unitWidth) {}
    [[nodiscard]] float Width(std::size_t begin, std::size_t end) const override {
        return static_cast<float>(end - begin) * unitWidth;
    }

private:
    float unitWidth;
};

} // namespace

std::unique_ptr<CTextRuns> CTextMetrics::MeasureRuns(const CTextShape& text, std::u16string_view s) const {
    return std::make_unique<COnDemandRuns>(*this, text, s);
}

std::unique_ptr<CTextRuns> CDefaultTextMetrics::MeasureRuns(const CTextShape& text,
                                                            std::u16string_view /*s*/) const {
    return std::make_unique<CFixedPitchRuns>(CharacterWidth(text));
}

CPointF CDefaultTextMetrics::MeasureString(const CTextShape& text, std::u16string_view s) const {
    return {static_cast<float>(s.size()) * CharacterWidth(text), std::fabs(text.height)};
}

CRectF CDefaultTextMetrics::MeasureArtisticBounds(const CTextShape& text) const {
    // The block is as wide as its widest line and one height per line; an empty text still occupies
    // one (empty) line, as the platform's multi-line measuring reports it.
    std::size_t widest = 0;
    std::size_t lines = 1;
    std::size_t start = 0;
    const std::u16string& t = text.text;
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i] == u'\r' && t[i + 1] == u'\n') {
            widest = std::max(widest, i - start);
            ++lines;
            start = i + 2;
            ++i;
        }
    }
    widest = std::max(widest, t.size() - std::min(start, t.size()));
    const float width = static_cast<float>(widest) * CharacterWidth(text);
    const float height = static_cast<float>(lines) * std::fabs(text.height);
    return RotatedTextBlockBounds(text.position, width, height, text.angle);
}

const CTextMetrics& GetTextMetrics() {
    static const CDefaultTextMetrics fallback;
    return g_installed != nullptr ? *g_installed : fallback;
}

void SetTextMetrics(const CTextMetrics* metrics) {
    g_installed = metrics;
}

CRectF RotatedTextBlockBounds(CPointF origin, float width, float height, float angleDegrees) {
    // The renderer advances along a line by (cos a, -sin a) and from line to line by (sin a, cos a):
    // positive angles turn text counter-clockwise on the y-down screen.
    const float a = angleDegrees * 0.017453292f;
    const CPointF along{std::cos(a), -std::sin(a)};
    const CPointF down{std::sin(a), std::cos(a)};
    CRectF box = CRectF::Empty();
    box.Include(origin);
    box.Include(origin + along * width);
    box.Include(origin + down * height);
    box.Include(origin + along * width + down * height);
    return box;
}

} // namespace pq
