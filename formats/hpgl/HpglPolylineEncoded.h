#pragma once

#include <cstdint>
#include <span>

namespace pq {

// What an encoded polyline (PE) asks for, in order.
class CHpglEncodedSink {
public:
    virtual ~CHpglEncodedSink() = default;
    virtual void SelectPen(int pen) = 0;
    // A move by (or, when absolute, to) (x, y) in the current units; penUp for a move without drawing.
    virtual void EncodedMove(double x, double y, bool penUp, bool absolute) = 0;
};

// Decodes the parameters of a PE instruction. Flags: ":" pen number follows, "<" the next pair is a
// pen-up move, ">" the number of fractional bits follows, "=" the next pair is absolute, "7" base-32
// values from here on. Values are written least significant digit first, base 64 with digits 63-126
// and a last digit 191-254 (base 32: 63-94 and 95-126); bit 0 of the result is the sign. Other bytes
// are ignored; an unfinished value or pair at the end is dropped.
//
// Reference: HP PCL 5 Printer Language Technical Reference Manual, Part II, "PE, Polyline Encoded".
void DecodePolylineEncoded(std::span<const uint8_t> bytes, CHpglEncodedSink& sink);

} // namespace pq
