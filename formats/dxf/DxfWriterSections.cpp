#include "formats/dxf/DxfWriter.h"

#include "model/Drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pq {

namespace {

// The tables and blocks every written file carries. Each line is a group code and its value; they are
// written with the codes right-aligned in three columns. The layouts are 1F ("Model", owned by block
// record 12) and 20 ("Layout1", block record 13), as the block records and the layout dictionary say.
constexpr std::string_view kTablesAndBlocks = R"(0 SECTION
2 TABLES
0 TABLE
2 VPORT
5 1
330 0
100 AcDbSymbolTable
70 1
0 VPORT
5 2
330 1
100 AcDbSymbolTableRecord
100 AcDbViewportTableRecord
2 *ACTIVE
70 0
10 0.0
20 0.0
11 1.0
21 1.0
12 50.0
22 50.0
13 0.0
23 0.0
14 10.0
24 10.0
15 10.0
25 10.0
16 0.0
26 0.0
36 1.0
17 0.0
27 0.0
37 0.0
40 200.0
41 1.647569444444444
42 50.0
43 0.0
44 0.0
50 0.0
51 0.0
71 0
72 100
73 1
74 3
75 0
76 0
77 0
78 0
0 ENDTAB
0 TABLE
2 LTYPE
5 3
330 0
100 AcDbSymbolTable
70 3
0 LTYPE
5 4
330 3
100 AcDbSymbolTableRecord
100 AcDbLinetypeTableRecord
2 ByBlock
70 0
3 
72 65
73 0
40 0.0
0 LTYPE
5 5
330 3
100 AcDbSymbolTableRecord
100 AcDbLinetypeTableRecord
2 ByLayer
70 0
3 
72 65
73 0
40 0.0
0 LTYPE
5 6
330 3
100 AcDbSymbolTableRecord
100 AcDbLinetypeTableRecord
2 Continuous
70 0
3 Solid line
72 65
73 0
40 0.0
0 ENDTAB
0 TABLE
2 LAYER
5 7
330 0
100 AcDbSymbolTable
70 2
0 LAYER
5 8
330 7
100 AcDbSymbolTableRecord
100 AcDbLayerTableRecord
2 0
70 0
62 7
6 Continuous
370 -3
390 1E
0 LAYER
5 9
330 7
100 AcDbSymbolTableRecord
100 AcDbLayerTableRecord
2 Layer 1
70 0
62 160
6 Continuous
370 -3
390 1E
0 ENDTAB
0 TABLE
2 STYLE
5 A
330 0
100 AcDbSymbolTable
70 1
0 STYLE
5 B
330 A
100 AcDbSymbolTableRecord
100 AcDbTextStyleTableRecord
2 Standard
70 0
40 0.0
41 1.0
50 0.0
71 0
42 2.5
3 txt
4 
0 ENDTAB
0 TABLE
2 VIEW
5 C
330 0
100 AcDbSymbolTable
70 0
0 ENDTAB
0 TABLE
2 UCS
5 D
330 0
100 AcDbSymbolTable
70 0
0 ENDTAB
0 TABLE
2 APPID
5 E
330 0
100 AcDbSymbolTable
70 1
0 APPID
5 F
330 E
100 AcDbSymbolTableRecord
100 AcDbRegAppTableRecord
2 ACAD
70 0
0 ENDTAB
0 TABLE
2 DIMSTYLE
5 10
330 0
100 AcDbSymbolTable
70 1
100 AcDbDimStyleTable
71 0
0 DIMSTYLE
105 18
330 10
100 AcDbSymbolTableRecord
100 AcDbDimStyleTableRecord
2 Standard
70 0
340 B
0 ENDTAB
0 TABLE
2 BLOCK_RECORD
5 11
330 0
100 AcDbSymbolTable
70 2
0 BLOCK_RECORD
5 12
330 11
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 *Model_Space
340 1F
0 BLOCK_RECORD
5 13
330 11
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 *Paper_Space
340 20
0 ENDTAB
0 ENDSEC
0 SECTION
2 BLOCKS
0 BLOCK
5 14
330 12
100 AcDbEntity
8 0
100 AcDbBlockBegin
2 *Model_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Model_Space
1 
0 ENDBLK
5 15
330 12
100 AcDbEntity
8 0
100 AcDbBlockEnd
0 BLOCK
5 16
330 13
100 AcDbEntity
67 1
8 0
100 AcDbBlockBegin
2 *Paper_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Paper_Space
1 
0 ENDBLK
5 17
330 13
100 AcDbEntity
67 1
8 0
100 AcDbBlockEnd
0 ENDSEC
)";

