#include "render/FontNameMapping.h"

#include "platform/FontFamilies.h"

#include <array>

namespace pq {

namespace {

struct CFontNamePair {
    std::u16string_view face;
    std::u16string_view postScript;
};

// Searched in this order: the first pair that matches wins, so "Times New Roman" is written as
// "TimesNewRomanPS" while both PostScript spellings read back as the face.
constexpr std::array<CFontNamePair, 9> kFontNamePairs{{
    {u"Arial", u"ArialMT"},
    {u"Arial Black", u"Arial-Black"},
    {u"Courier New", u"CourierNewPS"},
    {u"Courier New", u"CourierNewPSMT"},
    {u"Symbol", u"SymbolMT"},
    {u"Tahoma", u"Tahoma"},
    {u"Times New Roman", u"TimesNewRomanPS"},
    {u"Times New Roman", u"TimesNewRomanPSMT"},
    {u"Verdana", u"Verdana"},
}};

char16_t Upper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

std::u16string UpperCase(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out)
        c = Upper(c);
    return out;
}

std::u16string UpperWithoutSpaces(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (char16_t c : s) {
        if (c != u' ')
            out.push_back(Upper(c));
    }
    return out;
}

} // namespace

std::u16string MapFontName(std::u16string_view name, FontNameDirection direction,
                           std::span<const std::u16string> installed) {
    std::u16string result(name);
    if (direction == FontNameDirection::PostScriptToDevice) {
        const std::u16string upper = UpperCase(result);
        for (const CFontNamePair& pair : kFontNamePairs) {
            if (upper == UpperCase(pair.postScript)) {
                result = pair.face;
                break;
            }
        }
    }

    const std::u16string key = UpperWithoutSpaces(result);
    bool matched = false;
    bool tahomaInstalled = false;
    for (const std::u16string& face : installed) {
        const std::u16string faceKey = UpperWithoutSpaces(face);
        if (faceKey == key) {
            result = face;
            matched = true;
            break;
        }
        tahomaInstalled = tahomaInstalled || faceKey == u"TAHOMA";
    }
    if (!matched) {
        // The loop stopped early only on a match, so every face has been seen here.
        result = tahomaInstalled || installed.empty() ? std::u16string(u"Tahoma") : installed.front();
    }

    if (direction == FontNameDirection::DeviceToPostScript) {
        // PostScript names carry no spaces, whether or not the face is a known one.
        std::erase(result, u' ');
        const std::u16string compact = UpperCase(result);
        for (const CFontNamePair& pair : kFontNamePairs) {
            if (compact == UpperWithoutSpaces(pair.face)) {
                result = pair.postScript;
                break;
            }
        }
    }
    return result;
}

std::u16string MapFontName(std::u16string_view name, FontNameDirection direction) {
    return MapFontName(name, direction, EnumerateFontFamilies());
}

} // namespace pq
