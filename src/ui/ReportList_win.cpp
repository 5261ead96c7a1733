#include "ui/ReportList_win.h"

#include "ui/Dpi_win.h"

#include <algorithm>

namespace vx {

namespace {

// ListView_SetItemState is a block, not an expression.
void SetItemState(HWND list, int item, UINT state, UINT mask) {
    LVITEMA lvi{};
    lvi.stateMask = mask;
    lvi.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(item), reinterpret_cast<LPARAM>(&lvi));
}

} // namespace

bool TReportList::Create(ui::TWindow* parent, const TReportListStyle& s) {
    columns_ = s.Columns;
    stretch_ = s.StretchColumn;
    multiSelect_ = s.MultiSelect;
    // The rows never paint over the header: under Wine the top row, partly
    // scrolled under it, would otherwise cover it until the header repaints.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | LVS_REPORT |
                  LVS_OWNERDATA | LVS_SHOWSELALWAYS | (multiSelect_ ? 0 : LVS_SINGLESEL);
    if (!CreateControl(WC_LISTVIEWA, parent, style, WS_EX_CLIENTEDGE)) return false;
    if (s.DrawLater) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    DWORD extended = LVS_EX_FULLROWSELECT;
    if (s.HeaderDragDrop) extended |= LVS_EX_HEADERDRAGDROP;
    if (s.SubItemImages) extended |= LVS_EX_SUBITEMIMAGES;
    ListView_SetExtendedListViewStyle(Handle(), extended);
    // The first column of a list view is always left-aligned; one that was
    // inserted second and moved to the front by deleting a dummy keeps its
    // alignment.
    const bool dummy = !columns_.empty() && columns_[0].Format != LVCFMT_LEFT;
    if (dummy) {
        LVCOLUMNA c{};
        c.mask = LVCF_WIDTH;
        SendMessageA(Handle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&c));
    }
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.fmt = columns_[i].Format;
        c.cx = columns_[i].Width;
        c.pszText = const_cast<char*>(columns_[i].Caption.c_str());
        SendMessageA(Handle(), LVM_INSERTCOLUMNA, i + (dummy ? 1 : 0),
                     reinterpret_cast<LPARAM>(&c));
    }
    if (dummy) SendMessageA(Handle(), LVM_DELETECOLUMN, 0, 0);
    HWND header = ListView_GetHeader(Handle());
    if (header) {
        if (header_.Handle() != header) {
            header_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
                return HeaderMessage(msg, wParam, lParam);
            };
            header_.Adopt(header, typeid(*this));
        }
        // Makes the list lay its header out again at the fixed height.
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    return true;
}

LRESULT TReportList::HeaderMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == HDM_LAYOUT) {
        auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
        int top = layout->prc->top;
        LRESULT r = header_.Default(msg, wParam, lParam);
        // The fixed height of the 96 layout at the list's pixels per inch.
        const int height = ui::Scale(kHeaderHeight, ui::WindowDpi(Handle()));
        layout->pwpos->cy = height;
        layout->prc->top = top + height;
        return r;
    }
    return header_.Default(msg, wParam, lParam);
}

void TReportList::RescaleColumns(UINT from, UINT to) {
    for (int i = 0; i < int(columns_.size()); ++i) {
        columns_[size_t(i)].Width = ui::Rescale(columns_[size_t(i)].Width, from, to);
        if (i != stretch_)
            SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, i, ui::Rescale(ColumnWidth(i), from, to));
    }
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    StretchColumn();
}

