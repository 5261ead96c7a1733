// Tfme_Sections: one client's section frame on screen, around the portable
// TSectionCore that decides everything it shows.
//
//   auto frame = std::make_unique<Tfme_Sections>(dockPanelHandle, context);
//   frame->Core().ClientID = id; ... frame->Core().ShowSection();
//
// The frame fills its dock panel. The debug list is an owner-data list view
// whose rows are painted here from the core (icons, group colours, separator
// lines); the billboard is a two-column owner-data list; menus, tool buttons,
// keys and double-clicks call the core's handlers, and the core's change
// notices bring the windows up to date.
#pragma once

#include "find/SectionFinder.h"
#include "sections/FindBar_win.h"
#include "sections/SectionArt_win.h"
#include "sections/SectionCore.h"
#include "sections/SectionExport.h"
#include "ui/EditBox_win.h"
#include "ui/Label_win.h"
#include "ui/ReportList_win.h"
#include "ui/SpeedButton_win.h"
#include "ui/Menu_win.h"
#include "ui/Panel_win.h"
#include "ui/Splitter_win.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace vx {

class Tfme_Sections : public ui::TPanel {
  public:
    // parent: the dock panel the frame fills (a window of the widget layer,
    // or any window).
    Tfme_Sections(HWND parent, const TSectionContext& context);
    // The main window's pixels per inch changed (WM_DPICHANGED): the windows
    // were scaled with it; the frame makes its fonts, pictures, row height
    // and column widths for the new pixels per inch and lays itself out again.
    void ChangeDpi(UINT dpi);
    UINT Dpi() const { return dpi_; }
    // The constructor makes the list that takes the rows; the other parts
    // come in steps, one a message (see BuildStep). This makes the rest now.
    void FinishBuild();
    bool Built() const { return built_ == bsDone; }
    static constexpr UINT kBuildMessage = WM_APP + 2; // the next step, posted to the frame
    ~Tfme_Sections() override;
    Tfme_Sections(const Tfme_Sections&) = delete;
    Tfme_Sections& operator=(const Tfme_Sections&) = delete;

    TSectionCore& Core() { return core_; }
    const TSectionCore& Core() const { return core_; }

    // The rows, details, labels, billboard and info pad follow the core at
    // most every 200 ms, so a flood of records costs no list-view work and no
    // painting per record; panels and visibility follow at once. UpdateNow
    // brings everything up to date immediately.
    void UpdateNow();
    bool UpdatePending() const { return pending_ != 0; }

    // The export components of the billboard and of the debug list; their
    // format dialog and progress window belong to the main window.
    TSectionExports Exports;
    // The hint of a menu entry under the mouse, for the status bar.
    std::function<void(const std::string& hint)> OnHint;
    // "Save section as..." in the debug list's menu: the main window asks
    // where and writes the session file.
    std::function<void(Tfme_Sections& sender)> OnSaveSession;

    // The parts that Tab and Shift+Tab visit, in order: the find text, the debug list, the
    // source fields, the data text, the info pad and the billboard, as far as
    // they are shown.
    std::vector<HWND> TabStops() const;
    // Moves the focus to the next (or previous) part after `from`.
    void FocusNext(HWND from, bool back);
    // The selected rows (or billboard lines) on the clipboard as text.
    void CopyDebugRows();
    void CopyMessageLines();

    // --- Find, rules, bookmarks and time columns (frame_SectionsFind_win.cpp) ---
    TSectionFinder& Finder() { return finder_; }
    // Ctrl+F: shows the find bar and puts the focus in its text.
    void ShowFindBar();
    // Esc in the bar: hides it, ends find and gives the focus back to the list.
    void CloseFindBar();
    // Enter / F3 (forward) and Shift+Enter / Shift+F3: the next or previous match.
    void FindStep(bool forward);
    // Reads the client's saved rules (on connecting).
    void LoadRules();
    // "Rules...": lets the user edit the rules and applies and saves them.
    void EditRules();
    // Applies rules as if the user had chosen them; false with the error for a bad one.
    bool ApplyRules(const std::vector<TFindRule>& rules, std::string& error);
    void ToggleBookmark();
    void GoToBookmark(bool forward);
    void SetTimeColumns(bool show);
    bool TimeColumns() const { return timeColumns_; }
    // Runs find and the rules to the end at once (tests).
    void FinishWork();

