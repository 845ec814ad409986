#pragma once

#include "geometry/PathNode.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;
class CPathShape;
class CTextShape;
class CImageShape;

// A picture an exported DXF refers to: the JPEG file to write beside it.
struct CDxfImageFile {
    std::string path;
    std::vector<uint8_t> jpeg;
};

// Writes one page of a drawing as an AutoCAD 2000 (AC1015) ASCII DXF file in millimetres: paths become
// SPLINE outlines and HATCH fills, texts MTEXT, images IMAGE entities referring to JPEG files beside the
// DXF file. Reference:
// https://help.autodesk.com/view/OARX/2024/ENU/?guid=GUID-235B22E0-A567-4CF6-92D3-38A2306D73F3
//
// Handles: the fixed tables, blocks and objects use 1 .. 2D; entities and image objects take the next
// numbers from 2E in the order they are written, so the file is the same for the same drawing.
class CDxfWriter {
public:
    // The first handle entities take.
    static constexpr uint32_t kFirstEntityHandle = 0x2E;

    // dxfPath names the JPEG files of the images (its name with "_ACAD_<n>.jpg" in place of the extension)
    // and is written into the file as their location.
    CDxfWriter(const CDrawing& drawing, int page, std::string dxfPath);

    // Builds the file and the JPEG files of its images. False, with a message, when a picture cannot be
    // encoded: the file would refer to a picture that is not there.
    bool Write(std::string& file, std::vector<CDxfImageFile>& images, std::string& message);

private:
    struct ImageRecord {
        uint32_t entity = 0; // the IMAGE; its definition is entity + 1, the reactor entity + 2
        std::string path;
        int width = 0;
        int height = 0;
    };

    // Entities (DxfWriterEntities.cpp).
    void WritePath(const CGraphicObject& object, const CPathShape& path);
    void WriteSpline(const CNodeArray& nodes, const CPathShape& path);
    void WriteHatch(const CGraphicObject& object, const CPathShape& path);
    void WriteText(const CGraphicObject& object, const CTextShape& text);
    bool WriteImage(const CImageShape& image, std::vector<CDxfImageFile>& images, std::string& message);
    void WriteKnotsAndControlPoints(const CNodeArray& nodes, bool withZ);

    // The fixed sections and the objects of the images (DxfWriterSections.cpp).
    void WriteHeader(std::string& out) const;
    static void WriteTablesAndBlocks(std::string& out);
    void WriteObjects(std::string& out) const;

    // Group lines of the entities: the code after two spaces, then the value.
    void Group(int code, std::string_view value);
    void GroupInt(int code, long long value);
    void GroupReal(int code, double value);
    void GroupHandle(int code, uint32_t handle);
    void EntityStart(std::string_view name, uint32_t handle);
    [[nodiscard]] double X(float x) const { return x * 0.1; }
    [[nodiscard]] double Y(float y) const { return -y * 0.1; }

    const CDrawing& drawing;
    int page = 0;
    std::string dxfPath;
    std::string entities;
    uint32_t nextHandle = kFirstEntityHandle;
    uint32_t imageDictionary = 0;
    uint32_t imageVariables = 0;
    std::vector<ImageRecord> imageRecords;
};

// Appends "%f" (six decimals), locale-free.
void AppendDxfReal(std::string& out, double value);
// Appends an upper-case hexadecimal handle without padding.
void AppendDxfHandle(std::string& out, uint32_t handle);

} // namespace pq
