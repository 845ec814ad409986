#include "formats/hpgl/HpglPolylineEncoded.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

enum class Expect { Pair, Pen, Fraction };

// Accumulates the digits of one value. Digits beyond what a double holds exactly only make the value
// larger; the multiplier stops growing there, so a hostile run of digits costs time, not overflow.
class CValueReader {
public:
    // Feeds one byte; true when it completed a value (then Value() holds it).
    bool Feed(uint8_t c, bool sevenBit) {
        int digit = -1;
        bool last = false;
        if (sevenBit) {
            c &= 0x7F;
            if (c >= 63 && c <= 94)
                digit = c - 63;
            else if (c >= 95 && c <= 126) {
                digit = c - 95;
                last = true;
            }
        } else if (c >= 63 && c <= 126) {
            digit = c - 63;
        } else if (c >= 191 && c <= 254) {
            digit = c - 191;
            last = true;
        }
        if (digit < 0)
            return false;
        sum += digit * multiplier;
        if (multiplier < 1e18)
            multiplier *= sevenBit ? 32.0 : 64.0;
        if (!last)
            return false;
        // Bit 0 is the sign; the magnitude is the rest.
        const double whole = std::floor(sum / 2.0);
        value = std::fmod(sum, 2.0) != 0.0 ? -whole : whole;
        sum = 0.0;
        multiplier = 1.0;
        return true;
    }
    [[nodiscard]] double Value() const { return value; }

private:
    double sum = 0.0;
    double multiplier = 1.0;
    double value = 0.0;
};

bool IsFlagOrDigit(uint8_t c, bool sevenBit) {
    const uint8_t low = c & 0x7F;
    if (low == ':' || low == '<' || low == '>' || low == '=' || low == '7')
        return true;
    return sevenBit ? low >= 63 && low <= 126 : (c >= 63 && c <= 126) || (c >= 191 && c <= 254);
}

} // namespace

void DecodePolylineEncoded(std::span<const uint8_t> bytes, CHpglEncodedSink& sink) {
    bool sevenBit = false;
    bool penUp = false;
    bool absolute = false;
    double fractionScale = 1.0;
    Expect expect = Expect::Pair;
    bool haveX = false;
    double x = 0.0;
    CValueReader reader;
    for (const uint8_t c : bytes) {
        if (!IsFlagOrDigit(c, sevenBit))
            continue; // spaces, control characters and the like
        const uint8_t low = c & 0x7F;
        // A flag only counts between values; inside a value these bytes are digits of base 64 only
        // when they fall in a digit range, which no flag does.
        if (low == ':' || low == '<' || low == '>' || low == '=' || low == '7') {
            switch (low) {
            case ':':
                expect = Expect::Pen;
                break;
            case '<':
                penUp = true;
                break;
            case '>':
                expect = Expect::Fraction;
                break;
            case '=':
                absolute = true;
                break;
            default:
                sevenBit = true;
                break;
            }
            continue;
        }
        if (!reader.Feed(c, sevenBit))
            continue;
        const double value = reader.Value();
        if (expect == Expect::Pen) {
            sink.SelectPen(static_cast<int>(std::clamp(value, -1.0, 1e6)));
            expect = Expect::Pair;
        } else if (expect == Expect::Fraction) {
            // Fractional bits range over -26..26.
            fractionScale = std::ldexp(1.0, -static_cast<int>(std::clamp(value, -26.0, 26.0)));
            expect = Expect::Pair;
        } else if (!haveX) {
            x = value * fractionScale;
            haveX = true;
        } else {
            sink.EncodedMove(x, value * fractionScale, penUp, absolute);
            haveX = false;
            penUp = false;
            absolute = false;
        }
    }
}

} // namespace pq
