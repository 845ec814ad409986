#pragma once

#include <string>
#include <string_view>

namespace pq {

// File dialog filters: pairs of "description|patterns", each list ending in "||".
inline constexpr std::string_view kOpenFilter =
    "All (PDF,AI,DXF,EMF,WMF,PLT,SVG)|*.ai;*.dxf;*.emf;*.wmf;*.pdf;*.plt;*.svg|PDF Document (PDF)|*.pdf|Adobe "
    "Illustrator "
    "v10 (AI)|*.ai|AutoCAD 2002 (DXF)|*.dxf|Enhanced Metafile (EMF)|*.emf|Windows Metafile (WMF)|*.wmf|HPGL "
    "Plotter file (PLT)|*.plt|SVG Drawing (SVG)|*.svg||";
inline constexpr std::string_view kSaveAsFilter =
    "PDF Document (PDF)|*.pdf|Adobe Illustrator v7 (AI)|*.ai|AutoCAD 2002 (DXF)|*.dxf|Enhanced Metafile "
    "(EMF)|*.emf|HPGL Plotter file (PLT)|*.plt|BMP Bitmap|*.bmp|JPG Image|*.jpg|Template (TPL)|*.tpl|SVG Drawing "
    "(SVG)|*.svg||";
inline constexpr std::string_view kImportFilter =
    "All Vector Files|*.ai;*.dxf;*.emf;*.wmf;*.plt;*.svg|All Bitmaps|*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.2bp|Adobe "
    "Illustrator v10 (AI)|*.ai|AutoCAD 2002 (DXF)|*.dxf|Enhanced Metafile (EMF)|*.emf|Windows Metafile "
    "(WMF)|*.wmf|HPGL Plotter file (PLT)|*.plt|BMP Bitmap|*.bmp|JPG Image|*.jpg;*.jpeg|GIF Bitmap|*.gif|PNG "
    "Bitmap|*.png|2BP Bitmap|*.2bp|SVG Drawing (SVG)|*.svg||";
inline constexpr std::string_view kExportBitmapFilter = "BMP Bitmap|*.bmp|JPG Image|*.jpg||";

// The filter without its closing "||", as toolkits that take "description|patterns|..." want it.
[[nodiscard]] std::string_view ToolkitFilter(std::string_view filter);

// The first pattern's extension of the filter at index (".pdf" for "*.pdf"); empty when the index is out
// of range or the pattern names no single extension.
[[nodiscard]] std::string FilterExtension(std::string_view filter, int index);

// A name typed without any extension gets the one of the chosen filter, so "card" saved as PDF becomes
// "card.pdf" instead of a name no writer accepts.
[[nodiscard]] std::string WithFilterExtension(const std::string& path, std::string_view filter, int index);

// The filter whose extension the name has (case-insensitively), so that a dialog opens on the type of
// the name it proposes; fallback when none has it.
[[nodiscard]] int FilterIndexForName(std::string_view filter, std::string_view name, int fallback);

// True for names that go to bitmap export instead of a document writer (".bmp", ".jpg", ".gif", ".png",
// ".2bp", in any case).


} // namespace pq
