#pragma once

// A view on a document in a recording window, set up as the editor does after opening a document.

#include "RecordingWindowHost.h"
#include "model/ModelTestHelpers.h"

#include "document/PqxDoc.h"
#include "ui/view/PqxView.h"
#include "ui/view/ViewCommands.h"

#include <gtest/gtest.h>

namespace pq::test {

struct CCommandStateSeen {
    bool handled = false;
    bool enabled = false;
    bool checked = false;
};

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
    // The client centre (200, 150) shows the document origin, at scale pixels per document unit.
    void ShowOriginAtCentre(float scale) {
        view.GetMapping().SetScale(scale);
        view.GetMapping().SetOrigins(0.0f, 0.0f, 200, 150);
    }
    void Tap(CPoint at, unsigned keys = 0) {
        view.OnLButtonDown(kKeyFlagLButton | keys, at);
        view.OnLButtonUp(keys, at);
    }
    // Press, moves evenly along the way, release: what a real drag delivers.
    void Drag(CPoint from, CPoint to, unsigned keys = 0, int moves = 4) {
        view.OnLButtonDown(kKeyFlagLButton | keys, from);
        for (int step = 1; step <= moves; ++step)
            view.OnMouseMove(kKeyFlagLButton | keys,
                             from + CPoint{(to.x - from.x) * step / moves, (to.y - from.y) * step / moves});
        view.OnLButtonUp(keys, to);
    }
    // A command's state as the menus see it, which must not depend on what the flags held before.
    CCommandStateSeen State(int id) const {
        CCommandStateSeen state, other{false, true, true};
        state.handled = view.OnUpdateCommand(id, state.enabled, state.checked);
        other.handled = view.OnUpdateCommand(id, other.enabled, other.checked);
        EXPECT_TRUE(state.enabled == other.enabled && state.checked == other.checked) << "command " << id;
        return state;
    }
    int UndoSteps() { return view.GetUndoRecorder().CanUndo(); }
    // The drawing after undoing that many steps, snapshotted as Snapshot takes it.
    DrawingSnapshot Undone(int steps = 1, bool canonicalGroups = true) {
        for (int i = 0; i < steps; ++i)
            view.OnCommand(cmd::kUndo);
        return Snapshot(Drawing(), canonicalGroups);
    }

    CRecordingWindowHost host;
    CPqxDoc doc;
    CPqxView view;
};

} // namespace pq::test
