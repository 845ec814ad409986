#include "FontTestSetup.h"

#include "render/FontNameMapping.h"

#include <gtest/gtest.h>

#include <vector>

namespace pq {
namespace {

using enum FontNameDirection;

const std::vector<std::u16string> kWithTahoma{u"Arial", u"Courier New", u"Liberation Sans", u"Tahoma",
                                              u"Times New Roman"};
const std::vector<std::u16string> kWithoutTahoma{u"DejaVu Sans", u"Arial", u"Courier New",
                                                 u"Times New Roman"};

// Device faces take the first matching PostScript name; PostScript names read back as installed faces.
TEST(MapFontName, NamesMapThroughTheirPairsBothWays) {
    EXPECT_EQ(MapFontName(u"Times New Roman", DeviceToPostScript, kWithTahoma), u"TimesNewRomanPS");
    EXPECT_EQ(MapFontName(u"Courier New", DeviceToPostScript, kWithTahoma), u"CourierNewPS");
    EXPECT_EQ(MapFontName(u"arial", DeviceToPostScript, kWithTahoma), u"ArialMT");
    EXPECT_EQ(MapFontName(u"TimesNewRoman", DeviceToPostScript, kWithTahoma), u"TimesNewRomanPS");
    // Installed faces without a pair lose their spaces only.
    EXPECT_EQ(MapFontName(u"liberation sans", DeviceToPostScript, kWithTahoma), u"LiberationSans");

    EXPECT_EQ(MapFontName(u"CourierNewPSMT", PostScriptToDevice, kWithTahoma), u"Courier New");
    EXPECT_EQ(MapFontName(u"TIMESNEWROMANPSMT", PostScriptToDevice, kWithTahoma), u"Times New Roman");
    EXPECT_EQ(MapFontName(u"ArialMT", PostScriptToDevice, kWithTahoma), u"Arial");
    // A name without a pair takes the installed spelling it matches without case and spaces.
    EXPECT_EQ(MapFontName(u"LiberationSans", PostScriptToDevice, kWithTahoma), u"Liberation Sans");
    // Courier New known but not installed: the pair applies, then the fallback.
    const std::vector<std::u16string> noCourier{u"Tahoma", u"Arial"};
    EXPECT_EQ(MapFontName(u"CourierNewPSMT", PostScriptToDevice, noCourier), u"Tahoma");
}

TEST(MapFontName, FacesNotInstalledFallBackAndTheProjectFontsServeTheCoreFaces) {
    EXPECT_EQ(MapFontName(u"Comic Sans MS", PostScriptToDevice, kWithTahoma), u"Tahoma");
    EXPECT_EQ(MapFontName(u"Comic Sans MS", PostScriptToDevice, kWithoutTahoma), u"DejaVu Sans");
    EXPECT_EQ(MapFontName(u"Comic Sans MS", DeviceToPostScript, kWithoutTahoma), u"DejaVuSans");
    EXPECT_EQ(MapFontName(u"Comic Sans MS", DeviceToPostScript, kWithTahoma), u"Tahoma");
    EXPECT_EQ(MapFontName(u"Verdana", DeviceToPostScript, std::vector<std::u16string>{}), u"Tahoma");
    EXPECT_EQ(MapFontName(u"", PostScriptToDevice, kWithoutTahoma), u"DejaVu Sans");
    // Without a list, the fonts the project ships.
    EXPECT_EQ(MapFontName(u"Times New Roman", DeviceToPostScript), u"TimesNewRomanPS");
    EXPECT_EQ(MapFontName(u"CourierNewPSMT", PostScriptToDevice), u"Courier New");
    EXPECT_EQ(MapFontName(u"Papyrus", PostScriptToDevice), u"DejaVu Sans");
    EXPECT_EQ(MapFontName(u"Tahoma", PostScriptToDevice), u"DejaVu Sans");
}

TEST(MapFontName, InstalledFacesSurviveTheWayToPostScriptAndBack) {
    for (std::u16string_view face :
         {u"Arial", u"Times New Roman", u"Courier New", u"DejaVu Sans Mono", u"Liberation Serif"}) {
        const std::u16string postScript = MapFontName(face, DeviceToPostScript);
        EXPECT_EQ(postScript.find(u' '), std::u16string::npos);
        EXPECT_EQ(MapFontName(postScript, PostScriptToDevice), face);
    }
}

} // namespace
} // namespace pq
