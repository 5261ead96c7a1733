// One client's section: the portable logic of the section frame Tfme_Sections.
//
// How the Win32 frame uses it:
// - It builds one TSectionCore per frame with the platform services, the
//   settings store, the main window (ISectionHost), the shared data viewer and
//   the program-wide TSectionShared, and sets OnChanged.
// - The debug list is an owner-data list view: its item count is
//   VisibleCount(); item i is row RowOfVisible(i). Texts come from CellText,
//   icons from lst_DebugGetImageIndex, the cell fill from SetCanvasColor and
//   separator rows from lst_DebugBeforeItemPaint (all by row index). A click
//   or key that moves the focus calls FocusRow; FocusedRow/VisibleOfRow give
//   the item to show as focused.
// - Menus, buttons and double-clicks call the handler of the same name
//   (mnu_AddNoteClick, act_Pause, ...); menus ask the *Popup functions which
//   items are enabled. User input arrives through the dialogs service.
// - OnChanged tells which parts to update; the frame invalidates them and lets
//   painting coalesce, so a flood of rows costs no repaint per row.
// - Labels(), Details(), Billboard(), InfoPad() and Layout() hold everything
//   the frame's labels, edits, memo, billboard and panels show.
#pragma once

#include "Billboard.h"
#include "DebugListModel.h"
#include "InfoPad.h"
#include "PanelLayout.h"
#include "RowStore.h"
#include "SectionHost.h"
#include "platform/Platform.h"
#include "protocol/Common_Types.h"
#include "settings/RegistryHandler.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx {

// Parts of the frame to update; OnChanged gets them or-ed together.
enum TSectionChange : unsigned {
    scLabels = 1u << 0,    // header labels, connection label, delete button
    scRows = 1u << 1,      // rows added, removed, shown or hidden: new item count
    scRepaint = 1u << 2,   // repaint the debug list
    scFocus = 1u << 3,     // focused or selected row
    scDetails = 1u << 4,   // Memo_Data and the source fields
    scBillboard = 1u << 5, // lines or selection of the billboard
    scInfoPad = 1u << 6,
    scPanels = 1u << 7,  // panel sizes, splitters, panel buttons
    scVisible = 1u << 8, // shown or hidden
    scToFront = 1u << 9, // put above the sibling frames
    scGroupsGlyph = 1u << 10,
    scMenuChecks = 1u << 11,   // "Use colors" check mark
    scPause = 1u << 12,        // btn_Pause state
    scRecordsEnded = 1u << 13, // the client has stopped (it disconnected, its connection ended)
};

class TSectionCore;

// Hears of every change to what a section holds, just after it is made (the
// session log). Rows that the history limit drops are no change to the
// history: a journal keeps them, and hears only how many went.
struct ISectionJournal {
    virtual ~ISectionJournal() = default;
    virtual void RowAdded(const TSectionCore& s) = 0; // the section's last row
    virtual void RowInserted(const TSectionCore& s, size_t row) = 0;
    virtual void RowEdited(const TSectionCore& s, size_t row) = 0;
    virtual void RowDeleted(const TSectionCore& s, size_t row) = 0;
    virtual void RowsCleared(const TSectionCore& s) = 0;
    virtual void RowsDropped(const TSectionCore& s, size_t count) = 0;
    virtual void MessageAdded(const TSectionCore& s) = 0; // the billboard's last line
    virtual void BillboardChanged(const TSectionCore& s) = 0;
    virtual void InfoLineChanged(const TSectionCore& s, int line) = 0;
    virtual void InfoPadCleared(const TSectionCore& s) = 0;
};

// The "Display" value HistoryLimit: the most rows a section keeps in memory,
// 0 for no limit. Values beyond what a row index can hold are cut to it.
inline constexpr size_t kDefaultHistoryLimit = 1000000;
inline constexpr size_t kMaxHistoryLimit = 0xFFFFFFF0u;
struct IRuleEditor;

struct TSectionContext {
    TPlatform Platform;                   // Clock, Locale and Dialogs are used
    TRegistryHandler* Registry = nullptr; // panel settings
    ISectionHost* Host = nullptr;         // optional: texts go nowhere without it
    IDataViewer* Viewer = nullptr;        // optional
    TSectionShared* Shared = nullptr;
    IRuleEditor* RuleEditor = nullptr; // optional: the section's "Rules..." command
};