// The plot settings shared by both layouts (A4 landscape, millimetres), then the layout's own part.
constexpr std::string_view kPlotSettings = R"(100 AcDbPlotSettings
1 
2 none_device
4 
6 
40 0.0
41 0.0
42 0.0
43 0.0
44 297.0
45 210.0
46 0.0
47 0.0
48 0.0
49 0.0
140 0.0
141 0.0
142 1.0
143 1.0
70 688
72 1
73 0
74 5
7 
75 16
76 0
77 2
78 300
147 1.0
148 0.0
149 0.0
100 AcDbLayout
)";

constexpr std::string_view kLayoutLimits = R"(10 0.0
20 0.0
11 297.0
21 210.0
12 0.0
22 0.0
32 0.0
14 1e+20
24 1e+20
34 1e+20
15 -1e+20
25 -1e+20
35 -1e+20
146 0.0
13 0.0
23 0.0
33 0.0
16 1.0
26 0.0
36 0.0
17 0.0
27 1.0
37 0.0
76 0
)";

constexpr std::string_view kFixedObjects = R"(0 DICTIONARY
5 1A
330 19
100 AcDbDictionary
281 1
0 DICTIONARY
5 1B
330 19
100 AcDbDictionary
281 1
3 Standard
350 1C
0 MLINESTYLE
5 1C
102 {ACAD_REACTORS
330 1B
102 }
330 1B
100 AcDbMlineStyle
2 Standard
70 0
3 
62 256
51 90.0
52 90.0
71 2
49 0.5
62 256
6 BYLAYER
49 -0.5
62 256
6 BYLAYER
0 ACDBDICTIONARYWDFLT
5 1D
330 19
100 AcDbDictionary
281 1
3 Normal
350 1E
100 AcDbDictionaryWithDefault
340 1E
0 ACDBPLACEHOLDER
5 1E
102 {ACAD_REACTORS
330 1D
102 }
330 1D
0 LAYOUT
5 1F
102 {ACAD_REACTORS
330 21
102 }
330 21
@PLOT
1 Model
70 1
71 0
@LIMITS
330 12
0 LAYOUT
5 20
102 {ACAD_REACTORS
330 21
102 }
330 21
@PLOT
1 Layout1
70 1
71 1
@LIMITS
330 13
0 DICTIONARY
5 21
102 {ACAD_REACTORS
330 19
102 }
330 19
100 AcDbDictionary
281 1
3 Layout1
350 20
3 Model
350 1F
0 DICTIONARY
5 22
102 {ACAD_REACTORS
330 19
102 }
330 19
100 AcDbDictionary
281 1
0 WIPEOUTVARIABLES
5 23
102 {ACAD_REACTORS
330 19
102 }
330 19
100 AcDbWipeoutVariables
70 1
)";

// Appends template lines "code value" (a line "@PLOT" or "@LIMITS" inserts that shared part).
void AppendTemplate(std::string& out, std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line == "@PLOT") {
            AppendTemplate(out, kPlotSettings);
            continue;
        }
        if (line == "@LIMITS") {
            AppendTemplate(out, kLayoutLimits);
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string_view code = line.substr(0, space);
        if (code.size() < 3)
            out.append(3 - code.size(), ' ');
        out += code;
        out += "\r\n";
        if (space != std::string_view::npos)
            out += line.substr(space + 1);
        out += "\r\n";
    }
}

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

} // namespace

void AppendDxfReal(std::string& out, double value) {
    if (!std::isfinite(value))
        value = 0.0;
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (error != std::errc()) {
        out += "0.0";
        return;
    }
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    // "-0.000000" and "0.000000" are the same number; writing one form keeps files identical.
    if (text == "-0.000000")
        text.remove_prefix(1);
    out += text;
}

void AppendDxfHandle(std::string& out, uint32_t handle) {
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, handle, 16);
    for (const char* p = buffer; p < end; ++p)
        out += static_cast<char>(*p >= 'a' && *p <= 'f' ? *p - 'a' + 'A' : *p);
}

CDxfWriter::CDxfWriter(const CDrawing& source, int pageIndex, std::string path)
    : drawing(source), page(std::clamp(pageIndex, 0, std::max(0, source.PageCount() - 1))),
      dxfPath(std::move(path)) {}

