#pragma once

// A view on an opened document with the property sheet's commands, and a scripted sheet dialog: it runs
// a script on the sheet's pages as a user would fill them in and answers OK or Cancel.

#include "FontMetricsSetup.h"
#include "ui/EditTestSetup.h"

#include "app/CommandIds.h"
#include "app/ModalPropSheet.h"
#include "app/PropertySheetCommands.h"
#include "app/PropertySheetState.h"
#include "app/ViewCommandTarget.h"

#include <functional>

namespace pq::test {

class CScriptedSheetDialog : public IPropertySheetDialog {
public:
    bool RunPropertySheet(CModalPropSheet& sheet) override {
        ++runs;
        shownPages = sheet.GetPages();
        if (script)
            script(sheet);
        return answerOk;
    }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }

    std::function<void(CModalPropSheet&)> script;
    bool answerOk = true;
    int runs = 0;
    std::vector<PropertyPage> shownPages;
    std::vector<std::string> messages;
};

struct CSheetSetup : CEditSetup {
    explicit CSheetSetup(std::string palettePath = {})
        : state(nullptr, std::move(palettePath)), commands(view, state, &dialog, [] {
              return std::vector<std::u16string>{u"Arial", u"Courier New"};
          }) {
        view.SetPropertySheetOpener(&commands);
    }
    // Opens the sheet by command, as the menu would (a greyed command does not run).
    bool Run(int id, std::function<void(CModalPropSheet&)> script, bool ok = true) {
        dialog.script = std::move(script);
        dialog.answerOk = ok;
        const int before = dialog.runs;
        bool enabled = false;
        bool checked = false;
        if (!commands.OnUpdateCommand(id, enabled, checked) || !enabled)
            return false;
        commands.OnCommand(id);
        return dialog.runs > before;
    }
    CModalPropSheet Sheet(PropertySheetOpening opening) {
        return CModalPropSheet(view, opening, state, {u"Arial", u"Courier New"});
    }
    int Steps() { return view.GetUndoRecorder().CanUndo(); }
    UndoRecordType NewestStep() {
        return static_cast<UndoRecordType>(
            view.GetUndoRecorder().GetEntries(UndoDirection::TowardsUndo).back().type);
    }

    CScriptedSheetDialog dialog;
    CPropertySheetState state;
    CPropertySheetCommands commands;
};

} // namespace pq::test
