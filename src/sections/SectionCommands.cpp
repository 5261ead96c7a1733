// The user's and the dispatcher's commands on a section: billboard, info pad,
// notes, filter menu, pause, viewer, close, delete, show and hide, panels.
#include "SectionCore.h"

#include "platform/Errors.h"

namespace vx {

// --- Billboard ---

void TSectionCore::ClearMessages() {
    if (!Paused && !readOnly_) DropMessages();
}

void TSectionCore::DropMessages() {
    TBatch batch(*this);
    billboard_.Clear();
    if (journal_) journal_->BillboardChanged(*this);
    Changed(scBillboard);
    RefreshInfo();
}

void TSectionCore::AddMessage(const std::string& text) {
    if (Paused || readOnly_) return;
    TBatch batch(*this);
    billboard_.AddNumbered(text);
    if (journal_) journal_->MessageAdded(*this);
    billboard_.Select(billboard_.Count() - 1);
    Changed(scBillboard);
    RefreshInfo();
}

void TSectionCore::SelectMessage(size_t index) {
    billboard_.Select(index);
    Changed(scBillboard);
}

void TSectionCore::BillboardEdited(bool changed) {
    if (!changed) return;
    if (journal_) journal_->BillboardChanged(*this);
    Changed(scBillboard);
}

void TSectionCore::mnu_AddMessageClick() {
    if (!readOnly_) BillboardEdited(billboard_.UserAdd(*ctx_.Platform.Dialogs));
}

void TSectionCore::mnu_EditMessageClick() {
    if (!readOnly_) BillboardEdited(billboard_.UserEdit(*ctx_.Platform.Dialogs));
}

void TSectionCore::mnu_InsertMessageClick() {
    if (!readOnly_) BillboardEdited(billboard_.UserInsert(*ctx_.Platform.Dialogs));
}

void TSectionCore::mnu_DeleteMessageClick() {
    if (!readOnly_) BillboardEdited(billboard_.UserDelete());
}

void TSectionCore::RenumberMessages() {
    if (readOnly_) return;
    billboard_.RenumberMessages();
    BillboardEdited(true);
}

TBillboardMenuState TSectionCore::PopupMenu_1Popup() const {
    return readOnly_ ? TBillboardMenuState{} : billboard_.MenuState();
}

// --- Info pad ---

void TSectionCore::SetInfoLine(int32_t index, const std::string& text) {
    // The line number travels as a byte; anything wider is refused before any
    // other rule, paused or not.
    if (index < 0 || index > 255) throw ERangeError();
    if (Paused || readOnly_ || index < 1 || index > TInfoPad::kLines) return;
    infoPad_.Set(index, text);
    if (journal_) journal_->InfoLineChanged(*this, index);
    Changed(scInfoPad);
}

void TSectionCore::mnu_ClearInfoPadClick() {
    if (readOnly_) return;
    infoPad_.Clear();
    if (journal_) journal_->InfoPadCleared(*this);
    Changed(scInfoPad);
}

// --- Notes, edits and deletes ---

std::optional<TDebugInfoRec> TSectionCore::AskNote(const char* caption) {
    std::string answer = ctx_.Platform.Dialogs->InputBox(caption, "Text: ", "");
    if (answer.empty()) return std::nullopt;
    TDebugInfoRec rec;
    rec.Group = dgGeneral;
    rec.Kind = dkNote;
    rec.Text = answer.substr(0, TTextArena::kMaxText);
    rec.Time = ctx_.Platform.Clock->Now();
    return rec;
}

void TSectionCore::mnu_AddNoteClick() {
    if (readOnly_) return;
    if (auto rec = AskNote("Add new note")) AddDebugInfo(*rec, true);
}

// The input boxes are modal, and clients' records keep arriving while one is
// open: appended rows move nothing, but a client's clear takes the row away.
// So a command remembers its row and drops the answer when the row is gone.

size_t TSectionCore::ShownFocus() const {
    return focused_ != npos && IsShown(focused_) ? focused_ : npos;
}

void TSectionCore::mnu_InsertNoteClick() {
    size_t at = ShownFocus();
    if (at == npos || readOnly_) return;
    uint64_t generation = rows_.Generation();
    auto rec = AskNote("Insert note");
    if (!rec || rows_.Generation() != generation || at >= rows_.Count()) return;
    TBatch batch(*this);
    rows_.Insert(at, *rec);
    if (journal_) journal_->RowInserted(*this, at);
    // Focus and selection stay on their rows, which moved down by one.
    if (focused_ != npos && focused_ >= at) ++focused_;
    if (selected_ != npos && selected_ >= at) ++selected_;
    Changed(scRows | scFocus);
    RefreshInfo();
}

void TSectionCore::mnu_EditInfoClick() {
    size_t row = ShownFocus();
    if (row == npos || readOnly_ || rows_.Record(row).Kind == dkSeparator) return;
    uint64_t generation = rows_.Generation();
    std::string old(rows_.Text(row));
    std::string answer = ctx_.Platform.Dialogs->InputBox("Edit Message", "Message Text: ", old);
    if (answer.empty() || answer == old) return;
    if (rows_.Generation() != generation || row >= rows_.Count()) return;
    rows_.SetText(row, answer);
    if (journal_) journal_->RowEdited(*this, row);
    Changed(scRepaint);
}

void TSectionCore::mnu_DeleteInfoClick() {
    size_t row = ShownFocus();
    if (row == npos || readOnly_) return;
    TBatch batch(*this);
    rows_.Erase(row);
    if (journal_) journal_->RowDeleted(*this, row);
    focused_ = npos;
    if (selected_ == row)
        selected_ = npos;
    else if (selected_ != npos && selected_ > row)
        --selected_;
    Changed(scRows | scFocus);
    RefreshInfo();
}

void TSectionCore::mnu_UsecolorsClick() {
    useColorsChecked_ = !useColorsChecked_;
    ctx_.Shared->UseColors = useColorsChecked_;
    Changed(scMenuChecks | scRepaint);
}

TDebugMenuState TSectionCore::PopupMenu_3Popup() const {
    size_t row = ShownFocus();
    bool focus = row != npos;
    bool any = rows_.Count() > 0;
    bool edit = focus && !readOnly_;
    TDebugMenuState m;
    m.AddNote = !readOnly_;
    m.InsertNote = edit;
    m.EditInfo = edit && rows_.Record(row).Kind != dkSeparator;
    m.DeleteInfo = edit;
    m.ClearDebugInfos = any && !readOnly_;
    m.ExportItems = any;
    return m;
}

// --- Filter menu ---

void TSectionCore::ChooseGroupFilter(uint8_t value) {
    if (value > kLastGroupFilter) throw ERangeError();
    TBatch batch(*this);
    groupsGlyph_ = kFirstGroupsGlyph + value;
    Changed(scGroupsGlyph);
    ApplyGroupFilter(value);
}

// --- Pause, viewer, close, delete, show and hide ---

void TSectionCore::act_Pause(bool down) {
    if (readOnly_) down = false;
    TBatch batch(*this);
    Paused = down;
    Changed(scPause);
    RefreshInfo();
}

void TSectionCore::act_ShowViewer() {
    SetViewerText(details_.Data);
    if (ctx_.Viewer) ctx_.Viewer->Show();
}

void TSectionCore::act_Close() {
    TBatch batch(*this);
    for (int panel = 1; panel <= 3; ++panel)
        SetStatus(panel, "");
    HideSection();
}

void TSectionCore::act_Delete() {
    if (connected_) return;
    // The session log keeps what the section held: deleting it from the
    // window is no change to its history.
    journal_ = nullptr;
    {
        TBatch batch(*this);
        // A deleted section is never seen again: what it holds goes now,
        // paused or not.
        DropMessages();
        DropRows(false);
        if (ctx_.Host) ctx_.Host->RemoveSideBarButton(SectionNumber);
        HideSection(); // still saves under the client's real ID
        ClientID = "DEL_" + ClientID;
        deleted_ = true;
    }
    // Last: the host may release the frame once this handler has returned.
    if (ctx_.Host) ctx_.Host->SectionDeleted(SectionNumber);
}

std::unique_ptr<TSectionCore> TSectionCore::DeletedStandIn() const {
    auto s = std::make_unique<TSectionCore>(ctx_);
    s->ClientID = ClientID;
    s->RemoteHost = RemoteHost;
    s->Caption = Caption;
    s->ApplicationName = ApplicationName;
    s->LevelText = LevelText;
    s->SectionNumber = SectionNumber;
    s->Paused = Paused;
    s->deleted_ = deleted_;
    return s;
}

void TSectionCore::ShowSection() {
    TBatch batch(*this);
    if (OnShowing) OnShowing(*this);
    RefreshInfo();
    LoadPanelSettings();
    visible_ = true;
    Changed(scVisible);
}

void TSectionCore::BringSectionToFront() {
    TBatch batch(*this);
    RefreshInfo();
    visible_ = true;
    Changed(scVisible | scToFront);
}

void TSectionCore::HideSection() {
    TBatch batch(*this);
    SavePanelSettings();
    SetInformation("Welcome to vxDebugger");
    visible_ = false;
    Changed(scVisible);
}

// --- Panels ---

void TSectionCore::SetWorkAreaSize(int width, int height) {
    layout_.WorkAreaWidth = width;
    layout_.WorkAreaHeight = height;
}

void TSectionCore::SetPixelsPerInch(int value) {
    if (value <= 0 || value == layout_.PixelsPerInch) return;
    layout_.SetPixelsPerInch(value);
    Changed(scPanels);
}

void TSectionCore::act_ShowData(bool down) {
    layout_.ShowDataDown = down;
    layout_.ShowData();
    Changed(scPanels);
}

void TSectionCore::act_ShowMessages(bool down) {
    layout_.ShowMessageDown = down;
    layout_.ShowMessages();
    Changed(scPanels);
}

void TSectionCore::act_ShowInfoPad(bool down) {
    layout_.ShowInfoPadDown = down;
    layout_.ShowInfoPad();
    Changed(scPanels);
}

void TSectionCore::mnu_HideMessagesClick() {
    layout_.HideMessages();
    Changed(scPanels);
}

void TSectionCore::mnu_HideInfoPadClick() {
    layout_.HideInfoPad();
    Changed(scPanels);
}

void TSectionCore::DataPanelDragged(int width) {
    layout_.DataWidth = width;
}

void TSectionCore::MemoPanelDragged(int height) {
    layout_.MemoHeight = height;
}

void TSectionCore::LoadPanelSettings() {
    vx::LoadPanelSettings(layout_, *ctx_.Registry, ClientID);
    Changed(scPanels);
}

void TSectionCore::SavePanelSettings() {
    vx::SavePanelSettings(layout_, *ctx_.Registry, ClientID);
}

} // namespace vx
