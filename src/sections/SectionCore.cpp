#include "SectionCore.h"

#include "platform/Errors.h"

#include <stdexcept>

namespace vx {

namespace {

std::string Grouped(size_t n) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

} // namespace

std::string ShownRowsText(size_t shown, size_t total) {
    if (shown >= total) return {};
    return Grouped(shown) + " of " + Grouped(total) + " rows shown";
}

TSectionCore::TSectionCore(const TSectionContext& context) : ctx_(context) {
    const TPlatform& p = ctx_.Platform;
    if (!p.Clock || !p.Locale || !p.Dialogs || !ctx_.Registry || !ctx_.Shared)
        throw std::invalid_argument(
            "a section needs clock, locale, dialogs, settings and shared state");
}

TSectionCore::TBatch::~TBatch() {
    if (--s_.batchDepth_ == 0 && s_.pending_) {
        unsigned changes = s_.pending_;
        s_.pending_ = 0;
        if (s_.OnChanged) s_.OnChanged(s_, changes);
    }
}

void TSectionCore::Changed(unsigned changes) {
    if (batchDepth_ > 0) {
        pending_ |= changes;
        return;
    }
    if (OnChanged) OnChanged(*this, changes);
}

void TSectionCore::SetStatus(int panel, const std::string& text) {
    if (ctx_.Host) ctx_.Host->SetStatusPanel(panel, text);
}

void TSectionCore::SetInformation(const std::string& text) {
    if (ctx_.Host) ctx_.Host->SetInformationLine(text);
}

void TSectionCore::SetViewerText(const std::string& text) {
    if (ctx_.Viewer) ctx_.Viewer->SetText(text);
}

bool TSectionCore::AppendRow(TDebugInfoRec& rec, bool force) {
    if ((Paused && !force) || readOnly_) return false;
    TBatch batch(*this);
    rows_.Append(rec);
    if (journal_) journal_->RowAdded(*this);
    EnforceHistoryLimit();
    size_t row = rows_.Count() - 1;
    Changed(scRows);
    focused_ = selected_ = row;
    Changed(scFocus);
    return true;
}

bool TSectionCore::AddDebugInfo(TDebugInfoRec& rec, bool force) {
    TBatch batch(*this);
    if (!AppendRow(rec, force)) return false;
    infoDue_ = false;
    lst_DebugFocusChanged(); // ends with RefreshInfo
    return true;
}

bool TSectionCore::AddDebugInfoLater(TDebugInfoRec& rec) {
    if (!AppendRow(rec, false)) return false;
    infoDue_ = true;
    return true;
}

void TSectionCore::FlushInfo() {
    if (!infoDue_) return;
    infoDue_ = false;
    lst_DebugFocusChanged();
}

void TSectionCore::ClearDebugInfos(bool keepViewer) {
    if (!Paused && !readOnly_) DropRows(keepViewer);
}

void TSectionCore::SetHistoryLimit(size_t limit) {
    historyLimit_ = limit > kMaxHistoryLimit ? kMaxHistoryLimit : limit;
    if (rows_.Count() <= historyLimit_ || historyLimit_ == 0) return;
    TBatch batch(*this);
    EnforceHistoryLimit();
    Changed(scRows | scFocus);
    RefreshInfo();
}

void TSectionCore::EnforceHistoryLimit() {
    size_t n = rows_.Count();
    if (historyLimit_ == 0 || n <= historyLimit_) return;
    // Down to the limit less a slack of about 3%: what follows the rows (the
    // listener's marks, the shown rows) moves once per slack's worth of
    // appends, not once per append.
    size_t drop = n - historyLimit_ + historyLimit_ / 32;
    rows_.DropFront(drop);
    droppedRows_ += drop;
    auto shift = [drop](size_t& row) { row = row == npos || row < drop ? npos : row - drop; };
    shift(focused_);
    shift(selected_);
    if (journal_) journal_->RowsDropped(*this, drop);
}

void TSectionCore::DropRows(bool keepViewer) {
    TBatch batch(*this);
    rows_.Clear();
    droppedRows_ = 0;
    if (journal_) journal_->RowsCleared(*this);
    focused_ = selected_ = npos;
    details_.Data.clear();
    if (!keepViewer) SetViewerText("");
    Changed(scRows | scFocus | scDetails);
    RefreshInfo();
}

void TSectionCore::RefreshInfo() {
    TBatch batch(*this);
    // Runs for every appended row, so the texts reuse their buffers.
    // The label shows the ID's first word; an ID without a blank is shown whole.
    labels_.ID.assign("Client ID: ")
        .append(ClientID, 0, ClientID.find(' '))
        .append(" [")
        .append(Caption)
        .append("]");
    if (!RemoteHost.empty()) labels_.ID.append(" from ").append(RemoteHost);
    labels_.Application.assign("Application Name: ").append(ApplicationName);
    labels_.DebugLevel.assign("Debug Level: ").append(LevelText);
    scratch_.clear();
    if (focused_ != npos) scratch_.assign("#").append(std::to_string(focused_ + 1));
    SetStatus(1, scratch_);
    size_t n = rows_.Count();
    if (n == 0)
        scratch_.assign("No message");
    else if (n == 1)
        scratch_.assign("1 message");
    else
        scratch_.assign(std::to_string(n)).append(" messages");
    if (droppedRows_)
        scratch_.append(" (").append(std::to_string(droppedRows_)).append(" dropped)");
    SetStatus(2, scratch_);
    if (ctx_.Host) ctx_.Host->SetShownRows(ShownRowsText(VisibleCount(), n));
    scratch_.assign(readOnly_ ? "Session file [READ-ONLY]"
                    : Paused  ? "Debugger section [PAUSED]"
                              : "Debugger section");
    if (!note_.empty()) scratch_.append(" - ").append(note_);
    SetInformation(scratch_);
    scratch_.assign(readOnly_ ? "Read-only" : Paused ? "Paused" : "Active");
    SetStatus(3, scratch_);
    Changed(scLabels | scRepaint);
}

void TSectionCore::AdoptSession(TDebugRowStore& rows, const std::vector<std::string>& billboard,
                                const TInfoLine (&info)[TInfoPad::kLines]) {
    TBatch batch(*this);
    readOnly_ = true;
    connected_ = false;
    labels_.Connection = "READ-ONLY";
    labels_.ConnectionColor = clRed;
    labels_.DeleteEnabled = true;
    rows_.Adopt(rows);
    droppedRows_ = 0;
    EnforceHistoryLimit();
    billboard_.Assign(billboard);
    for (int i = 1; i <= TInfoPad::kLines; ++i)
        infoPad_.SetLine(i, info[i - 1]);
    focused_ = selected_ = npos;
    Changed(scRows | scFocus | scBillboard | scInfoPad | scLabels | scPause);
    RefreshInfo();
}

void TSectionCore::SetInformationNote(const std::string& note) {
    if (note == note_) return;
    note_ = note;
    if (visible_) RefreshInfo();
}

void TSectionCore::SetConnected(bool value) {
    if (readOnly_ || value == connected_) return;
    connected_ = value;
    labels_.Connection = value ? "CONNECTED" : "DISCONNECTED";
    labels_.ConnectionColor = value ? clWhite : clRed;
    labels_.DeleteEnabled = !value;
    Changed(value ? scLabels : scLabels | scRecordsEnded);
    if (value && OnConnected) OnConnected(*this);
}

void TSectionCore::SetShownRows(const IShownRows* shown) {
    shown_ = shown;
}

void TSectionCore::ShownRowsChanged() {
    TBatch batch(*this);
    Changed(scRows | scFocus);
    RefreshInfo();
}

void TSectionCore::ApplyGroupFilter(uint8_t value) {
    if (value > kLastGroupFilter) throw ERangeError();
    TBatch batch(*this);
    groupFilter_ = value;
    rows_.ShowGroup(value == 0 ? -1 : value - 1);
    Changed(scRows);
    RefreshInfo();
}

std::string TSectionCore::lst_DebugGetText(size_t row, int column) const {
    return DebugCellText(rows_, *ctx_.Platform.Locale, row, column);
}

std::string TSectionCore::CellText(size_t visibleRow, int column) const {
    if (visibleRow >= VisibleCount()) return {};
    return lst_DebugGetText(RowOfVisible(visibleRow), column);
}

int TSectionCore::lst_DebugGetImageIndex(size_t row, int column) const {
    return DebugCellImage(rows_, row, column);
}

std::optional<TColor> TSectionCore::SetCanvasColor(size_t row) const {
    return DebugCellFill(rows_, row, row == focused_, ctx_.Shared->UseColors);
}

TRowPaint TSectionCore::lst_DebugBeforeItemPaint(size_t row) const {
    return DebugRowPaint(rows_, row, row == focused_);
}

void TSectionCore::FocusRow(size_t row) {
    if (row >= rows_.Count()) row = npos;
    TBatch batch(*this);
    selected_ = row;
    Changed(scFocus);
    if (row == focused_) return;
    focused_ = row;
    lst_DebugFocusChanged();
}

void TSectionCore::lst_DebugFocusChanged() {
    TBatch batch(*this);
    if (focused_ != npos) {
        const TRowRecord& r = rows_.Record(focused_);
        details_.Data = DataText(r.Data.get(), r.DataSize);
        SetViewerText(details_.Data);
        if (r.LineNumber != 0) {
            details_.UnitName.assign(rows_.UnitName(focused_));
            details_.Procedure.assign(rows_.ProcName(focused_));
            details_.LineNumber.assign(std::to_string(r.LineNumber));
        } else {
            details_.UnitName.clear();
            details_.Procedure.clear();
            details_.LineNumber.clear();
        }
        Changed(scDetails);
    }
    RefreshInfo();
}

} // namespace vx
