#include "export/vxLMDListBoxExport.h"

namespace vx {

TvxLMDListBoxExport::TvxLMDListBoxExport(const TPlatform& platform) : TvxCustomExport(platform) {
    Messages.Caption = "Exporting List";
}

TvxLMDListBoxExport::~TvxLMDListBoxExport() {
    listBox_ = nullptr;
}

void TvxLMDListBoxExport::SetListBox(IMessageListBox* listBox) {
    listBox_ = listBox;
    widths_.clear();
}

bool TvxLMDListBoxExport::IsEndOfRecords() {
    return !listBox_ || size_t(RecordIndex) >= listBox_->ItemCount();
}

int TvxLMDListBoxExport::GetColumnWidth(int index) {
    if (!listBox_ || index < 0) return 0;
    if (size_t(index) >= widths_.size()) widths_.resize(size_t(index) + 1, -1);
    int& w = widths_[size_t(index)];
    if (w < 0) {
        size_t widest = 0;
        for (size_t i = 0, n = listBox_->ItemCount(); i < n; ++i) {
            size_t len = listBox_->ItemPart(i, index).size();
            if (len > widest) widest = len;
        }
        w = int(widest);
    }
    return w;
}

std::string TvxLMDListBoxExport::GetColumnCaption(int index) {
    return listBox_ ? listBox_->ColumnCaption(index) : std::string();
}

int TvxLMDListBoxExport::GetColumnCount() {
    return listBox_ ? listBox_->ColumnCount() : 0;
}

int TvxLMDListBoxExport::GetRecordCount() {
    return listBox_ ? int(listBox_->ItemCount()) : 0;
}

void TvxLMDListBoxExport::GetRecordValues(TvxValues& values) {
    values.resize(2);
    bool have = listBox_ && size_t(RecordIndex) < listBox_->ItemCount();
    for (int c = 0; c < 2; ++c)
        values[size_t(c)] =
            TVariant(have ? listBox_->ItemPart(size_t(RecordIndex), c) : std::string());
}

} // namespace vx