// Which rows the debug list shows, when something beside the group filter
// (the section's rules) decides it; the core asks it instead of the store.
struct IShownRows {
    virtual ~IShownRows() = default;
    virtual bool IsShown(size_t row) const = 0;
    virtual size_t VisibleCount() const = 0;
    virtual size_t RowOfVisible(size_t visible) const = 0;
    virtual size_t VisibleOfRow(size_t row) const = 0; // npos when hidden
};

// The frame's header labels and connection display.
struct TSectionLabels {
    std::string ID;                          // lbl_ID
    std::string Application;                 // lbl_Application
    std::string DebugLevel;                  // lbl_DebugLevel
    std::string Connection = "DISCONNECTED"; // lbl_Disconnected
    TColor ConnectionColor = clRed;
    bool DeleteEnabled = true; // btn_Delete
};

// The data panel and the source fields of the focused row.
struct TSectionDetails {
    std::string Data;       // Memo_Data
    std::string UnitName;   // Edit_UnitName
    std::string Procedure;  // Edit_Procedure
    std::string LineNumber; // Edit_LineNumber
};

struct TDebugMenuState {
    bool AddNote = true;
    bool InsertNote = false;
    bool EditInfo = false;
    bool DeleteInfo = false;
    bool ClearDebugInfos = false;
    bool ExportItems = false;
    bool UseColors = true;
};

// "1,234 of 100,000 rows shown"; empty when every row is shown.
std::string ShownRowsText(size_t shown, size_t total);

class TSectionCore {
  public:
    static constexpr size_t npos = TDebugRowStore::npos;
    static constexpr uint8_t kLastGroupFilter = 4;
    static constexpr int kFirstGroupsGlyph = 33; // image of Image_Side_Large for "Show all"

    explicit TSectionCore(const TSectionContext& context);
    TSectionCore(const TSectionCore&) = delete;
    TSectionCore& operator=(const TSectionCore&) = delete;

    std::function<void(TSectionCore& sender, unsigned changes)> OnChanged;
    // ShowSection is about to lay the panels out: the frame reports its work
    // area's current size through SetWorkAreaSize (a hidden frame is not
    // resized with the main window).
    std::function<void(TSectionCore& sender)> OnShowing;
    // The client connected (again): its ClientID is set.
    std::function<void(TSectionCore& sender)> OnConnected;

    // Fields the dispatcher keeps.
    std::string ClientID;
    // The address of the remote client over TCP, empty for a client on this
    // desktop: with ClientID it tells sections apart.
    std::string RemoteHost;
    std::string Caption;
    std::string ApplicationName;
    std::string LevelText;
    int SectionNumber = 0;
    bool Paused = false;

    bool Connected() const { return connected_; }
    uint8_t GroupFilter() const { return groupFilter_; }
    // Stores the filter value without filtering (a client's connect resets it).
    void SetGroupFilter(uint8_t value) { groupFilter_ = value; }
    bool Visible() const { return visible_; }
    // Deleted by the user: hidden for good (its ClientID no longer tells, since
    // a client may choose an ID that begins with "DEL_").
    bool Deleted() const { return deleted_; }

    // --- Rows and the list model ---
    // Appends a row and focuses it; the row takes over rec.Data. Returns false
    // (and leaves rec alone) when the section is paused and force is false.
    bool AddDebugInfo(TDebugInfoRec& rec, bool force);
    // AddDebugInfo for one row of many that arrive together (a slice of a
    // flood): the texts that follow the focused row (status panels, source
    // fields, data panel and viewer) wait for FlushInfo, so that a burst of
    // rows makes them once, for its last row, and not once per row.
    bool AddDebugInfoLater(TDebugInfoRec& rec);
    bool InfoDue() const { return infoDue_; }
    void FlushInfo();
    void ClearDebugInfos(bool keepViewer);
    void RefreshInfo();
    void SetConnected(bool value);
    // The client's records have stopped for now: its connection ended without
    // a disconnect. The frame shows what came at once, not after a pause.
    void RecordsEnded() { Changed(scRecordsEnded); }
    // 0 shows all rows, 1 to 4 the rows of group 0 to 3. Rows added later stay
    // visible until the filter is applied again. A value above 4 raises
    // ERangeError and changes nothing.
    void ApplyGroupFilter(uint8_t value);

