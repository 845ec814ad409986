#include "ModelTestHelpers.h"

#include "model/GraphicObject.h"
#include "platform/MemoryFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

namespace pq {
namespace {

std::vector<uint8_t> SaveBytes(const CGraphicObject& object) {
    CMemoryFile file;
    EXPECT_TRUE(object.Save(file));
    return {file.GetBytes().begin(), file.GetBytes().end()};
}

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
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    path->penStyle = kPenNull;
    path->penWidth = 6;
    path->penColor = 0x00112233;
    path->brushStyle = kBrushHollow;
    CNodeArray& curve = path->AddSubpath();
    curve.Add({{-10.0f, 0.0f}, {0.0f, 0.0f}, {10.0f, -20.0f}, 1});
    curve.Add({{40.0f, -20.0f}, {50.0f, 0.0f}, {60.0f, 20.0f}});
    curve.Add(CPathNode::FromPoint({100.5f, -3.25f}));
    path->AddSubpath(test::RectangleNodes({-5.0f, 5.0f, -5.0f, 5.0f}));
    object->color = 0x00ABCDEF;
    object->group = 4;
    object->page = 2;
    object->RecalcBounds();
    return object;
}

std::unique_ptr<CGraphicObject> MakeImage() {
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    EXPECT_TRUE(image->bitmap.Create(5, 3, 8));
    const uint32_t table[] = {0x000000, 0x0000FF, 0x00FF00};
    image->bitmap.SetColourTable(table);
    for (std::size_t i = 0; i < image->bitmap.GetBits().size(); ++i)
        image->bitmap.GetBits()[i] = static_cast<uint8_t>(i * 7);
    image->placement = {10.0f, 60.0f, 20.0f, 50.0f};
    object->RecalcBounds();
    return object;
}

TEST(ObjectRecord, PathRoundTripIsByteIdentical) {
    auto original = MakeCurvedPath();
    auto loaded = ExpectByteIdenticalRoundTrip(*original);
    const CPathShape* path = loaded->AsPath();
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->penStyle, kPenNull);
    EXPECT_EQ(path->penWidth, 6);
    EXPECT_EQ(path->penColor, 0x00112233u);
    EXPECT_EQ(path->brushStyle, kBrushHollow);
    ASSERT_EQ(path->SubpathCount(), 2u);
    EXPECT_EQ(*path->subpaths[0], *original->AsPath()->subpaths[0]);
    EXPECT_EQ((*path->subpaths[0])[0].flags, 1u);
    EXPECT_EQ(loaded->color, 0x00ABCDEFu);
    EXPECT_EQ(loaded->group, 4);
    EXPECT_EQ(loaded->page, 2);
    // Load ends with RecalcBounds: the caches are there again.
    EXPECT_EQ(loaded->bounds, original->bounds);
    EXPECT_EQ(path->polylines.size(), 2u);
}

TEST(ObjectRecord, RecordStartsWithKindGroupPageColourAndStyleWords) {
    auto object = MakeCurvedPath();
    const std::vector<uint8_t> bytes = SaveBytes(*object);
    const int32_t expected[] = {100, 4, 2, 0x00ABCDEF, kPenNull, 6, 0x00112233, kBrushHollow, 2, 3};
    ASSERT_GE(bytes.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(bytes.data(), expected, sizeof expected), 0);
}

TEST(ObjectRecord, NodeOnItsAnchorTakesTenBytes) {
    CGraphicObject object(kKindPath);
    CNodeArray& nodes = object.AsPath()->AddSubpath();
    // Control points within 1e-8 of the anchor count as on it.
    nodes.Add({{1.0f, 2.0f}, {1.0f, 2.0f}, {1.0f, 2.0f}, 0});
    const std::vector<uint8_t> shortForm = SaveBytes(object);
    EXPECT_EQ(shortForm.size(), 4u * 4 + 5u * 4 + 4u + 10u);
    EXPECT_EQ(shortForm[40] | shortForm[41] << 8, 0x8000);

    (*object.AsPath()->subpaths[0])[0].out = {1.0f, 2.5f};
    const std::vector<uint8_t> longForm = SaveBytes(object);
    EXPECT_EQ(longForm.size(), shortForm.size() + 16u);
    EXPECT_EQ(longForm[40] | longForm[41] << 8, 0);
}