    // --- The frame's parts, named as on the form ---
    ui::TPanel panel_tools;
    TSpeedButton btn_Close, btn_Delete, btn_ShowMessage, btn_ShowData, btn_ShowInfoPad,
        btn_ShowViewer, btn_Pause, btn_Groups;
    ui::TPanel Panel_Info;
    TLabel lbl_ID, lbl_Application, lbl_DebugLevel, lbl_Disconnected;
    ui::TPanel Panel_WorkArea;
    ui::TPanel Panel_Memo_Base, Panel_MemoCaption;
    TReportList lst_Messages;
    ui::TSplitter Splitter_1;
    ui::TPanel Panel_Data_Base, Panel_DataCaption;
    TEditBox Memo_Data;
    ui::TSplitter Splitter_2;
    ui::TPanel Panel_List_Base, Panel_ListCaption, Panel_List;
    TReportList lst_Debug;
    ui::TPanel Panel_MapInfo;
    TLabel lbl_UnitName, lbl_Procedure, lbl_LineNumber;
    TEditBox Edit_UnitName, Edit_Procedure, Edit_LineNumber;
    ui::TPanel Panel_InfoPad, Panel_InfoPadCaption;
    TLabel lbl_Info_1, lbl_Info_2, lbl_Info_3;
    TEditBox Edit_Info_1, Edit_Info_2, Edit_Info_3;
    ui::TPopupMenu PopupMenu_1, PopupMenu_2, PopupMenu_3, Popup_Groups;
    TFindBar FindBar;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    // Building (frame_Sections_win.cpp), in steps after the constructor.
    // bsLayout fits the hidden parts to the frame; bsShow fits the frame to
    // its dock and, once it is taken (built_ is bsDone), the frame shows.
    enum TBuildStep {
        bsTools,
        bsInfo,
        bsBillboard,
        bsData,
        bsInfoPad,
        bsMapInfo,
        bsLayout,
        bsShow,
        bsDone
    };
    int built_ = bsTools;      // the next step to take
    bool showToFront_ = false; // shown in front of the others once built
    void BuildStep();
    void BuildPart(int step);
    void CreateBillboard();
    void CreateDataPanel();
    void FitToParent();
    void AddToolTip(TSpeedButton& tool);
    void CreateCaption(ui::TPanel& caption, ui::TWindow& parent, const char* text);
    void CreateTools();
    void CreateInfo();
    void CreateWorkArea();
    void CreateListArea();
    void CreateInfoPad();
    void CreateMapInfo();
    // A measure of the 96-pixels-per-inch layout at the frame's.
    int S(int px) const;
    void MakeFonts();
    HFONT GuiFont() const; // the labels' and fields' font at the frame's pixels per inch
    void SetDebugRowHeight();
    void FitTimeColumn();

    // Keeping the windows up to date (frame_SectionsView_win.cpp).
    void Changed(unsigned changes);
    void UpdateRowCount();
    void UpdateFocus();
    void UpdateDetails();
    void UpdateLabels();
    void UpdateBillboard();
    void UpdateInfoPad();
    void UpdatePanels();
    void UpdateVisible(bool toFront);
    void PaceUpdates(double updateCost);
    void UpdateTimer();
    DWORD Interval(); // between two updates: longer while another section covers this one
    bool Covered();
    void UpdateStep();
    void Panel_InfoResize();
    void Panel_InfoPadResize();
    void Panel_MapInfoResize();
    LRESULT lst_DebugCustomDraw(NMLVCUSTOMDRAW& draw);
    void PaintDebugRow(HDC dc, int item);
    LRESULT lst_MessagesCustomDraw(NMLVCUSTOMDRAW& draw);
    void PaintMessageRow(HDC dc, int item);

