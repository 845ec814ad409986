#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Text values of DXF entities: the inline formatting codes of MTEXT and the control codes of TEXT.
// Reference: https://help.autodesk.com/view/OARX/2024/ENU/?guid=GUID-7D8BB40F-5C4E-4AE5-BD75-9ED7112E5967

// What an MTEXT or TEXT value says once its codes are taken out.
struct CDxfPlainText {
    std::u16string text; // lines separated by "\r\n"
    std::u16string face; // the first font named by "\f", empty when none
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The value of an MTEXT as written: a font code ("\fFace|b1|i0;"), "\L" when underlined, then the text
// with line breaks as "\P", "\", "{" and "}" escaped, control characters dropped and every character
// beyond 7 bits as "\U+XXXX". Cut into pieces of at most 250 bytes, never inside a code: every piece but
// the last is written under group 3, the last under group 1.
[[nodiscard]] std::vector<std::string> EncodeMTextValue(std::u16string_view text, std::u16string_view face,
                                                        bool bold, bool italic, bool underline);

// Reads the codes of an MTEXT value (its group 3 pieces and group 1 joined): braces group, "\P" breaks
// lines, "\f" names the font, "\L" underlines, "\S" stacks a fraction, "\U+XXXX" is a character; the codes
// that only change the look of part of the text are dropped.
[[nodiscard]] CDxfPlainText DecodeMTextValue(std::u16string_view value);

// Reads the codes of a TEXT value: "%%d", "%%p", "%%c", "%%%" and "%%nnn" are characters, "%%u" underlines,
// "%%o" is dropped; "\U+XXXX" is a character.
[[nodiscard]] CDxfPlainText DecodeTextValue(std::u16string_view value);

// Bytes of a value line as UTF-16: UTF-8 for files of AutoCAD 2007 and later, one character per byte
// (the low 8 bits) before.
[[nodiscard]] std::u16string DxfBytesToText(std::string_view bytes, bool utf8);

} // namespace pq
