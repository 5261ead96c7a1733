// A report-mode list view in owner-data mode whose rows come from callbacks.
#pragma once

#include "ui/Keys_win.h"
#include "ui/Window_win.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace vx {

struct TListColumn {
    std::string Caption;
    int Width = 50;
    int Format = LVCFMT_LEFT;
    bool Fixed = false; // the user cannot resize it
};

struct TReportListStyle {
    std::vector<TListColumn> Columns;
    int StretchColumn = -1;      // takes up the width that the others leave
    bool MultiSelect = false;    // Shift and Ctrl with clicks and arrows select several items
    bool HeaderDragDrop = false; // the user reorders the columns by their headers
    bool SubItemImages = false;  // every column may show an image, not only the first
    bool DrawLater = false;      // made with drawing off: its maker calls SetRedraw(true)
};

// A SysListView32 in report and owner-data mode: it holds no texts, only an
// item count, and asks OnGetText / OnGetImage for what it shows. One column
// may take up the width that the others leave.
class TReportList : public ui::TWindow {
  public:
    static constexpr int kHeaderHeight = 18; // at 96 pixels per inch

    bool Create(ui::TWindow* parent, const TReportListStyle& style);
    bool MultiSelect() const { return multiSelect_; }

    // Off while a list is built: the list then lays out its header and scroll
    // bars once, when it is turned on again, instead of at every column,
    // size and count (under Wine a header move is seven calls to the server).
    // The list is laid out in its parent again when it comes back on.
    void SetRedraw(bool on);

    int Count() const;
    // A new item count that keeps the scroll position and repaints nothing by
    // itself: appends during a flood cost no repaint each.
    void SetCount(size_t count);
    // The list's own focused and selected items (asked of the control).
    int FocusedItem() const;
    int SelectedItem() const;
    // Focuses and selects one item (-1: none), optionally scrolling it into
    // view; the list's notifications of this change are not passed on. Only
    // the previous item is touched, so this stays cheap in long lists. A move
    // to another item ends a selection of several; the item that is current
    // already keeps the selection the user made around it.
    void SetCurrentItem(int item, bool scroll);
    bool IsSelected(int item) const;
    int SelectedCount() const;
    // The selected items in order, with the focused item when the user took
    // it out of the selection: what the list shows as selected.
    std::vector<int> SelectedItems() const;
    void SelectAll();
    void InvalidateAll();
    // Count, focus and scroll position changed between HoldDrawing and
    // ReleaseDrawing draw nothing each: the list is left out of drawing as
    // the system's WM_SETREDRAW does for a plain window, by taking its visible
    // style off and putting it back unannounced. The list view's own redraw
    // switch still draws its scroll bar at every change, and under Wine each
    // draw of a themed scroll bar asks the server for the display settings
    // twenty times. ReleaseDrawing(true) repaints the rows and the frame once,
    // and the header when it moved; ReleaseDrawing(false) leaves that to a
    // repaint that follows. Holds nest; a hidden list is left alone. Inside a
    // hold the list counts as hidden (Visible(), a parent's Realign): nothing
    // done in a hold may show, hide or lay out the list.
    void HoldDrawing();
    void ReleaseDrawing(bool repaint);
    class THold {
      public:
        explicit THold(TReportList& list) : list_(list) { list_.HoldDrawing(); }
        ~THold() { list_.ReleaseDrawing(repaint_); }
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;
        void SkipRepaint() { repaint_ = false; }

      private:
        TReportList& list_;
        bool repaint_ = true;
    };
    // How long the list's last WM_PAINT took, in ms: its frame (the scroll
    // bar), background and rows.
    double LastPaintMs() const { return lastPaintMs_; }
    int ColumnWidth(int column) const;
    // Every column's width from one pixels per inch to another.
    void RescaleColumns(UINT from, UINT to);
    int ColumnCount() const { return int(columns_.size()); }
    // A column more at the end, or the last one less; the stretched column
    // takes up the difference.
    void AddColumn(const TListColumn& column);
    void RemoveLastColumn();

    std::function<std::string(int item, int column)> OnGetText;
    std::function<int(int item, int column)> OnGetImage;
    // The user moved the focus (keys or mouse) to an item.
    std::function<void(int item)> OnFocusChanged;
    std::function<void(int item)> OnSelectChanged;
    std::function<void(int item)> OnDblClick; // item -1: not on an item
    // A key pressed in the list, before the list handles it; true when taken.
    TKeyEvent OnKey;
    std::function<LRESULT(NMLVCUSTOMDRAW& draw)> OnCustomDraw;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;

  private:
    void GetDispInfo(NMLVDISPINFOA& info);
    void GetDispInfoW(NMLVDISPINFOW& info);
    void StretchColumn();
    void SetVisibleStyle(bool visible);
    void KeepOneSelected();
    void SetAllSelected(bool selected);
    bool HeaderNotify(NMHDR* header, LRESULT& result);
    // The header keeps the fixed height.
    LRESULT HeaderMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    std::vector<TListColumn> columns_;
    int stretch_ = -1;
    bool multiSelect_ = false;
    bool syncing_ = false;
    int current_ = -1; // the item that has the focus and the selection
    std::string text_; // the text of the last LVN_GETDISPINFO
    TKeyFilter keys_;
    bool redraw_ = true;       // WM_SETREDRAW as last sent
    int held_ = 0;             // HoldDrawing calls not yet released
    bool heldVisible_ = false; // the outermost hold took the visible style off
    bool restyling_ = false;   // the hold's own style change is not announced
    RECT heldHeader_{};        // the header's place when the hold began
    RECT heldClient_{};
    bool movedUnseen_ = false;  // a hold released without repaint moved the header
    bool shrunkUnseen_ = false; // ... or took rows away
    int heldCount_ = 0;
    double lastPaintMs_ = 0;
    ui::TOwnedWindow header_;
};

} // namespace vx
