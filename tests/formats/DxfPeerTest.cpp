#include "DxfTestHelpers.h"

#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace pq {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Loads a DXF with ezdxf, audits it, and lists the model space: one line per entity, its type and the
// coordinates that place it (control points of splines and of spline edges, insertion points).
constexpr const char* kReadBack = R"(import logging, sys
logging.getLogger("ezdxf").setLevel(logging.ERROR)
import ezdxf
doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
print("AUDIT", len(auditor.errors), len(auditor.fixes),
      "; ".join(str(e.message) for e in list(auditor.errors) + list(auditor.fixes)))
for e in doc.modelspace():
    t = e.dxftype()
    values = []
    if t == "SPLINE":
        values = [c for p in e.control_points for c in (p[0], p[1])]
    elif t in ("MTEXT", "IMAGE"):
        values = list(e.dxf.insert)[:2]
    elif t == "HATCH":
        values = [len(e.paths)]
        for path in e.paths:
            for edge in getattr(path, "edges", []):
                if hasattr(edge, "control_points"):
                    values += [c for p in edge.control_points for c in (p[0], p[1])]
    print(t, " ".join(repr(float(v)) for v in values))
)";

struct CPeerEntity {
    std::string type;
    std::vector<double> values;
};

// The same list from our own file.
std::vector<CPeerEntity> OwnEntities(const std::string& file) {
    const test::CParsedDxf parsed = test::ParseDxf(file);
    const std::vector<CDxfTag>& tags = parsed.list.tags;
    std::vector<CPeerEntity> out;
    bool inEntities = false;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags[i].code == 2 && tags[i].Value() == "ENTITIES")
            inEntities = true;
        if (!inEntities || tags[i].code != 0 || tags[i].Value() == "SECTION")
            continue;
        if (tags[i].Value() == "ENDSEC")
            break;
        CPeerEntity entity{std::string(tags[i].Value()), {}};
        std::size_t end = i + 1;
        while (end < tags.size() && tags[end].code != 0)
            ++end;
        const std::span<const CDxfTag> body(tags.data() + i + 1, end - i - 1);
        auto real = [](const CDxfTag& tag) { return *ParseDxfReal(tag.Value()); };
        if (entity.type == "SPLINE") {
            for (const CDxfTag& tag : body)
                if (tag.code == 10 || tag.code == 20)
                    entity.values.push_back(real(tag));
        } else if (entity.type == "MTEXT" || entity.type == "IMAGE") {
            for (const CDxfTag& tag : body)
                if (tag.code == 10 || tag.code == 20) {
                    entity.values.push_back(real(tag));
                    if (entity.values.size() == 2)
                        break;
                }
        } else if (entity.type == "HATCH") {
            // Boundary count, then the control points of the spline edges (between 96 and the edge's end).
            bool inSpline = false;
            for (const CDxfTag& tag : body) {
                if (tag.code == 91)
                    entity.values.push_back(real(tag));
                else if (tag.code == 96)
                    inSpline = true;
                else if (tag.code == 72 || tag.code == 97)
                    inSpline = false;
                else if (inSpline && (tag.code == 10 || tag.code == 20))
                    entity.values.push_back(real(tag));
            }
        }
        out.push_back(std::move(entity));
    }
    return out;
}

std::vector<CPeerEntity> ParsePeerLines(const std::string& output, std::string& audit) {
    std::vector<CPeerEntity> out;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        CPeerEntity entity;
        words >> entity.type;
        if (entity.type == "AUDIT") {
            audit = line;
            continue;
        }
        double v = 0.0;
        while (words >> v)
            entity.values.push_back(v);
        out.push_back(std::move(entity));
    }
    return out;
}

std::unique_ptr<CGraphicObject> PeerPicture() {
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    EXPECT_TRUE(image->bitmap.Create(6, 4, 24));
    for (std::size_t i = 0; i < image->bitmap.GetBits().size(); ++i)
        image->bitmap.GetBits()[i] = static_cast<uint8_t>(i * 13);
    image->placement = {-300, -200, 100, 180};
    object->RecalcBounds();
    return object;
}