int TReportList::Count() const {
    return int(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

void TReportList::SetCount(size_t count) {
    const int before = Count();
    SendMessageA(Handle(), LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    // Rows that came, went or moved leave a selection of several pointing at
    // the wrong rows.
    if (int(count) != before) KeepOneSelected();
}

int TReportList::FocusedItem() const {
    return int(SendMessageA(Handle(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
}

int TReportList::SelectedItem() const {
    return int(SendMessageA(Handle(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void TReportList::SetCurrentItem(int item, bool scroll) {
    const int count = Count();
    if (item >= count) item = -1;
    syncing_ = true;
    const UINT both = LVIS_FOCUSED | LVIS_SELECTED;
    if (current_ != item) {
        if (multiSelect_ && SelectedCount() > 1)
            SetAllSelected(false);
        else if (current_ >= 0 && current_ < count)
            SetItemState(Handle(), current_, 0, both);
        current_ = item;
        if (item >= 0) SetItemState(Handle(), item, both, both);
    } else if (item >= 0 &&
               (!(ListView_GetItemState(Handle(), item, LVIS_FOCUSED) & LVIS_FOCUSED) ||
                SelectedCount() == 0)) {
        // The list lost its own state of the item (its count changed).
        SetItemState(Handle(), item, both, both);
    }
    if (item >= 0 && scroll) ListView_EnsureVisible(Handle(), item, FALSE);
    syncing_ = false;
}

bool TReportList::IsSelected(int item) const {
    return (ListView_GetItemState(Handle(), item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int TReportList::SelectedCount() const {
    return int(SendMessageA(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
}

std::vector<int> TReportList::SelectedItems() const {
    std::vector<int> items;
    const int count = Count();
    if (count > 0 && SelectedCount() == count) { // Ctrl+A: no walk through a long list
        items.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            items[size_t(i)] = i;
        return items;
    }
    const int focused = FocusedItem();
    bool focusedIn = focused < 0;
    for (int i = SelectedItem(); i >= 0;
         i = int(SendMessageA(Handle(), LVM_GETNEXTITEM, WPARAM(i), LVNI_SELECTED))) {
        if (!items.empty() && i <= items.back()) break; // a list that wraps around
        if (!focusedIn && focused < i) {
            items.push_back(focused);
            focusedIn = true;
        }
        focusedIn = focusedIn || i == focused;
        items.push_back(i);
    }
    if (!focusedIn) items.push_back(focused);
    return items;
}

void TReportList::SetAllSelected(bool selected) {
    // Some list views invalidate every item they select, each a trip to the
    // window server; with redrawing off they do not.
    const bool redraw = redraw_;
    if (redraw) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SetItemState(Handle(), -1, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    if (redraw) SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateAll();
}

void TReportList::SelectAll() {
    if (!multiSelect_ || Count() == 0) return;
    syncing_ = true;
    SetAllSelected(true);
    syncing_ = false;
}

void TReportList::KeepOneSelected() {
    if (!multiSelect_ || SelectedCount() <= 1) return;
    syncing_ = true;
    SetAllSelected(false);
    if (current_ >= 0 && current_ < Count())
        SetItemState(Handle(), current_, LVIS_SELECTED, LVIS_SELECTED);
    syncing_ = false;
}

void TReportList::InvalidateAll() {
    // The rows only: the header does not change with them, and under Wine's
    // default theme each header item repaints as a dozen blits, each asking
    // the server for the display settings.
    if (Handle()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
}

void TReportList::SetVisibleStyle(bool visible) {
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    restyling_ = true;
    SetWindowLongPtrA(Handle(), GWL_STYLE, visible ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE));
    restyling_ = false;
}

void TReportList::HoldDrawing() {
    if (held_++ > 0 || !Handle()) return;
    heldVisible_ = IsWindowVisible(Handle()) != FALSE;
    if (!heldVisible_) return;
    HWND header = ListView_GetHeader(Handle());
    if (!header || !GetWindowRect(header, &heldHeader_)) heldHeader_ = {};
    GetClientRect(Handle(), &heldClient_);
    heldCount_ = Count();
    SetVisibleStyle(false);
}

void TReportList::ReleaseDrawing(bool repaint) {
    if (held_ == 0 || --held_ > 0 || !heldVisible_) return;
    heldVisible_ = false;
    if (!Handle()) return;
    SetVisibleStyle(true);
    // A header that moved or a client area of another size (a scroll bar came
    // or went) was laid out unseen: the header repaints with the rows.
    RECT header{}, client{};
    HWND h = ListView_GetHeader(Handle());
    if (!h || !GetWindowRect(h, &header)) header = {};
    GetClientRect(Handle(), &client);
    movedUnseen_ =
        movedUnseen_ || !EqualRect(&header, &heldHeader_) || !EqualRect(&client, &heldClient_);
    // Rows that went leave their place to the background, which the rows'
    // own paint does not fill.
    shrunkUnseen_ = shrunkUnseen_ || Count() < heldCount_;
    if (!repaint) return;
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | (shrunkUnseen_ ? RDW_ERASE : 0) |
                     (movedUnseen_ ? RDW_ALLCHILDREN : RDW_NOCHILDREN));
    movedUnseen_ = shrunkUnseen_ = false;
}

int TReportList::ColumnWidth(int column) const {
    return int(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, column, 0));
}

void TReportList::AddColumn(const TListColumn& column) {
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = column.Format;
    c.cx = column.Width;
    c.pszText = const_cast<char*>(column.Caption.c_str());
    SendMessageA(Handle(), LVM_INSERTCOLUMNA, columns_.size(), reinterpret_cast<LPARAM>(&c));
    columns_.push_back(column);
    StretchColumn();
}

void TReportList::RemoveLastColumn() {
    if (columns_.empty() || int(columns_.size()) - 1 == stretch_) return;
    SendMessageA(Handle(), LVM_DELETECOLUMN, columns_.size() - 1, 0);
    columns_.pop_back();
    StretchColumn();
}

void TReportList::SetRedraw(bool on) {
    if (!Handle()) return;
    SendMessageA(Handle(), WM_SETREDRAW, on, 0);
    if (!on) return;
    // The system's own handling hides a list from layout while it is off.
    if (!(GetWindowLongA(Handle(), GWL_STYLE) & WS_VISIBLE)) ShowWindow(Handle(), SW_SHOWNA);
    if (Parent()) Parent()->Realign();
    StretchColumn();
}

void TReportList::StretchColumn() {
    if (stretch_ < 0 || stretch_ >= int(columns_.size())) return;
    RECT r;
    GetClientRect(Handle(), &r);
    int others = 0;
    for (int i = 0; i < int(columns_.size()); ++i)
        if (i != stretch_) others += ColumnWidth(i);
    int width = std::max(40, int(r.right - r.left) - others);
    if (width != ColumnWidth(stretch_)) SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, stretch_, width);
}

void TReportList::GetDispInfo(NMLVDISPINFOA& info) {
    LVITEMA& item = info.item;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        text_ = OnGetText ? OnGetText(item.iItem, item.iSubItem) : std::string();
        lstrcpynA(item.pszText, text_.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = OnGetImage ? OnGetImage(item.iItem, item.iSubItem) : -1;
}

void TReportList::GetDispInfoW(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        text_ = OnGetText ? OnGetText(item.iItem, item.iSubItem) : std::string();
        int n = MultiByteToWideChar(CP_ACP, 0, text_.c_str(), int(text_.size()), item.pszText,
                                    item.cchTextMax - 1);
        item.pszText[std::max(0, n)] = L'\0';
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = OnGetImage ? OnGetImage(item.iItem, item.iSubItem) : -1;
}

bool TReportList::OnNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case LVN_GETDISPINFOA:
        GetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(header));
        return true;
    case LVN_GETDISPINFOW:
        GetDispInfoW(*reinterpret_cast<NMLVDISPINFOW*>(header));
        return true;
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE) || change->iItem < 0) return false;
        bool focusNow = (change->uNewState & LVIS_FOCUSED) && !(change->uOldState & LVIS_FOCUSED);
        if (focusNow) current_ = change->iItem;
        if (syncing_) return false;
        bool selectNow =
            (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
        if (focusNow && OnFocusChanged) OnFocusChanged(change->iItem);
        if (selectNow && OnSelectChanged) OnSelectChanged(change->iItem);
        return false;
    }
    case NM_DBLCLK:
        if (OnDblClick) OnDblClick(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
        return true;
    case NM_CUSTOMDRAW:
        if (!OnCustomDraw) return false;
        result = OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        return true;
    }
    return false;
}

bool TReportList::HeaderNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: {
        int column = reinterpret_cast<NMHEADERA*>(header)->iItem;
        if (column >= 0 && column < int(columns_.size()) && columns_[column].Fixed) {
            result = TRUE; // fixed columns keep their width
            return true;
        }
        return false;
    }
    }
    return false;
}

LRESULT TReportList::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Typing searches the list; a key OnKey takes does not. System keys (F10,
    // Alt with a letter) come as WM_SYSKEYDOWN and go on to the menu bar.
    if (keys_.Take(OnKey, msg, wParam)) return 0;
    switch (msg) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (header->hwndFrom == ListView_GetHeader(Handle()) && HeaderNotify(header, result))
            return result;
        break;
    }
    case WM_SIZE: {
        LRESULT r = Default(msg, wParam, lParam);
        StretchColumn();
        if (OnResize) OnResize(*this);
        return r;
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_GETDLGCODE:
        // Enter and the other command keys belong to the list, not to a dialog.
        return Default(msg, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_SETREDRAW:
        redraw_ = wParam != 0;
        break;
    case WM_PAINT: {
        LARGE_INTEGER start, end, frequency;
        QueryPerformanceCounter(&start);
        const LRESULT r = TWindow::WndProc(msg, wParam, lParam);
        QueryPerformanceCounter(&end);
        QueryPerformanceFrequency(&frequency);
        lastPaintMs_ = double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
        return r;
    }
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        // The list view would lay itself out again and repaint.
        if (restyling_) return 0;
        break;
    case WM_CONTEXTMENU:
        if (lParam == -1 && OnContextMenu) {
            // From the keyboard: under the focused item, else the top-left corner.
            POINT pt{2, 2};
            RECT r{LVIR_BOUNDS, 0, 0, 0};
            int item = FocusedItem();
            if (item >= 0 && SendMessageA(Handle(), LVM_GETITEMRECT, WPARAM(item),
                                          reinterpret_cast<LPARAM>(&r))) {
                RECT client;
                GetClientRect(Handle(), &client);
                if (r.bottom > client.top && r.top < client.bottom) pt = {r.left + 24, r.bottom};
            }
            ClientToScreen(Handle(), &pt);
            OnContextMenu(*this, pt);
            return 0;
        }
        break;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx
