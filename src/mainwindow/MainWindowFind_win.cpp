// The main window's side of find and the rules: the View option that shows
// the time columns in every section, the status panel that counts the rows
// shown, and the notes of rules that could not be read.
#include "mainwindow/SectionManager.h"
#include "mainwindow/form_MainWindow_win.h"
#include "sections/frame_Sections_win.h"

namespace vx {

namespace {

constexpr const char* kTimeColumnsSetting = "TimeColumns";
constexpr int kShownRowsPanel = 4;

} // namespace

void Tfrm_VexelDebugWindow::CreateTimeColumnsAction() {
    act_TimeColumns =
        &Actions.Add("act_TimeColumns", "View", "&Time columns",
                     "Shows the milliseconds since the previous row and since the first row",
                     [this](ui::TAction&) { act_TimeColumnsExecute(); });
}

void Tfrm_VexelDebugWindow::LoadTimeColumnsSetting() {
    bool show = ctx_.Registry && ctx_.Registry->RegReadBool("Display", kTimeColumnsSetting, false);
    SectionShared.TimeColumns = show;
    act_TimeColumns->SetChecked(show);
}

void Tfrm_VexelDebugWindow::act_TimeColumnsExecute() {
    bool show = !SectionShared.TimeColumns;
    SectionShared.TimeColumns = show;
    act_TimeColumns->SetChecked(show);
    for (auto& section : Sections)
        if (Tfme_Sections* frame = section ? FrameOf(*section) : nullptr)
            frame->SetTimeColumns(show);
    if (ctx_.Registry) ctx_.Registry->RegWriteBool("Display", kTimeColumnsSetting, show);
}

void Tfrm_VexelDebugWindow::SetShownRows(const std::string& text) {
    StatusBar.SetPanelText(kShownRowsPanel, text);
}

void Tfrm_VexelDebugWindow::LogNote(const std::string& note) {
    if (OnLogNote) OnLogNote(note);
}

} // namespace vx
