#include "formats/hpgl/HpglTokenizer.h"

#include <algorithm>
#include <charconv>

namespace pq {

namespace {

constexpr uint8_t kEsc = 27;

bool IsLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

char Upper(uint8_t c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

bool StartsNumber(uint8_t c) {
    return IsDigit(c) || c == '+' || c == '-' || c == '.';
}

} // namespace

bool CHpglTokenizer::Next(CHpglInstruction& instruction) {
    while (pos < bytes.size()) {
        const uint8_t c = bytes[pos];
        if (c == kEsc) {
            SkipEscape();
            continue;
        }
        if (c == '@' && pos + 3 < bytes.size() && bytes[pos + 1] == 'P' && bytes[pos + 2] == 'J' &&
            bytes[pos + 3] == 'L') {
            SkipJobLanguageLine();
            continue;
        }
        // A letter followed by a second letter names an instruction; a lone letter is skipped so that
        // the byte after it is looked at again.
        if (!IsLetter(c) || pos + 1 >= bytes.size() || !IsLetter(bytes[pos + 1])) {
            ++pos;
            continue;
        }
        instruction.mnemonic = {Upper(c), Upper(bytes[pos + 1])};
        pos += 2;
        if (instruction.Is("LB") || instruction.Is("WD") || instruction.Is("BL"))
            instruction.parameters = ParametersUpTo(labelTerminator);
        else if (instruction.Is("PE"))
            instruction.parameters = ParametersUpTo(';');
        else if (instruction.Is("DT"))
            instruction.parameters = LabelDefinition();
        else if (instruction.Is("CO"))
            instruction.parameters = QuotedComment();
        else if (instruction.Is("SM")) {
            // The symbol of symbol mode may be any character, a letter included.
            if (pos < bytes.size() && bytes[pos] != ';')
                ++pos;
            instruction.parameters = OrdinaryParameters();
        } else
            instruction.parameters = OrdinaryParameters();
        return true;
    }
    return false;
}

void CHpglTokenizer::SkipEscape() {
    ++pos; // ESC
    if (pos >= bytes.size())
        return;
    const uint8_t kind = bytes[pos];
    if (kind == '.') {
        ++pos;
        if (pos >= bytes.size())
            return;
        const uint8_t code = bytes[pos++];
        // These device-control instructions carry parameters closed by ":". A sequence whose
        // parameters stop without the colon ends where they stop, so a missing terminator does not
        // swallow the rest of the file.
        if (std::string_view("@HIMNPQST").find(static_cast<char>(code)) == std::string_view::npos)
            return;
        while (pos < bytes.size() && (IsDigit(bytes[pos]) || bytes[pos] == ';' || bytes[pos] == ' '))
            ++pos;
        if (pos < bytes.size() && bytes[pos] == ':')
            ++pos;
        return;
    }
    if (kind == '%' || kind == '&' || kind == '*' || kind == '(' || kind == ')') {
        // PCL parameterised sequence: a group character, then values, then a letter; the mode switch
        // "ESC % -1 B" into HP-GL/2 is the common one.
        ++pos;
        while (pos < bytes.size() && (IsDigit(bytes[pos]) || bytes[pos] == '-' || bytes[pos] == '+' ||
                                      bytes[pos] == '.' || (bytes[pos] >= 'a' && bytes[pos] <= 'z')))
            ++pos;
        if (pos < bytes.size() && bytes[pos] >= 'A' && bytes[pos] <= 'Z')
            ++pos;
        return;
    }
    if (kind == 'E') // printer reset
        ++pos;
}

void CHpglTokenizer::SkipJobLanguageLine() {
    while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != kEsc)
        ++pos;
}

std::span<const uint8_t> CHpglTokenizer::OrdinaryParameters() {
    const std::size_t start = pos;
    while (pos < bytes.size() && bytes[pos] != ';' && bytes[pos] != kEsc && !IsLetter(bytes[pos]))
        ++pos;
    const std::span<const uint8_t> result = bytes.subspan(start, pos - start);
    if (pos < bytes.size() && bytes[pos] == ';')
        ++pos;
    return result;
}

std::span<const uint8_t> CHpglTokenizer::ParametersUpTo(uint8_t terminator) {
    const std::size_t start = pos;
    const auto end = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(pos), bytes.end(), terminator);
    pos = static_cast<std::size_t>(end - bytes.begin());
    const std::span<const uint8_t> result = bytes.subspan(start, pos - start);
    if (pos < bytes.size())
        ++pos;
    return result;
}

std::span<const uint8_t> CHpglTokenizer::LabelDefinition() {
    // DT t[,mode]: t becomes the label terminator; "DT;" restores ETX.
    if (pos >= bytes.size() || bytes[pos] == ';') {
        labelTerminator = kEtx;
        return OrdinaryParameters();
    }
    const uint8_t terminator = bytes[pos];
    if (terminator != kEsc) {
        labelTerminator = terminator;
        ++pos;
    }
    return OrdinaryParameters();
}

std::span<const uint8_t> CHpglTokenizer::QuotedComment() {
    std::size_t at = pos;
    while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\r' || bytes[at] == '\n'))
        ++at;
    if (at >= bytes.size() || bytes[at] != '"')
        return OrdinaryParameters();
    pos = at + 1;
    std::span<const uint8_t> text = ParametersUpTo('"');
    if (pos < bytes.size() && bytes[pos] == ';')
        ++pos;
    return text;
}

bool CHpglParameters::Next(double& value) {
    while (pos < bytes.size()) {
        if (!StartsNumber(bytes[pos])) {
            ++pos;
            continue;
        }
        std::size_t start = pos;
        ++pos;
        while (pos < bytes.size() && (IsDigit(bytes[pos]) || bytes[pos] == '.'))
            ++pos;
        bool negative = false;
        if (bytes[start] == '+' || bytes[start] == '-') {
            negative = bytes[start] == '-';
            ++start;
        }
        const char* first = reinterpret_cast<const char*>(bytes.data()) + start;
        const char* last = reinterpret_cast<const char*>(bytes.data()) + pos;
        double parsed = 0.0;
        const auto result = std::from_chars(first, last, parsed, std::chars_format::fixed);
        if (result.ec == std::errc::result_out_of_range) {
            parsed = kLargest;
        } else if (result.ec != std::errc() || result.ptr == first) {
            continue; // a sign or point alone is no number
        }
        if (!(parsed <= kLargest))
            parsed = kLargest;
        value = negative ? -parsed : parsed;
        return true;
    }
    return false;
}

bool CHpglParameters::NextPair(double& x, double& y) {
    double first = 0.0;
    double second = 0.0;
    if (!Next(first) || !Next(second))
        return false;
    x = first;
    y = second;
    return true;
}

std::size_t CHpglParameters::ReadUpTo(std::span<double> out) {
    std::size_t n = 0;
    while (n < out.size() && Next(out[n]))
        ++n;
    return n;
}

} // namespace pq
