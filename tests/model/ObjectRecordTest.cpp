#include "ModelTestHelpers.h"

#include "model/GraphicObject.h"
#include "platform/MemoryFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

namespace pq {
namespace {

using test::SaveBytes;

// Save, Load into a fresh object, Save again: the two records must be the same bytes.
std::unique_ptr<CGraphicObject> ExpectByteIdenticalRoundTrip(const CGraphicObject& object) {
    const std::vector<uint8_t> first = SaveBytes(object);
    CMemoryFile file(first);
    auto loaded = std::make_unique<CGraphicObject>();
    EXPECT_TRUE(loaded->Load(file));
    EXPECT_EQ(file.GetPosition(), first.size()) << "Load must consume exactly one record";
    EXPECT_EQ(SaveBytes(*loaded), first);
    return loaded;
}

std::unique_ptr<CGraphicObject> MakeCurvedPath() {
    auto object = test::MakeRect({-5.0f, 5.0f, -5.0f, 5.0f}, 0x00ABCDEF, 2, 4);
    CPathShape* path = object->AsPath();
    path->penStyle = kPenNull;
    path->penWidth = 6;
    path->penColor = 0x00112233;
    path->brushStyle = kBrushHollow;
    CNodeArray& curve = path->AddSubpath();
    curve.Add({{-10.0f, 0.0f}, {0.0f, 0.0f}, {10.0f, -20.0f}, 1});
    curve.Add({{40.0f, -20.0f}, {50.0f, 0.0f}, {60.0f, 20.0f}});
    object->RecalcBounds();
    return object;
}

void Poke(std::vector<uint8_t>& bytes, std::size_t offset, int32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
}

bool Loads(const std::vector<uint8_t>& bytes) {
    CMemoryFile file(bytes);
    CGraphicObject object;
    return object.Load(file);
}

TEST(ObjectRecord, PathRoundTripIsByteIdenticalBehindKindGroupPageColourAndStyleWords) {
    auto original = MakeCurvedPath();
    const std::vector<uint8_t> bytes = SaveBytes(*original);
    const int32_t expected[] = {100, 4, 2, 0x00ABCDEF, kPenNull, 6, 0x00112233, kBrushHollow, 2, 5};
    EXPECT_EQ(std::memcmp(bytes.data(), expected, sizeof expected), 0);
    auto loaded = ExpectByteIdenticalRoundTrip(*original);
    EXPECT_EQ(*loaded->AsPath()->subpaths[1], *original->AsPath()->subpaths[1]);
    EXPECT_EQ(loaded->bounds, original->bounds); // Load ends with RecalcBounds
}

TEST(ObjectRecord, NodeOnItsAnchorTakesTenBytesAndTinyCoordinatesAreStoredAsZero) {
    CGraphicObject object(kKindPath);
    object.AsPath()->AddSubpath().Add({{3.0f, 4.0f + 1e-9f}, {3.0f, 4.0f}, {3.0f, 4.0f}, 2});
    const std::vector<uint8_t> shortForm = SaveBytes(object);
    EXPECT_EQ(shortForm.size(), 4u * 4 + 5u * 4 + 4u + 10u);
    EXPECT_EQ(shortForm[40] | shortForm[41] << 8, 0x8002); // bit 15 marks the short form
    CMemoryFile file(shortForm);
    CGraphicObject loaded;
    ASSERT_TRUE(loaded.Load(file));
    const CPathNode& node = (*loaded.AsPath()->subpaths[0])[0];
    EXPECT_EQ(node.in, node.anchor);
    EXPECT_EQ(node.out, node.anchor);
    EXPECT_EQ(node.flags, 2u) << "the record's marker bit is not a node flag";

    (*object.AsPath()->subpaths[0])[0] = {{5e-9f, 1.0f}, {-5e-9f, 5e-9f}, {2.0f, 1e-7f}, 0};
    const std::vector<uint8_t> longForm = SaveBytes(object);
    EXPECT_EQ(longForm.size(), shortForm.size() + 16u);
    float stored[6];
    std::memcpy(stored, longForm.data() + 42, sizeof stored); // anchor, in, out after the flag bytes
    EXPECT_EQ(std::bit_cast<uint32_t>(stored[0]), 0u) << "-5e-9 must become +0.0";
    EXPECT_EQ(std::bit_cast<uint32_t>(stored[1]), 0u);
    EXPECT_EQ(std::bit_cast<uint32_t>(stored[2]), 0u);
    EXPECT_EQ(stored[5], 1e-7f);
}

TEST(ObjectRecord, TextRoundTripsEmptyAndNonAscii) {
    for (const std::u16string& s : {std::u16string{}, std::u16string{u"Grüße\r\n\u6F22\u5B57 \U0001F600"}}) {
        auto original = test::MakeText(s, {12.5f, -7.0f}, kTextParagraph);
        CTextShape* t = original->AsText();
        t->faceName = u"Ωmega Sans";
        t->style = kTextStyleBold | kTextStyleUnderline;
        t->angle = 33.0f;
        t->alignment = kAlignCentre;
        auto loaded = ExpectByteIdenticalRoundTrip(*original);
        EXPECT_EQ(loaded->AsText()->text, s);
        EXPECT_EQ(loaded->AsText()->faceName, u"Ωmega Sans");
    }
    auto empty = test::MakeText(u"", {});
    empty->AsText()->faceName.clear();
    // Wrapper, two zero lengths, height, style, position, corner, angle, alignment, mode.
    EXPECT_EQ(SaveBytes(*empty).size(), 16u + 4u + 4u + 4u + 4u + 8u + 8u + 4u + 4u + 4u);
}

TEST(ObjectRecord, ImageRoundTripsAndAnObjectWithoutPrimitiveSavesNothing) {
    auto original = test::MakeImage({10.0f, 60.0f, 20.0f, 50.0f});
    auto loaded = ExpectByteIdenticalRoundTrip(*original);
    EXPECT_TRUE(loaded->AsImage()->bitmap == original->AsImage()->bitmap);
    EXPECT_EQ(loaded->bounds, (CRectF{10.0f, 60.0f, 20.0f, 50.0f}));
    CGraphicObject empty(kKindImage);
    EXPECT_TRUE(ExpectByteIdenticalRoundTrip(empty)->AsImage()->bitmap.IsEmpty());

    CGraphicObject placeholder(kKindShape);
    CMemoryFile file;
    EXPECT_FALSE(placeholder.Save(file));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(ObjectRecord, EveryTruncationOfAValidRecordIsRejectedLeavingTheObjectAlone) {
    std::vector<std::unique_ptr<CGraphicObject>> objects;
    objects.push_back(MakeCurvedPath());
    objects.push_back(test::MakeText(u"two\r\nlines", {1.0f, 2.0f}));
    objects.push_back(test::MakeImage({}));
    for (const auto& object : objects) {
        const std::vector<uint8_t> bytes = SaveBytes(*object);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            CMemoryFile file(std::span<const uint8_t>(bytes.data(), n));
            CGraphicObject loaded(kKindText);
            loaded.group = 77;
            ASSERT_FALSE(loaded.Load(file)) << "kind " << object->GetKind() << ", prefix " << n;
            EXPECT_EQ(loaded.GetKind(), kKindText);
            EXPECT_EQ(loaded.group, 77);
        }
    }
}

TEST(ObjectRecord, LyingCountsLengthsKindsAndImageHeadersAreRejected) {
    struct Lie {
        const char* what;
        int source; // 0 path, 1 text, 2 image
        std::size_t offset;
        int32_t value;
    };
    // Image offsets: 16 wrapper bytes, 16 placement bytes, info length at 32, header from 36, and the
    // pixel count after the 40 + 256 * 4 info bytes.
    constexpr std::size_t kHeader = 36, kPixelCount = kHeader + 40 + 256 * 4;
    const Lie lies[] = {
        {"subpath count", 0, 32, -1},
        {"subpath count", 0, 32, 0x7FFFFFFF},
        {"subpath count", 0, 32, 1000},
        {"node count", 0, 36, 1 << 28},
        {"node count", 0, 36, 1000},
        {"node count", 0, 36, 0},
        {"kind", 0, 0, 99},
        {"kind", 0, 0, -100},
        {"text length", 1, 16, -1},
        {"text length", 1, 16, 0x40000000},
        {"text length", 1, 16, 100},
        {"width", 2, kHeader + 4, 20000},
        {"height", 2, kHeader + 8, -20000},
        {"image size", 2, kHeader + 20, 0x7FFFFFFF},
        {"info length", 2, 32, 0x7FFFFFF0},
        {"info length", 2, 32, 39},
        {"pixel count", 2, kPixelCount, 0x7FFFFFFF},
    };
    const std::vector<uint8_t> good[] = {SaveBytes(*MakeCurvedPath()), SaveBytes(*test::MakeText(u"abc", {})),
                                         SaveBytes(*test::MakeImage({}))};
    for (const auto& bytes : good)
        ASSERT_TRUE(Loads(bytes));
    for (const Lie& lie : lies) {
        std::vector<uint8_t> bad = good[lie.source];
        Poke(bad, lie.offset, lie.value);
        EXPECT_FALSE(Loads(bad)) << lie.what << " " << lie.value;
    }
    // Fewer pixel bytes than the rows need, with a header that leaves the size to be computed.
    std::vector<uint8_t> bad = good[2];
    Poke(bad, kPixelCount, 8 * 3 - 1);
    Poke(bad, kHeader + 20, 0);
    EXPECT_FALSE(Loads(bad));
}

} // namespace
} // namespace pq