    // --- History limit ---
    // Past the limit the oldest rows go, a few percent of the limit at a
    // time so that no append moves the whole list (0: no limit).
    void SetHistoryLimit(size_t limit);
    size_t HistoryLimit() const { return historyLimit_; }
    // Rows the limit has dropped since the section began or was last cleared.
    uint64_t DroppedRows() const { return droppedRows_; }

    // --- A session read from a file ---
    // The section shows `rows` (taken over; left empty) and the rest of the
    // session and becomes read-only: it takes no client records, and the
    // commands that would change it do nothing.
    void AdoptSession(TDebugRowStore& rows, const std::vector<std::string>& billboard,
                      const TInfoLine (&info)[TInfoPad::kLines]);
    bool ReadOnly() const { return readOnly_; }
    // A note the information line keeps after the section's own text (why
    // logging stopped, say); empty for none.
    void SetInformationNote(const std::string& note);

    // The session log, when the section is logged (null: none). The journal
    // must outlive its registration.
    void SetJournal(ISectionJournal* journal) { journal_ = journal; }
    ISectionJournal* Journal() const { return journal_; }

    const TDebugRowStore& Rows() const { return rows_; }
    // Find and the rules follow the rows through this (null: none).
    void SetRowListener(IRowStoreListener* listener) { rows_.SetListener(listener); }
    // The list shows the rows this lets through (null: the group filter's).
    // It must outlive its registration.
    void SetShownRows(const IShownRows* shown);
    // The shown rows changed without the store's knowing (the rules took effect).
    void ShownRowsChanged();
    IDebugTree& DebugTree() { return rows_; }
    size_t RowCount() const { return rows_.Count(); }
    bool IsShown(size_t row) const {
        return row < rows_.Count() && (shown_ ? shown_->IsShown(row) : rows_.IsShown(row));
    }
    size_t VisibleCount() const { return shown_ ? shown_->VisibleCount() : rows_.VisibleCount(); }
    size_t RowOfVisible(size_t visible) const {
        return shown_ ? shown_->RowOfVisible(visible) : rows_.RowOfVisible(visible);
    }
    size_t VisibleOfRow(size_t row) const {
        return shown_ ? shown_->VisibleOfRow(row) : rows_.VisibleOfRow(row);
    }

    std::string lst_DebugGetText(size_t row, int column) const;
    std::string CellText(size_t visibleRow, int column) const;
    int lst_DebugGetImageIndex(size_t row, int column) const;
    std::optional<TColor> SetCanvasColor(size_t row) const;
    TRowPaint lst_DebugBeforeItemPaint(size_t row) const;
    std::string HeaderCaption(int column) const { return rows_.ColumnCaption(column); }

    size_t FocusedRow() const { return focused_; }
    size_t SelectedRow() const { return selected_; }
    // Focuses and selects a row (npos: none); a change runs lst_DebugFocusChanged.
    void FocusRow(size_t row);
    void lst_DebugFocusChanged();

    const TSectionLabels& Labels() const { return labels_; }
    const TSectionDetails& Details() const { return details_; }

    // --- Billboard ---
    void ClearMessages();
    void AddMessage(const std::string& text);
    const TBillboard& Billboard() const { return billboard_; }
    IMessageListBox& MessageList() { return billboard_; }
    void SelectMessage(size_t index);
    void mnu_AddMessageClick();
    void mnu_EditMessageClick(); // also a double-click on a line
    void mnu_InsertMessageClick();
    void mnu_DeleteMessageClick();
    void mnu_ClearMessagesClick() { ClearMessages(); }
    void RenumberMessages();
    TBillboardMenuState PopupMenu_1Popup() const;

    // --- Info pad ---
    // Index outside 0..255 raises ERangeError and changes nothing; 0 and 4..255
    // change nothing either.
    void SetInfoLine(int32_t index, const std::string& text);
    void mnu_ClearInfoPadClick();
    const TInfoPad& InfoPad() const { return infoPad_; }