bool CDxfWriter::Write(std::string& file, std::vector<CDxfImageFile>& images, std::string& message) {
    file.clear();
    images.clear();
    entities.clear();
    imageRecords.clear();
    nextHandle = kFirstEntityHandle;
    for (const auto& object : drawing.Objects()) {
        if (object->page != page)
            continue;
        if (const CPathShape* path = object->AsPath())
            WritePath(*object, *path);
        else if (const CTextShape* text = object->AsText())
            WriteText(*object, *text);
        else if (const CImageShape* image = object->AsImage()) {
            if (!WriteImage(*image, images, message))
                return false;
        }
    }
    if (!imageRecords.empty()) {
        imageDictionary = nextHandle++;
        imageVariables = nextHandle++;
    }

    WriteHeader(file);
    WriteTablesAndBlocks(file);
    AppendTemplate(file, "0 SECTION\n2 ENTITIES");
    file += entities;
    AppendTemplate(file, "0 ENDSEC");
    WriteObjects(file);
    AppendTemplate(file, "0 EOF");
    return true;
}

void CDxfWriter::WriteHeader(std::string& out) const {
    AppendTemplate(out, "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1015\n9 $ACADMAINTVER\n70      6\n9 $HANDSEED");
    AppendLine(out, "  5");
    AppendDxfHandle(out, nextHandle);
    out += "\r\n";
    AppendTemplate(out, "9 $INSUNITS\n70      4\n0 ENDSEC");
}

void CDxfWriter::WriteTablesAndBlocks(std::string& out) {
    AppendTemplate(out, kTablesAndBlocks);
}

void CDxfWriter::WriteObjects(std::string& out) const {
    AppendTemplate(out,
                   "0 SECTION\n2 OBJECTS\n0 DICTIONARY\n5 19\n330 0\n100 AcDbDictionary\n281 1\n"
                   "3 ACAD_GROUP\n350 1A\n3 ACAD_LAYOUT\n350 21\n3 ACAD_MLINESTYLE\n350 1B\n"
                   "3 ACAD_PLOTSETTINGS\n350 22\n3 ACAD_PLOTSTYLENAME\n350 1D\n3 ACAD_WIPEOUT_VARS\n350 23");
    auto hex = [](uint32_t h) {
        std::string handle;
        AppendDxfHandle(handle, h);
        return handle;
    };
    if (!imageRecords.empty()) {
        AppendTemplate(out, "3 ACAD_IMAGE_DICT\n350 " + hex(imageDictionary) + "\n3 ACAD_IMAGE_VARS\n350 " +
                                hex(imageVariables));
    }
    AppendTemplate(out, kFixedObjects);
    if (!imageRecords.empty()) {
        std::string dictionary = "0 DICTIONARY\n5 " + hex(imageDictionary) +
                                 "\n102 {ACAD_REACTORS\n330 19\n102 }\n330 19\n100 AcDbDictionary\n281 1";
        for (std::size_t i = 0; i < imageRecords.size(); ++i)
            dictionary += "\n3 IMAGE_" + std::to_string(i + 1) + "\n350 " + hex(imageRecords[i].entity + 1);
        AppendTemplate(out, dictionary);
        AppendTemplate(out, "0 RASTERVARIABLES\n5 " + hex(imageVariables) +
                                "\n102 {ACAD_REACTORS\n330 19\n102 }\n330 19\n100 AcDbRasterVariables\n"
                                "90 0\n70 1\n71 1\n72 1");
    }
    for (const ImageRecord& record : imageRecords) {
        AppendTemplate(out, "0 IMAGEDEF_REACTOR\n5 " + hex(record.entity + 2) + "\n330 " +
                                hex(record.entity) + "\n100 AcDbRasterImageDefReactor\n90 2\n330 " +
                                hex(record.entity));
        std::string definition = "0 IMAGEDEF\n5 " + hex(record.entity + 1) + "\n102 {ACAD_REACTORS\n330 " +
                                 hex(imageDictionary) + "\n330 " + hex(record.entity + 2) + "\n102 }\n330 " +
                                 hex(imageDictionary) + "\n100 AcDbRasterImageDef\n90 0\n1 " + record.path;
        AppendTemplate(out, definition);
        AppendLine(out, " 10");
        AppendLine(out, "    " + std::to_string(record.width));
        AppendLine(out, " 20");
        AppendLine(out, "    " + std::to_string(record.height));
        AppendTemplate(out, "11 0.100000\n21 0.100000\n280 1\n281 0");
    }
    AppendTemplate(out, "0 ENDSEC");
}

} // namespace pq
