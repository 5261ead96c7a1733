// Tfme_Sections: bringing the windows up to date with the core, and painting
// the debug list's rows.
#include "sections/frame_Sections_win.h"

#include "sections/form_Viewer_win.h"
#include "ui/ImageStrip_win.h"
#include "ui/Scoped_win.h"

#include <algorithm>
#include <optional>

namespace vx {

namespace {

// What the windows show of the rows, details, labels and lists is brought up
// to date at most every kUpdateInterval ms; a flood of records costs one
// update per period. Under Wine an update of a long list (item count, focus,
// scroll bar) and the repaint after it take milliseconds on a busy machine,
// so the period stretches to kUpdateCostFactor times what the last update
// and the list's whole last WM_PAINT (frame and scroll bar included) cost:
// the screen never takes more than about a fortieth of the time the records
// need (measured on this thread; the server works for it about as long again).
constexpr DWORD kUpdateInterval = 200;
constexpr DWORD kLongestInterval = 1000;
constexpr double kUpdateCostFactor = 40;
constexpr UINT_PTR kUpdateTimer = 1;
// The last changes of a flood show this long after it.
constexpr DWORD kQuietMs = 50;
// A section that another one covers shows nothing of its updates; during a
// flood into it they come at most this often (the last ones still show
// kQuietMs after it), and at once when it comes to the front. Whether it is
// covered is asked of the system at most every kCoveredCheckMs.
constexpr DWORD kCoveredInterval = 2000;
constexpr DWORD kCoveredCheckMs = 100;
// When a change last came to any section. A covered section's own texts
// pause whenever another sender's turn comes, so its last changes wait until
// nothing came anywhere for kQuietMs: during a flood from several programs
// each pause made every covered section update its hidden list.
DWORD lastChangeAnywhere = 0;

double Milliseconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}
constexpr unsigned kContent =
    scRows | scFocus | scDetails | scLabels | scRepaint | scBillboard | scInfoPad;

int ItemOf(size_t visible) {
    return visible == TSectionCore::npos ? -1 : int(visible);
}

constexpr TColor kFindMatchColor = 0x80E0FF; // light orange behind a match
constexpr TColor kFindFrameColor = 0x0080FF; // orange frame round a match
constexpr TColor kBookmarkColor = 0xA00000;  // dark blue

} // namespace

void Tfme_Sections::Changed(unsigned changes) {
    if (changes & scPanels) UpdatePanels();
    if (changes & scGroupsGlyph) btn_Groups.SetImageIndex(core_.GroupsGlyph());
    if (changes & scPause) btn_Pause.SetDown(core_.Paused);
    if (changes & (scVisible | scToFront)) {
        UpdateVisible((changes & scToFront) != 0);
        coveredKnown_ = false; // asked again: a section now in front shows its rows at once
    }
    pending_ |= changes & kContent;
    if (!pending_) return;
    lastChange_ = lastChangeAnywhere = GetTickCount();
    // When due, the update comes with the next message: records arrive in
    // slices, and it runs between two of them. A timer alone would not do:
    // during a flood the queue is never empty, and WM_TIMER comes only when
    // it is.
    // A client that has stopped shows at once with all it sent, or kQuietMs
    // after the last update when that was only just made: one that comes and
    // goes in a flood is paced like its rows.
    if (changes & scRecordsEnded) stopped_ = true;
    const bool ended = stopped_ && lastChange_ - lastUpdate_ >= kQuietMs;
    if (ended || lastChange_ - lastUpdate_ >= Interval()) {
        if (!updatePosted_) updatePosted_ = PostMessageA(Handle(), kUpdateMessage, 0, 0) != FALSE;
    } else if (!updateTimer_) {
        SetTimer(Handle(), kUpdateTimer, kQuietMs, nullptr);
        updateTimer_ = true;
    }
}

// The timer comes back every kQuietMs while changes wait: once no change has
// come for that long (a flood has stopped), or the period is over, they show.
// Interval() is asked first: it finds out whether the section is covered.
void Tfme_Sections::UpdateTimer() {
    const DWORD now = GetTickCount();
    const DWORD interval = Interval();
    const DWORD quietSince = covered_ ? lastChangeAnywhere : lastChange_;
    if (now - quietSince >= kQuietMs || now - lastUpdate_ >= interval ||
        (stopped_ && now - lastUpdate_ >= kQuietMs))
        UpdateStep();
}

