#pragma once

#include "document/DrawingFileOps.h"

namespace pq {

class IDocumentHost;

// Opening and saving through the format dispatch; notices such as the one-page message go to the host's
// message box.
class CFormatFileOps : public IDrawingFileOps {
public:
    explicit CFormatFileOps(IDocumentHost* documentHost = nullptr) : host(documentHost) {}
    void SetHost(IDocumentHost* documentHost) { host = documentHost; }

    bool Open(CDrawing& drawing, const std::string& path) override;
    bool Save(CDrawing& drawing, const std::string& path, int page, int width, int height) override;

private:
    IDocumentHost* host = nullptr;
};

} // namespace pq