TEST(ObjectRecord, ShortNodeReadsBackWithControlsOnTheAnchor) {
    CGraphicObject object(kKindPath);
    object.AsPath()->AddSubpath().Add({{3.0f, 4.0f + 1e-9f}, {3.0f, 4.0f}, {3.0f, 4.0f}, 2});
    CMemoryFile file(SaveBytes(object));
    CGraphicObject loaded;
    ASSERT_TRUE(loaded.Load(file));
    const CPathNode& node = (*loaded.AsPath()->subpaths[0])[0];
    EXPECT_EQ(node.in, node.anchor);
    EXPECT_EQ(node.out, node.anchor);
    EXPECT_EQ(node.flags, 2u) << "the record's marker bit is not a node flag";
}

TEST(ObjectRecord, TinyCoordinatesAreStoredAsZero) {
    CGraphicObject object(kKindPath);
    CNodeArray& nodes = object.AsPath()->AddSubpath();
    nodes.Add({{5e-9f, 1.0f}, {-5e-9f, 5e-9f}, {2.0f, 1e-7f}, 0});
    const std::vector<uint8_t> bytes = SaveBytes(object);
    float stored[6];
    std::memcpy(stored, bytes.data() + 42, sizeof stored); // anchor, in, out after the 2 flag bytes
    EXPECT_EQ(std::bit_cast<uint32_t>(stored[0]), 0u) << "-5e-9 must become +0.0";
    EXPECT_EQ(std::bit_cast<uint32_t>(stored[1]), 0u);
    EXPECT_EQ(std::bit_cast<uint32_t>(stored[2]), 0u);
    EXPECT_EQ(stored[3], 1.0f);
    EXPECT_EQ(stored[4], 2.0f);
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
        const CTextShape* back = loaded->AsText();
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->text, s);
        EXPECT_EQ(back->faceName, u"Ωmega Sans");
        EXPECT_EQ(back->height, t->height);
        EXPECT_EQ(back->style, t->style);
        EXPECT_EQ(back->position, t->position);
        EXPECT_EQ(back->corner, t->corner);
        EXPECT_EQ(back->angle, 33.0f);
        EXPECT_EQ(back->alignment, kAlignCentre);
        EXPECT_EQ(back->mode, kTextParagraph);
    }
}

TEST(ObjectRecord, EmptyTextStoresLengthZeroAndNoCharacters) {
    auto empty = test::MakeText(u"", {}, kTextArtistic);
    empty->AsText()->faceName.clear();
    const std::vector<uint8_t> bytes = SaveBytes(*empty);
    // Wrapper, two zero lengths, height, style, position, corner, angle, alignment, mode.
    EXPECT_EQ(bytes.size(), 16u + 4u + 4u + 4u + 4u + 8u + 8u + 4u + 4u + 4u);
    EXPECT_EQ(bytes[16] | bytes[17] | bytes[18] | bytes[19], 0);
}

TEST(ObjectRecord, ImageRoundTripIsByteIdentical) {
    auto original = MakeImage();
    auto loaded = ExpectByteIdenticalRoundTrip(*original);
    const CImageShape* image = loaded->AsImage();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->bitmap == original->AsImage()->bitmap);
    EXPECT_EQ(image->placement, original->AsImage()->placement);
    EXPECT_EQ(loaded->bounds, (CRectF{10.0f, 60.0f, 20.0f, 50.0f}));
}

TEST(ObjectRecord, EmptyImageRoundTrips) {
    CGraphicObject object(kKindImage);
    object.AsImage()->placement = {1.0f, 2.0f, 3.0f, 4.0f};
    auto loaded = ExpectByteIdenticalRoundTrip(object);
    EXPECT_TRUE(loaded->AsImage()->bitmap.IsEmpty());
}

TEST(ObjectRecord, ObjectWithoutPrimitiveSavesNothing) {
    CGraphicObject placeholder(kKindShape);
    CMemoryFile file;
    EXPECT_FALSE(placeholder.Save(file));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(ObjectRecord, EveryTruncationOfAValidRecordIsRejected) {
    std::vector<std::unique_ptr<CGraphicObject>> objects;
    objects.push_back(MakeCurvedPath());
    objects.push_back(test::MakeText(u"two\r\nlines", {1.0f, 2.0f}, kTextArtistic));
    objects.push_back(MakeImage());
    for (const auto& object : objects) {
        const std::vector<uint8_t> bytes = SaveBytes(*object);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            CMemoryFile file(std::span<const uint8_t>(bytes.data(), n));
            CGraphicObject loaded(kKindText);
            loaded.group = 77;
            ASSERT_FALSE(loaded.Load(file)) << "kind " << object->GetKind() << ", prefix " << n;
            // A failed Load leaves the object as it was.
            EXPECT_EQ(loaded.GetKind(), kKindText);
            EXPECT_EQ(loaded.group, 77);
        }
    }
}