    // Menus and keys (frame_SectionsMenus_win.cpp).
    void CreateMenus();
    void PopupMenu_1Popup();
    void PopupMenu_3Popup();
    void AddGroupPictures(HMENU menu);
    void ShowPopup(ui::TPopupMenu& menu, POINT screen);
    void btn_GroupsDropDown();
    bool MenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool lst_DebugKey(WORD key, unsigned modifiers);
    bool lst_MessagesKey(WORD key, unsigned modifiers);
    // Keys that work wherever the focus is in the section.
    bool SectionKey(HWND from, WORD key, unsigned modifiers);
    void PopupMenu_3SectionItems();

    // Find and rules in slices of the window's time, from this WM_TIMER.
    static constexpr UINT_PTR kWorkTimer = 2;
    // An update that is due, posted to the frame itself.
    static constexpr UINT kUpdateMessage = WM_APP + 1;
    void CreateFindBar();
    bool FindBarKey(HWND from, WORD key, unsigned modifiers);
    void FindChanged();
    void StartWork();
    // Starts the work timer when rows that came are left to the finder's
    // work (a long row its rules or find have not finished with).
    void WorkLater();
    void WorkSlice();
    void FocusFound(size_t row);
    void UpdateFindStatus();
    std::string TimeCell(size_t row, int column) const;

    TSectionCore core_;
    // The rows the list shows, as the rules and the group filter decide.
    struct TFinderRows : IShownRows {
        explicit TFinderRows(const TSectionFinder& f) : Finder(f) {}
        const TSectionFinder& Finder;
        bool IsShown(size_t row) const override { return Finder.IsShown(row); }
        size_t VisibleCount() const override { return Finder.VisibleCount(); }
        size_t RowOfVisible(size_t v) const override { return Finder.RowOfVisible(v); }
        size_t VisibleOfRow(size_t row) const override { return Finder.VisibleOfRow(row); }
    };
    TSectionFinder finder_;
    TFinderRows shownRows_;
    TSectionContext context_;
    bool seekFirst_ = false; // the first match is focused once it is known
    int pendingStep_ = 0;    // +1 / -1: a step asked for before the scan got there
    bool workTimer_ = false;
    size_t paintedMatches_ = 0; // matches the list showed after the last slice
    std::string findNote_;      // wrapped round, no match
    bool timeColumns_ = false;
    UINT dpi_ = 96;
    const TSectionArt* art_;
    IClipboard* clipboard_ = nullptr;
    // Owned, so that a frame whose windows cannot be built gives them back.
    ui::ScopedFont connectionFont_;
    ui::ScopedFont memoFont_;
    ui::ScopedFont guiFont_;  // null at the system's pixels per inch: the stock font is used
    HWND toolTip_ = nullptr;  // shared with the other frames (not owned)
    std::vector<HWND> tools_; // the buttons this frame gave it
    std::string memoText_;    // what Memo_Data shows, before its line breaks are made CR LF
    unsigned pending_ = 0;    // TSectionChange flags not shown yet
    bool updateTimer_ = false;
    bool updatePosted_ = false; // a kUpdateMessage is on its way
    DWORD lastUpdate_ = 0;
    DWORD lastChange_ = 0;       // GetTickCount of the last change that waits
    DWORD interval_ = 200;       // ms between updates, stretched when they cost much
    DWORD coveredAt_ = 0;        // GetTickCount when covered_ was last asked
    bool coveredKnown_ = false;  // covered_ holds an answer
    bool covered_ = false;       // another section takes this one's whole place
    bool countStepDone_ = false; // the update's first step (the row count) is done
    bool stopped_ = false;       // the client stopped since the last update
};

} // namespace vx