DWORD Tfme_Sections::Interval() {
    return Covered() ? std::max(interval_, kCoveredInterval) : interval_;
}

bool Tfme_Sections::Covered() {
    const DWORD now = GetTickCount();
    if (coveredKnown_ && now - coveredAt_ < kCoveredCheckMs) return covered_;
    coveredKnown_ = true;
    coveredAt_ = now;
    covered_ = false;
    if (!IsWindowVisible(Handle())) return covered_; // hidden: nothing to pace
    RECT mine;
    GetWindowRect(Handle(), &mine);
    // A visible sibling above it (a section shown later) that takes its whole place.
    for (HWND w = GetWindow(Handle(), GW_HWNDPREV); w && !covered_; w = GetWindow(w, GW_HWNDPREV)) {
        RECT r;
        covered_ = IsWindowVisible(w) && GetWindowRect(w, &r) && r.left <= mine.left &&
                   r.top <= mine.top && r.right >= mine.right && r.bottom >= mine.bottom;
    }
    return covered_;
}

void Tfme_Sections::PaceUpdates(double updateCost) {
    double cost = updateCost + lst_Debug.LastPaintMs();
    interval_ = DWORD(
        std::clamp(cost * kUpdateCostFactor, double(kUpdateInterval), double(kLongestInterval)));
}

void Tfme_Sections::UpdateNow() {
    if (updateTimer_) KillTimer(Handle(), kUpdateTimer);
    updateTimer_ = false;
    unsigned changes = pending_;
    pending_ = 0;
    countStepDone_ = false;
    stopped_ = false;
    lastUpdate_ = GetTickCount();
    const double start = Milliseconds();
    if (changes & (scRows | scFocus)) {
        // New rows: the count, focus and scroll position change unseen, and
        // the list repaints once with its scroll bar (see HoldDrawing).
        std::optional<TReportList::THold> hold;
        if (changes & scRows) hold.emplace(lst_Debug);
        HWND list = lst_Debug.Handle();
        if (changes & scRows) UpdateRowCount();
        UpdateFocus();
        size_t row = core_.FocusedRow();
        int item = row == TSectionCore::npos ? -1 : ItemOf(core_.VisibleOfRow(row));
        if (item >= 0) ListView_EnsureVisible(list, item, FALSE);
    }
    if (changes & scDetails) UpdateDetails();
    if (changes & scLabels) UpdateLabels();
    if (changes & scBillboard) UpdateBillboard();
    if (changes & scInfoPad) UpdateInfoPad();
    // New rows repainted the list when its hold ended.
    if ((changes & scRepaint) && !(changes & scRows)) lst_Debug.InvalidateAll();
    if (changes & (scRows | scFocus)) UpdateFindStatus();
    if (changes & scRows) WorkLater();
    PaceUpdates(Milliseconds() - start);
}

// A due update in two steps, each a message of its own: the new item count,
// then the rest, so that others get their answers in between (under Wine a
// step costs the window several milliseconds on a busy machine).
void Tfme_Sections::UpdateStep() {
    // The second step comes even when more rows came meanwhile: a count set
    // again on every turn would keep the update from ever being done.
    if (!countStepDone_ && (pending_ & scRows) &&
        size_t(lst_Debug.Count()) != core_.VisibleCount()) {
        {
            // The second step repaints the list.
            TReportList::THold hold(lst_Debug);
            hold.SkipRepaint();
            UpdateRowCount();
        }
        updatePosted_ = PostMessageA(Handle(), kUpdateMessage, 0, 0) != FALSE;
        countStepDone_ = updatePosted_;
        if (updatePosted_) return;
    }
    UpdateNow();
}

void Tfme_Sections::UpdateRowCount() {
    // An unchanged count is not set again: that too would move the scroll bar.
    if (size_t(lst_Debug.Count()) != core_.VisibleCount()) lst_Debug.SetCount(core_.VisibleCount());
}

