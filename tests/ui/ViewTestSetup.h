#pragma once

// A view on a document in a recording window, set up as the editor does after opening a document.

#include "RecordingWindowHost.h"
#include "model/ModelTestHelpers.h"

#include "document/PqxDoc.h"
#include "ui/view/PqxView.h"

namespace pq::test {

struct CViewSetup {
    explicit CViewSetup(int width = 400, int height = 300, IPreferenceStore* preferences = nullptr)
        : host(width, height), view(&host, preferences) {
        view.SetDocument(&doc);
    }
    // The framework's update after a document was created or opened, with the posted commands run.
    void Open() {
        view.OnUpdate();
        host.RunPosted(view);
    }
    // Paints until the view has fitted itself and drawn a frame.
    void Paint() {
        view.OnPaint();
        if (host.front.IsEmpty() || view.GetBackBuffer().IsEmpty())
            view.OnPaint();
    }
    CDrawing& Drawing() { return doc.GetDrawing(); }

    CRecordingWindowHost host;
    CPqxDoc doc;
    CPqxView view;
};

} // namespace pq::test
