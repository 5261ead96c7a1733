#include "export/vxVirtualTreeExport.h"

#include "platform/DateTimeFormat.h"
#include "protocol/Common_Types.h"

#include <cmath>

namespace vx {

const char* GroupName(uint8_t group) {
    switch (group) {
    case 0:
        return "General";
    case 1:
        return "Info";
    case 2:
        return "Warning";
    case 3:
        return "Error";
    default:
        return "";
    }
}

TvxVirtualTreeExport::TvxVirtualTreeExport(const TPlatform& platform) : TvxCustomExport(platform) {
    Messages.Caption = "Exporting List";
}

TvxVirtualTreeExport::~TvxVirtualTreeExport() {
    tree_ = nullptr;
}

void TvxVirtualTreeExport::SetVirtualTree(IDebugTree* tree) {
    tree_ = tree;
    node_ = kNone;
    widthRows_ = kNone;
}

void TvxVirtualTreeExport::FirstRecord() {
    RecordIndex = 0;
    node_ = kNone;
    widthRows_ = kNone;
    timeKey_ = -1;
    lastGroup_ = lastKind_ = -1;
    pictureRead_ = false; // read again once per export
}

// The node the next GetRecordValues delivers. The end is reached when there
// is none, so the walk never yields an empty record after the last row.
size_t TvxVirtualTreeExport::NodeForRecord() const {
    if (!tree_) return kNone;
    const size_t rows = tree_->RowCount();
    size_t next = RecordIndex == 0 ? 0 : (node_ == kNone ? kNone : node_ + 1);
    while (next < rows && !Exports(next))
        ++next;
    return next < rows ? next : kNone;
}

bool TvxVirtualTreeExport::IsEndOfRecords() {
    return NodeForRecord() == kNone;
}

int TvxVirtualTreeExport::GetColumnWidth(int index) {
    if (!tree_) return 0;
    switch (index) {
    case 0:
        return 7;
    case 1:
        return 20;
    case 3: {
        const TPlatform& p = Platform();
        if (!p.Locale) return 2;
        return int(FormatLongTime(*p.Locale, p.Clock ? p.Clock->Now() : 0).size()) + 2;
    }
    default:
        break;
    }
    size_t rows = tree_->RowCount();
    if (widthRows_ != rows) {
        size_t widest = 0;
        for (size_t i = 0; i < rows; ++i) {
            if (!Exports(i)) continue;
            size_t n = tree_->Row(i).Text.size();
            if (n > widest) widest = n;
        }
        textWidth_ = int(widest);
        widthRows_ = rows;
    }
    return textWidth_;
}

std::string TvxVirtualTreeExport::GetColumnCaption(int index) {
    return tree_ ? tree_->ColumnCaption(index) : std::string();
}

int TvxVirtualTreeExport::GetColumnCount() {
    return tree_ ? tree_->ColumnCount() : 0;
}

int TvxVirtualTreeExport::GetRecordCount() {
    if (!tree_) return 0;
    size_t rows = tree_->RowCount(), count = rows;
    if (shown_ && Options.Has(xoVisibleRowsOnly)) {
        count = 0;
        for (size_t i = 0; i < rows; ++i)
            count += shown_(i) ? 1 : 0;
    }
    return int(count);
}

const std::string& TvxVirtualTreeExport::TimeText(TDateTime time) {
    const ILocale* locale = Platform().Locale;
    if (!locale) {
        timeText_.clear();
        return timeText_;
    }
    // The long time format shows no fraction of a second: one text per second.
    double ms = std::round(time * 86400000.0);
    int64_t key = std::isfinite(ms) && std::fabs(ms) < 9e15 ? int64_t(std::floor(ms / 1000.0)) : -2;
    if (!pictureRead_) {
        timePicture_ = locale->LongTimePicture();
        pictureRead_ = true;
        timeKey_ = -1;
    }
    if (key != timeKey_ || key == -2) {
        timeText_ = FormatTimePicture(timePicture_, time, locale->TimeAM(), locale->TimePM());
        timeKey_ = key;
    }
    return timeText_;
}

// Neighbouring rows often share group, kind and second: a value that is
// already there is kept rather than built again. Only a value that may be
// the same (same code as the row before, same second) is compared.
static void SetText(TVariant& value, std::string_view text, bool maybeSame) {
    if (maybeSame && value.VarType() == varString && std::string_view(value.AsString()) == text)
        return;
    value.SetString(text);
}

void TvxVirtualTreeExport::GetRecordValues(TvxValues& values) {
    values.resize(4);
    node_ = NodeForRecord();
    if (node_ == kNone) {
        for (TVariant& v : values)
            v = TVariant("");
        lastGroup_ = lastKind_ = -1;
        return;
    }
    TDebugRowView row = tree_->Row(node_);
    SetText(values[0], GroupName(row.Group), row.Group == lastGroup_);
    SetText(values[1], KindName(row.Kind), row.Kind == lastKind_);
    values[2].SetString(row.Text); // the message seldom repeats
    SetText(values[3], TimeText(row.Time), true);
    lastGroup_ = row.Group;
    lastKind_ = row.Kind;
}

} // namespace vx