void Tfme_Sections::UpdateFocus() {
    size_t row = core_.FocusedRow();
    lst_Debug.SetCurrentItem(row == TSectionCore::npos ? -1 : ItemOf(core_.VisibleOfRow(row)),
                             false);
}

void Tfme_Sections::UpdateDetails() {
    const TSectionDetails& d = core_.Details();
    if (Memo_Data.Handle() && d.Data != memoText_) { // not before the data panel is made
        memoText_ = d.Data;
        SetWindowTextA(Memo_Data.Handle(), ToEditLineBreaks(memoText_).c_str());
    }
    Edit_UnitName.SetText(d.UnitName);
    Edit_Procedure.SetText(d.Procedure);
    Edit_LineNumber.SetText(d.LineNumber);
}

void Tfme_Sections::UpdateLabels() {
    const TSectionLabels& l = core_.Labels();
    lbl_ID.SetCaption(l.ID);
    lbl_Application.SetCaption(l.Application);
    lbl_DebugLevel.SetCaption(l.DebugLevel);
    lbl_Disconnected.SetCaption(l.Connection);
    lbl_Disconnected.SetColor(l.ConnectionColor);
    btn_Delete.SetEnabled(l.DeleteEnabled);
    Panel_InfoResize();
}

void Tfme_Sections::UpdateBillboard() {
    const TBillboard& b = core_.Billboard();
    lst_Messages.SetCount(b.Count());
    lst_Messages.SetCurrentItem(b.Selected() == TBillboard::npos ? -1 : int(b.Selected()), true);
    lst_Messages.InvalidateAll();
}

void Tfme_Sections::UpdateInfoPad() {
    TLabel* labels[] = {&lbl_Info_1, &lbl_Info_2, &lbl_Info_3};
    TEditBox* edits[] = {&Edit_Info_1, &Edit_Info_2, &Edit_Info_3};
    for (int i = 0; i < TInfoPad::kLines; ++i) {
        const TInfoLine& line = core_.InfoPad().Line(i + 1);
        labels[i]->SetCaption(line.Caption);
        edits[i]->SetText(line.Value);
    }
}

