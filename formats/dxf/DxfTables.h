#pragma once

#include <array>
#include <cstdint>

namespace pq {

// The tables DXF writing and reading share: the AutoCAD Color Index palette, the drawing units of
// $INSUNITS and the lineweights DXF allows.

// The 256 entries of the AutoCAD Color Index as colours 0x00BBGGRR: 0 black, 1 red ... 7 white, 8 and 9
// greys, 10..249 24 hues in groups of ten (a full colour and its pastel at five brightness levels), 250..255
// greys. See https://help.autodesk.com/view/OARX/2024/ENU/?guid=GUID-A9FD9590-C97B-4E41-9F26-BD82C34A4F9F
[[nodiscard]] const std::array<uint32_t, 256>& AciPalette();

// The palette index of a colour: the first entry equal to it, else the first with the least sum of
// squared differences of red, green and blue. Black gives 0, white 7.
[[nodiscard]] int NearestAciColour(uint32_t colour);

// The colour index a written entity carries. Index 0 means "by block" to DXF readers and 7 is shown in the
// foreground colour (black on white paper), so black and the colours nearest to it are written as 7;
// white and the colours nearest to it are written as 255, the palette's true white, so they stay white.
[[nodiscard]] int DxfColourIndexForWriting(uint32_t colour);

// The colour of an index as it is shown on white paper: 7 (the foreground colour) is black, other indices
// 1..255 their palette entry; 0 and indices outside the palette are black.
[[nodiscard]] uint32_t AciColourOnPaper(int index);

// Document units (tenths of a millimetre) per drawing unit for a $INSUNITS code; 0 for codes
// outside 0..20.
[[nodiscard]] double UnitScaleForInsUnits(int code);

// The nearest lineweight (hundredths of a millimetre) of the set DXF allows: 0, 5, 9, 13, 15, 18, 20, 25,
// 30, 35, 40, 50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211; ties go to the thinner one.
[[nodiscard]] int StandardLineweight(double hundredthsOfMillimetre);

} // namespace pq