// Overwrites the 32-bit word at offset.
void Poke(std::vector<uint8_t>& bytes, std::size_t offset, int32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
}

bool Loads(const std::vector<uint8_t>& bytes) {
    CMemoryFile file(bytes);
    CGraphicObject object;
    return object.Load(file);
}

TEST(ObjectRecord, LyingCountsAreRejected) {
    const std::vector<uint8_t> path = SaveBytes(*MakeCurvedPath());
    ASSERT_TRUE(Loads(path));
    for (int32_t lie : {-1, 0x7FFFFFFF, 1 << 28, 1000}) {
        std::vector<uint8_t> bad = path;
        Poke(bad, 32, lie); // subpath count
        EXPECT_FALSE(Loads(bad)) << "subpath count " << lie;
        bad = path;
        Poke(bad, 36, lie); // node count of the first subpath
        EXPECT_FALSE(Loads(bad)) << "node count " << lie;
    }
    std::vector<uint8_t> zeroNodes = path;
    Poke(zeroNodes, 36, 0);
    EXPECT_FALSE(Loads(zeroNodes));

    const std::vector<uint8_t> text = SaveBytes(*test::MakeText(u"abc", {}, kTextArtistic));
    ASSERT_TRUE(Loads(text));
    for (int32_t lie : {-1, 0x7FFFFFFF, 0x40000000, 100}) {
        std::vector<uint8_t> bad = text;
        Poke(bad, 16, lie); // text length
        EXPECT_FALSE(Loads(bad)) << "text length " << lie;
    }
}

TEST(ObjectRecord, UnknownKindIsRejected) {
    std::vector<uint8_t> bytes = SaveBytes(*MakeCurvedPath());
    for (int32_t kind : {99, 0, 101, -100}) {
        Poke(bytes, 0, kind);
        EXPECT_FALSE(Loads(bytes)) << kind;
    }
}

TEST(ObjectRecord, ImageWithTooFewPixelBytesOrAbsurdHeaderIsRejected) {
    const std::vector<uint8_t> good = SaveBytes(*MakeImage());
    ASSERT_TRUE(Loads(good));
    // Offsets: 16 wrapper bytes, 16 placement bytes, info length at 32, header from 36.
    const std::size_t header = 36;
    const std::size_t infoLength = 40 + 256 * 4;
    const std::size_t pixelCount = header + infoLength;
    const int32_t rowsNeed = 8 * 3;

    std::vector<uint8_t> bad = good;
    Poke(bad, pixelCount, rowsNeed - 1); // fewer pixel bytes than the rows need
    Poke(bad, header + 20, 0);           // and a header that leaves the size to be computed
    EXPECT_FALSE(Loads(bad));

    bad = good;
    Poke(bad, header + 4, 20000); // width
    EXPECT_FALSE(Loads(bad));
    bad = good;
    Poke(bad, header + 8, -20000); // height
    EXPECT_FALSE(Loads(bad));
    bad = good;
    Poke(bad, header + 20, 0x7FFFFFFF); // image size larger than the bytes
    EXPECT_FALSE(Loads(bad));
    bad = good;
    Poke(bad, 32, 0x7FFFFFF0); // info length
    EXPECT_FALSE(Loads(bad));
    bad = good;
    Poke(bad, 32, 39);
    EXPECT_FALSE(Loads(bad));
    bad = good;
    Poke(bad, pixelCount, 0x7FFFFFFF); // pixel count beyond the stream
    EXPECT_FALSE(Loads(bad));
}

TEST(ObjectRecord, RecordsFollowEachOtherInOneStream) {
    CMemoryFile file;
    auto a = MakeCurvedPath();
    auto b = test::MakeText(u"x", {}, kTextArtistic);
    ASSERT_TRUE(a->Save(file));
    ASSERT_TRUE(b->Save(file));
    file.Seek(0);
    CGraphicObject first;
    CGraphicObject second;
    ASSERT_TRUE(first.Load(file));
    ASSERT_TRUE(second.Load(file));
    EXPECT_EQ(first.GetKind(), kKindPath);
    EXPECT_EQ(second.AsText()->text, u"x");
    EXPECT_EQ(file.Remaining(), 0u);
}

} // namespace
} // namespace pq