void Tfme_Sections::UpdatePanels() {
    const TPanelLayout& l = core_.Layout();
    btn_ShowData.SetDown(l.ShowDataDown);
    btn_ShowMessage.SetDown(l.ShowMessageDown);
    btn_ShowInfoPad.SetDown(l.ShowInfoPadDown);
    // Sizes first, then one layout pass per container.
    auto resize = [](ui::TWindow& w, int width, int height) {
        RECT r = w.Bounds();
        SetWindowPos(w.Handle(), nullptr, r.left, r.top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    resize(Panel_Data_Base, l.DataWidth, Panel_Data_Base.Height());
    resize(Panel_Memo_Base, Panel_Memo_Base.Width(), l.MemoHeight);
    resize(Panel_InfoPad, Panel_InfoPad.Width(), l.InfoPadHeight);
    ShowWindow(Splitter_2.Handle(), l.DataSplitterVisible ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Splitter_1.Handle(), l.MemoSplitterVisible ? SW_SHOWNA : SW_HIDE);
    Panel_WorkArea.Realign();
    Panel_List.Realign();
}

void Tfme_Sections::UpdateVisible(bool toFront) {
    bool visible = core_.Visible();
    // A frame still being made shows once it is whole: windows made and laid
    // out inside a shown frame cost Wine many times more (each move repaints).
    if (!Built()) {
        showToFront_ = showToFront_ || toFront;
        return;
    }
    if (visible && (toFront || !Visible())) {
        // A section that is shown comes in front of its siblings: showing it
        // underneath another section would leave it out of sight. Shown and
        // raised in one move: each move of a frame makes the system work out
        // again what every one of its windows and its siblings' can show.
        // The move draws nothing: shown at once, Wine erased and framed every
        // one of the frame's windows inside it (30 to 60 ms in one message
        // while senders kept the server busy); invalidated, each paints in a
        // WM_PAINT of its own and the window answers others in between.
        // A frame in front already has nothing to draw.
        const bool shown = Visible();
        const bool inFront = shown && !GetWindow(Handle(), GW_HWNDPREV);
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOREDRAW);
        if (!shown && Parent()) Parent()->Realign();
        if (!inFront)
            RedrawWindow(Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (!visible && Visible()) {
        SetVisible(false);
    }
}

void Tfme_Sections::Panel_InfoResize() {
    TLabelPlacement p = PlaceConnectionLabel(Panel_Info.Width(), lbl_Disconnected.Width(),
                                             lbl_Application.Width(), S(10));
    int top = (Panel_Info.Height() - lbl_Disconnected.Height()) / 2;
    SetWindowPos(lbl_Disconnected.Handle(), nullptr, p.Left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    lbl_Disconnected.SetVisible(p.Visible);
}

void Tfme_Sections::Panel_InfoPadResize() {
    int width = InfoEditWidth(Panel_InfoPad.Width(), S(100));
    for (TEditBox* e : {&Edit_Info_1, &Edit_Info_2, &Edit_Info_3}) {
        RECT r = e->Bounds();
        SetWindowPos(e->Handle(), nullptr, 0, 0, width > 0 ? width : 0, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT Tfme_Sections::lst_DebugCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        PaintDebugRow(draw.nmcd.hdc, int(draw.nmcd.dwItemSpec));
        return CDRF_SKIPDEFAULT;
    }
    return CDRF_DODEFAULT;
}

LRESULT Tfme_Sections::lst_MessagesCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        PaintMessageRow(draw.nmcd.hdc, int(draw.nmcd.dwItemSpec));
        return CDRF_SKIPDEFAULT;
    }
    return CDRF_DODEFAULT;
}

// A billboard line: its ID centred in the first column (which a list view
// would always draw left-aligned), its message in the second.
void Tfme_Sections::PaintMessageRow(HDC dc, int item) {
    const TBillboard& b = core_.Billboard();
    if (item < 0 || size_t(item) >= b.Count()) return;
    HWND list = lst_Messages.Handle();
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    if (!SendMessageA(list, LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&bounds)))
        return;
    const bool active = GetFocus() == list;
    const bool selected = size_t(item) == b.Selected() || lst_Messages.IsSelected(item);
    COLORREF back = GetSysColor(!selected ? COLOR_WINDOW
                                : active  ? COLOR_HIGHLIGHT
                                          : COLOR_BTNFACE);
    FillRect(dc, &bounds, ui::ScopedBrush(CreateSolidBrush(back)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected && active ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ui::ScopedSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    HWND header = ListView_GetHeader(list);
    const std::string& line = b.Line(size_t(item));
    for (int column = 0; column < 2; ++column) {
        RECT h{};
        if (!header || !Header_GetItemRect(header, column, &h)) continue;
        RECT cell{bounds.left + h.left + 4, bounds.top, bounds.left + h.right - 4, bounds.bottom};
        std::string_view text =
            column == 0 ? TBillboard::IdPart(line) : TBillboard::MessagePart(line);
        DrawTextA(dc, text.data(), int(text.size()), &cell,
                  (column == 0 ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                      DT_END_ELLIPSIS);
    }
    if (active && size_t(item) == b.Selected()) DrawFocusRect(dc, &bounds);
}

// The whole row is drawn here: separators as a line, other rows in their
// group colour (or the selection colours) with the two icons centred in
// their columns and the two texts.
void Tfme_Sections::PaintDebugRow(HDC dc, int item) {
    if (item < 0 || size_t(item) >= core_.VisibleCount()) return;
    const size_t row = core_.RowOfVisible(size_t(item));
    HWND list = lst_Debug.Handle();
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&bounds)))
        return;
    const TRowPaint sep = core_.lst_DebugBeforeItemPaint(row);
    if (sep.OwnerDrawn) {
        FillRect(dc, &bounds, ui::ScopedBrush(CreateSolidBrush(ui::ToColorRef(sep.Background))));
        ui::ScopedPen pen(CreatePen(PS_SOLID, 1, ui::ToColorRef(sep.Line)));
        ui::ScopedSelectObject select(dc, pen);
        int y = SeparatorLineY(bounds.top, bounds.bottom);
        MoveToEx(dc, bounds.left, y, nullptr);
        LineTo(dc, bounds.right, y);
        return;
    }
    const bool active = GetFocus() == list;
    const bool selected =
        row == core_.SelectedRow() || row == core_.FocusedRow() || lst_Debug.IsSelected(item);
    const bool match = finder_.IsMatch(row);
    COLORREF back = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    std::optional<THighlight> highlight = finder_.Highlight(row);
    if (selected) {
        back = GetSysColor(active ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        if (active) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (highlight) {
        back = ui::ToColorRef(highlight->BackColor);
        text = ui::ToColorRef(highlight->TextColor);
    } else if (match) {
        back = ui::ToColorRef(kFindMatchColor);
    } else if (auto fill = core_.SetCanvasColor(row)) {
        back = ui::ToColorRef(*fill);
    }
    FillRect(dc, &bounds, ui::ScopedBrush(CreateSolidBrush(back)));
    if (match) {
        // Matches keep a frame in the find colour when selected or highlighted.
        RECT frame = bounds;
        ui::ScopedBrush brush(CreateSolidBrush(ui::ToColorRef(kFindFrameColor)));
        FrameRect(dc, &frame, brush);
        InflateRect(&frame, -1, -1);
        FrameRect(dc, &frame, brush);
    }

    HWND header = ListView_GetHeader(list);
    ui::ScopedSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    const int columns = lst_Debug.ColumnCount();
    for (int column = 0; column < columns; ++column) {
        RECT h{};
        if (!header || !Header_GetItemRect(header, column, &h)) continue;
        RECT cell{bounds.left + h.left, bounds.top, bounds.left + h.right, bounds.bottom};
        if (column >= TDebugRowStore::kColumnCount) {
            std::string t = TimeCell(row, column);
            InflateRect(&cell, -S(4), 0);
            DrawTextA(dc, t.c_str(), int(t.size()), &cell,
                      DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            continue;
        }
        if (column == 0 && finder_.IsBookmarked(row)) {
            // The bookmark: a bar down the left of the group column.
            RECT mark{cell.left + 1, cell.top + S(2), cell.left + S(6), cell.bottom - S(2)};
            FillRect(dc, &mark, ui::ScopedBrush(CreateSolidBrush(ui::ToColorRef(kBookmarkColor))));
        }
        int image = core_.lst_DebugGetImageIndex(row, column);
        if (image >= 0 && art_->DebugImages) {
            int cx = 16, cy = 16;
            ImageList_GetIconSize(art_->DebugImages, &cx, &cy);
            int x = cell.left + (cell.right - cell.left - cx) / 2;
            int y = cell.top + (cell.bottom - cell.top - cy) / 2;
            if (!art_->DebugStrip || !art_->DebugStrip->Draw(dc, image, x, y))
                ImageList_Draw(art_->DebugImages, image, dc, x, y, ILD_TRANSPARENT);
        }
        std::string s = core_.lst_DebugGetText(row, column);
        if (!s.empty()) {
            InflateRect(&cell, -S(4), 0);
            DrawTextA(dc, s.c_str(), int(s.size()), &cell,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
    if (active && row == core_.FocusedRow()) DrawFocusRect(dc, &bounds);
}

LRESULT Tfme_Sections::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (msg == WM_TIMER && wParam == kUpdateTimer) {
        UpdateTimer();
        return 0;
    }
    if (msg == kBuildMessage) {
        BuildStep();
        if (built_ < bsDone && !PostMessageA(Handle(), kBuildMessage, 0, 0)) FinishBuild();
        return 0;
    }
    if (msg == kUpdateMessage) {
        updatePosted_ = false;
        if (pending_) UpdateStep();
        return 0;
    }
    if (msg == WM_TIMER && wParam == kWorkTimer) {
        WorkSlice();
        return 0;
    }
    if (MenuMessage(msg, wParam, lParam, result)) return result;
    return TPanel::WndProc(msg, wParam, lParam);
}

} // namespace vx