    // --- Notes, edits and deletes on the debug list ---
    void mnu_AddNoteClick();
    void mnu_InsertNoteClick();
    void mnu_EditInfoClick(); // also a double-click on a row
    void mnu_DeleteInfoClick();
    void mnu_ClearDebugInfosClick() { ClearDebugInfos(false); }
    void mnu_UsecolorsClick();
    bool UseColorsChecked() const { return useColorsChecked_; }
    TDebugMenuState PopupMenu_3Popup() const;

    // --- Filter menu and button ---
    // act_ShowAll (0), act_ShowGeneral (1), act_ShowInfo (2), act_ShowWarning
    // (3), act_ShowError (4): set the button's glyph and filter.
    void ChooseGroupFilter(uint8_t value);
    void btn_GroupsClick() { ApplyGroupFilter(groupFilter_); }
    int GroupsGlyph() const { return groupsGlyph_; }

    // --- Pause, viewer, close, delete, show and hide ---
    void act_Pause(bool down);
    void act_ShowViewer();
    void act_Close();
    // Only while disconnected. Rows, data and billboard go whether paused or
    // not, and the host hears of it to release the frame.
    void act_Delete();
    void ShowSection();
    void BringSectionToFront();
    void HideSection();

    // --- Panels ---
    const TPanelLayout& Layout() const { return layout_; }
    void SetWorkAreaSize(int width, int height);
    // The frame's pixels per inch (the panels' sizes scale with it).
    void SetPixelsPerInch(int value);
    void act_ShowData(bool down);
    void act_ShowMessages(bool down);
    void act_ShowInfoPad(bool down);
    void mnu_HideMessagesClick();
    void mnu_HideInfoPadClick();
    void DataPanelDragged(int width);  // Splitter_2
    void MemoPanelDragged(int height); // Splitter_1
    void LoadPanelSettings();
    void SavePanelSettings();

    // An empty core that keeps a deleted section's place in the section list:
    // its names, number and "DEL_" ID, deleted and hidden, owning nothing else.
    std::unique_ptr<TSectionCore> DeletedStandIn() const;

  private:
    // Collects the changes of one operation so the frame hears of them once.
    class TBatch {
      public:
        explicit TBatch(TSectionCore& s) : s_(s) { ++s_.batchDepth_; }
        ~TBatch();
        TBatch(const TBatch&) = delete;
        TBatch& operator=(const TBatch&) = delete;

      private:
        TSectionCore& s_;
    };
    void Changed(unsigned changes);
    void SetStatus(int panel, const std::string& text);
    void SetInformation(const std::string& text);
    void SetViewerText(const std::string& text);
    std::optional<TDebugInfoRec> AskNote(const char* caption);
    // The focused row when the filter shows it, else npos: the list's
    // commands act only on a row the user can see.
    size_t ShownFocus() const;
    // Empty the debug list or the billboard, paused or not.
    void DropRows(bool keepViewer);
    void DropMessages();
    void EnforceHistoryLimit();
    bool AppendRow(TDebugInfoRec& rec, bool force);
    void BillboardEdited(bool changed);

    TSectionContext ctx_;
    TDebugRowStore rows_;
    const IShownRows* shown_ = nullptr;
    TBillboard billboard_;
    TInfoPad infoPad_;
    TPanelLayout layout_;
    TSectionLabels labels_;
    TSectionDetails details_;
    std::string scratch_; // status texts on their way to the host
    size_t focused_ = npos;
    size_t selected_ = npos;
    bool connected_ = false;
    bool visible_ = false;
    bool deleted_ = false;
    bool useColorsChecked_ = true;
    uint8_t groupFilter_ = 0;
    int groupsGlyph_ = kFirstGroupsGlyph;
    int batchDepth_ = 0;
    bool infoDue_ = false; // rows came by AddDebugInfoLater since the last FlushInfo
    unsigned pending_ = 0;
    size_t historyLimit_ = kDefaultHistoryLimit;
    uint64_t droppedRows_ = 0;
    bool readOnly_ = false;
    std::string note_;
    ISectionJournal* journal_ = nullptr;
};

} // namespace vx
