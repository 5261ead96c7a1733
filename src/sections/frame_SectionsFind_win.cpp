// Tfme_Sections: the find bar, the rules, the bookmarks and the time columns.
// Find and the rules scan in slices from a timer, so the window answers
// while they work through a long list.
#include "sections/frame_Sections_win.h"

#include "find/RuleEditor.h"
#include "find/RuleStore.h"

#include <algorithm>
#include <chrono>

namespace vx {

namespace {

constexpr UINT kWorkInterval = 10; // ms between slices: the window's own messages go first
constexpr int kTimeColumnWidth = 90;
const char* const kTimeCaptions[2] = {"Delta (ms)", "Elapsed (ms)"};

std::string MatchesText(size_t n) {
    return n == 1 ? " match" : " matches";
}

} // namespace

void Tfme_Sections::CreateFindBar() {
    if (!FindBar.Create(&Panel_List))
        throw std::runtime_error("cannot create the section's find bar");
    FindBar.SetVisible(false);
    FindBar.OnChange = [this] { FindChanged(); };
    FindBar.OnKey = [this](HWND from, WORD key, unsigned m) { return FindBarKey(from, key, m); };
    FindBar.OnClose = [this] { CloseFindBar(); };
    FindBar.OnStep = [this](bool forward) { FindStep(forward); };
}

void Tfme_Sections::ShowFindBar() {
    // Made on first use: most sections never show it, and its fourteen
    // windows would lengthen the build of every section.
    if (!FindBar.Handle()) CreateFindBar();
    if (!FindBar.Visible()) {
        FindBar.SetVisible(true);
        Panel_List.Realign();
        if (!FindBar.FindText().empty()) FindChanged();
    }
    FindBar.FocusText();
}

void Tfme_Sections::CloseFindBar() {
    bool hadFocus = GetFocus() == FindBar.Handle() || IsChild(FindBar.Handle(), GetFocus());
    FindBar.SetVisible(false);
    Panel_List.Realign();
    finder_.StopFind();
    seekFirst_ = false;
    pendingStep_ = 0;
    lst_Debug.InvalidateAll();
    if (hadFocus || !GetFocus()) SetFocus(lst_Debug.Handle());
}

bool Tfme_Sections::FindBarKey(HWND from, WORD key, unsigned modifiers) {
    if (modifiers == 0 && key == VK_ESCAPE) {
        CloseFindBar();
        return true;
    }
    if ((modifiers & ~kmShift) == 0 && (key == VK_RETURN || key == VK_F3)) {
        // Enter on a push button presses it.
        bool button = from == FindBar.btn_Previous.Handle() || from == FindBar.btn_Next.Handle() ||
                      from == FindBar.btn_CloseFind.Handle();
        if (key == VK_RETURN && button) {
            SendMessageA(from, BM_CLICK, 0, 0);
            return true;
        }
        FindStep((modifiers & kmShift) == 0);
        return true;
    }
    if (key == VK_TAB && (modifiers & ~kmShift) == 0) {
        std::vector<HWND> parts = FindBar.Parts();
        size_t n = parts.size(), at = 0;
        for (size_t i = 0; i < n; ++i)
            if (parts[i] == from) at = i;
        // Shift+Tab from the text and Tab from the last part leave the bar for the list.
        bool back = (modifiers & kmShift) != 0;
        if ((back && at == 0) || (!back && at + 1 == n)) {
            SetFocus(lst_Debug.Handle());
            return true;
        }
        SetFocus(parts[back ? at - 1 : at + 1]);
        return true;
    }
    return SectionKey(from, key, modifiers);
}

void Tfme_Sections::FindChanged() {
    std::string text = FindBar.FindText();
    findNote_.clear();
    pendingStep_ = 0;
    if (text.empty()) {
        finder_.StopFind();
        seekFirst_ = false;
    } else {
        std::string error;
        seekFirst_ = finder_.StartFind(text, FindBar.Options(), core_.FocusedRow(), error);
        if (!seekFirst_) findNote_ = error;
    }
    lst_Debug.InvalidateAll();
    StartWork();
    UpdateFindStatus();
}

void Tfme_Sections::StartWork() {
    if (!finder_.Busy()) return;
    WorkSlice();
    if (finder_.Busy() && !workTimer_) {
        SetTimer(Handle(), kWorkTimer, kWorkInterval, nullptr);
        workTimer_ = true;
    }
}

void Tfme_Sections::WorkLater() {
    if (!finder_.Busy() || workTimer_) return;
    SetTimer(Handle(), kWorkTimer, kWorkInterval, nullptr);
    workTimer_ = true;
}

void Tfme_Sections::WorkSlice() {
    bool rulesPending = finder_.RulesPending();
    size_t shown = finder_.VisibleCount();
    bool done = finder_.Work();
    if (done && workTimer_) {
        KillTimer(Handle(), kWorkTimer);
        workTimer_ = false;
    }
    // The rules took effect, or decided rows that came: the list shows other rows now.
    if ((rulesPending && !finder_.RulesPending()) || shown != finder_.VisibleCount())
        core_.ShownRowsChanged();
    if (seekFirst_) {
        TFindHit first = finder_.FirstHit();
        if (!first.Pending) {
            seekFirst_ = false;
            if (first.Row != TFindHit::npos) FocusFound(first.Row);
        }
    }
    if (pendingStep_ != 0) FindStep(pendingStep_ > 0);
    // A repaint of a long list costs milliseconds: only when new marks came.
    size_t found = finder_.Find().MatchesSoFar();
    if (found != paintedMatches_ || done) lst_Debug.InvalidateAll();
    paintedMatches_ = found;
    UpdateFindStatus();
}

void Tfme_Sections::FinishWork() {
    while (finder_.Busy())
        WorkSlice();
}

void Tfme_Sections::FocusFound(size_t row) {
    core_.FocusRow(row);
    UpdateNow();
}

void Tfme_Sections::FindStep(bool forward) {
    if (!FindBar.Visible() || FindBar.FindText().empty()) {
        ShowFindBar();
        return;
    }
    if (!finder_.Find().Active()) return; // a bad pattern: its error stays in the bar
    TFindHit hit = finder_.FindNext(core_.FocusedRow(), forward);
    if (hit.Pending) {
        pendingStep_ = forward ? 1 : -1;
        seekFirst_ = false; // the step decides where the focus goes
        StartWork();
        return;
    }
    pendingStep_ = 0;
    if (hit.Row == TFindHit::npos) {
        findNote_ = "No matches";
    } else {
        findNote_ = !hit.Wrapped ? ""
                    : forward    ? "Passed the end, went on from the top"
                                 : "Passed the top, went on from the bottom";
        FocusFound(hit.Row);
    }
    UpdateFindStatus();
}

void Tfme_Sections::UpdateFindStatus() {
    if (!FindBar.Visible()) return;
    const TFindEngine& find = finder_.Find();
    std::string text;
    if (!find.Active()) {
        text = FindBar.FindText().empty() ? "" : find.Error();
    } else {
        TMatchCount count = finder_.MatchCount(core_.FocusedRow());
        if (count.Index > 0)
            text = std::to_string(count.Index) + " of " + std::to_string(count.Total) +
                   MatchesText(count.Total);
        else if (count.Total == 0 && !finder_.Busy())
            text = "No matches";
        else
            text = std::to_string(count.Total) + MatchesText(count.Total);
        if (finder_.Busy())
            text += " (searching, " + std::to_string(int(finder_.Progress() * 100)) + "%)";
        if (!findNote_.empty() && findNote_ != "No matches") text += " - " + findNote_;
    }
    FindBar.SetStatus(text);
}

// --- Rules ---

void Tfme_Sections::LoadRules() {
    if (!context_.Registry) return;
    std::vector<std::string> notes;
    std::vector<TFindRule> rules = vx::LoadRules(*context_.Registry, core_.ClientID, notes);
    std::string error;
    if (!finder_.SetRules(rules, error)) {
        notes.push_back("Rules of client '" + core_.ClientID + "': " + error);
        finder_.SetRules({}, error);
    }
    if (context_.Host)
        for (const std::string& note : notes)
            context_.Host->LogNote(note);
    StartWork();
    core_.ShownRowsChanged();
}

bool Tfme_Sections::ApplyRules(const std::vector<TFindRule>& rules, std::string& error) {
    if (!finder_.SetRules(rules, error)) return false;
    if (context_.Registry && !SaveRules(*context_.Registry, core_.ClientID, rules) && context_.Host)
        context_.Host->LogNote("The rules of " + core_.ClientID + " could not be saved");
    StartWork();
    core_.ShownRowsChanged();
    return true;
}

void Tfme_Sections::EditRules() {
    if (!context_.RuleEditor) return;
    std::vector<TFindRule> rules = finder_.Rules();
    const std::string& caption = core_.Caption.empty() ? core_.ClientID : core_.Caption;
    // The dialog may be asked again after a bad rule, with the user's rules kept.
    while (context_.RuleEditor->EditRules(caption, rules)) {
        std::string error;
        if (ApplyRules(rules, error)) return;
        if (context_.Platform.Dialogs)
            context_.Platform.Dialogs->ShowError(error);
        else
            return;
    }
}

// --- Bookmarks ---

void Tfme_Sections::ToggleBookmark() {
    size_t row = core_.FocusedRow();
    if (row == TSectionCore::npos || !core_.IsShown(row)) return;
    finder_.ToggleBookmark(row);
    lst_Debug.InvalidateAll();
}

void Tfme_Sections::GoToBookmark(bool forward) {
    TFindHit hit = finder_.NextBookmark(core_.FocusedRow(), forward);
    if (hit.Row != TFindHit::npos) FocusFound(hit.Row);
}

// --- Time columns ---

void Tfme_Sections::SetTimeColumns(bool show) {
    if (show == timeColumns_) return;
    timeColumns_ = show;
    if (show) {
        for (const char* caption : kTimeCaptions)
            lst_Debug.AddColumn({caption, kTimeColumnWidth, LVCFMT_RIGHT, false});
    } else {
        while (lst_Debug.ColumnCount() > TDebugRowStore::kColumnCount)
            lst_Debug.RemoveLastColumn();
    }
    lst_Debug.InvalidateAll();
}

std::string Tfme_Sections::TimeCell(size_t row, int column) const {
    std::optional<int64_t> ms = column == TDebugRowStore::kColumnCount
                                    ? finder_.MsSincePrevious(row)
                                    : finder_.MsSinceFirst(row);
    return ms ? std::to_string(*ms) : std::string();
}

} // namespace vx
