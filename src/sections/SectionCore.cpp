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

bool TSectionCore::AddDebugInfo(TDebugInfoRec& rec, bool force) {
    if (Paused && !force) return false;
    TBatch batch(*this);
    size_t row = rows_.Append(rec);
    Changed(scRows);
    focused_ = selected_ = row;
    Changed(scFocus);
    lst_DebugFocusChanged(); // ends with RefreshInfo
    return true;
}

void TSectionCore::ClearDebugInfos(bool keepViewer) {
    if (!Paused) DropRows(keepViewer);
}

void TSectionCore::DropRows(bool keepViewer) {
    TBatch batch(*this);
    rows_.Clear();
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
    SetStatus(2, scratch_);
    if (ctx_.Host) ctx_.Host->SetShownRows(ShownRowsText(VisibleCount(), n));
    scratch_.assign(Paused ? "Debugger section [PAUSED]" : "Debugger section");
    SetInformation(scratch_);
    scratch_.assign(Paused ? "Paused" : "Active");
    SetStatus(3, scratch_);
    Changed(scLabels | scRepaint);
}

void TSectionCore::SetConnected(bool value) {
    if (value == connected_) return;
    connected_ = value;
    labels_.Connection = value ? "CONNECTED" : "DISCONNECTED";
    labels_.ConnectionColor = value ? clWhite : clRed;
    labels_.DeleteEnabled = !value;
    Changed(scLabels);
    if (value && OnConnected) OnConnected(*this);
}

void TSectionCore::SetShownRows(const IShownRows* shown) { shown_ = shown; }

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