TEST(DxfPeer, EzdxfAuditsOurFilesCleanAndReadsBackTheSameEntities) {
    if (test::PeerMissing(kPython, "import ezdxf"))
        return;
    test::CTempFolder folder;
    CDrawing drawing;
    CNodeArray curve;
    curve.Add({{0, 0}, {0, 0}, {40, -30}});
    curve.Add({{80, -30}, {120, 10}, {150, 60.123457f}});
    curve.Add({{200, 90}, {210.5f, 200.25f}, {210, 200}});
    drawing.Add(test::BuildPath(
        {curve}, {.penStyle = kPenSolid, .brushStyle = kBrushHollow, .penWidth = 30, .penColor = 0x000000}));
    drawing.Add(test::BuildPath(
        {test::BoxNodes({0, 300, 0, 200}), test::PolylineNodes({{10, 10}, {90, 10}, {50, 80}})},
        {.penStyle = kPenSolid,
         .brushStyle = kBrushSolid,
         .penWidth = 3,
         .penColor = 0x123456,
         .fill = 0xFFFFFF}));
    drawing.Add(test::BuildText(u"Caf\u00E9 {1}; \\ \u4E2D\r\nline two", {50, -400},
                                {.faceName = u"Liberation Sans",
                                 .corner = {},
                                 .height = 0.0f,
                                 .angle = 15.0f,
                                 .mode = kTextArtistic,
                                 .alignment = kAlignCentre,
                                 .style = kTextStyleBold}));
    std::u16string longText(600, u'x');
    drawing.Add(test::BuildText(longText, {-500, 300},
                                {.faceName = u"Liberation Serif",
                                 .corner = {0, 900},
                                 .height = 0.0f,
                                 .angle = 0.0f,
                                 .mode = kTextParagraph}));
    drawing.Add(PeerPicture());
    const std::string path = folder.File("peer.dxf");
    ASSERT_EQ(CDxfFile().ExportToDxf(path, drawing, 0), 1) << drawing.GetErrorMessage();
    const std::string file = test::ReadFileText(path);

    const std::string script = folder.File("read_back.py");
    std::ofstream(script) << kReadBack;
    std::string output;
    ASSERT_EQ(test::RunCommand(std::string(kPython) + " " + script + " " + path, output), 0) << output;
    std::string audit;
    const std::vector<CPeerEntity> peer = ParsePeerLines(output, audit);
    EXPECT_EQ(audit.substr(0, 10), "AUDIT 0 0 ") << audit;

    const std::vector<CPeerEntity> own = OwnEntities(file);
    ASSERT_EQ(peer.size(), own.size()) << output;
    ASSERT_EQ(own.size(), 7u); // 1 + 2 splines, 1 hatch, 2 texts, 1 image
    for (std::size_t i = 0; i < own.size(); ++i) {
        EXPECT_EQ(peer[i].type, own[i].type) << "entity " << i;
        ASSERT_EQ(peer[i].values.size(), own[i].values.size()) << "entity " << i << " " << own[i].type;
        for (std::size_t k = 0; k < own[i].values.size(); ++k)
            EXPECT_NEAR(peer[i].values[k], own[i].values[k], 1e-6) << "entity " << i << " value " << k;
    }
}

TEST(DxfPeer, EzdxfReadsTheLongAndEscapedTextAsWeWroteIt) {
    if (test::PeerMissing(kPython, "import ezdxf"))
        return;
    test::CTempFolder folder;
    CDrawing drawing;
    std::u16string text;
    for (int i = 0; i < 60; ++i)
        text += u"ab{c}\\d ";
    drawing.Add(test::BuildText(text, {0, 0}, {}));
    const std::string path = folder.File("text.dxf");
    ASSERT_EQ(CDxfFile().ExportToDxf(path, drawing, 0), 1);
    std::string output;
    ASSERT_EQ(test::RunCommand(std::string(kPython) +
                                   " -c 'import ezdxf,sys; d=ezdxf.readfile(sys.argv[1]); "
                                   "print(repr(next(iter(d.modelspace())).plain_text()))' " +
                                   path,
                               output),
              0)
        << output;
    std::string expected;
    for (int i = 0; i < 60; ++i)
        expected += "ab{c}\\\\d ";
    EXPECT_EQ(output, "'" + expected + "'\n");
}

} // namespace
} // namespace pq
