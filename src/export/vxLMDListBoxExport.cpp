#include "export/vxLMDListBoxExport.h"

namespace vx {

TvxLMDListBoxExport::TvxLMDListBoxExport(const TPlatform& platform) : TvxCustomExport(platform) {
    Messages.Caption = "Exporting List";
}

TvxLMDListBoxExport::~TvxLMDListBoxExport() {
    FListBox = nullptr;
}

void TvxLMDListBoxExport::SetListBox(IMessageListBox* listBox) {
    FListBox = listBox;
    FWidths.clear();
}

bool TvxLMDListBoxExport::IsEndOfRecords() {
    return !FListBox || size_t(RecordIndex) >= FListBox->ItemCount();
}

int TvxLMDListBoxExport::GetColumnWidth(int index) {
    if (!FListBox || index < 0) return 0;
    if (size_t(index) >= FWidths.size()) FWidths.resize(size_t(index) + 1, -1);
    int& w = FWidths[size_t(index)];
    if (w < 0) {
        size_t widest = 0;
        for (size_t i = 0, n = FListBox->ItemCount(); i < n; ++i) {
            size_t len = FListBox->ItemPart(i, index).size();
            if (len > widest) widest = len;
        }
        w = int(widest);
    }
    return w;
}

std::string TvxLMDListBoxExport::GetColumnCaption(int index) {
    return FListBox ? FListBox->ColumnCaption(index) : std::string();
}

int TvxLMDListBoxExport::GetColumnCount() {
    return FListBox ? FListBox->ColumnCount() : 0;
}

int TvxLMDListBoxExport::GetRecordCount() {
    return FListBox ? int(FListBox->ItemCount()) : 0;
}

void TvxLMDListBoxExport::GetRecordValues(TvxValues& values) {
    values.resize(2);
    bool have = FListBox && size_t(RecordIndex) < FListBox->ItemCount();
    for (int c = 0; c < 2; ++c)
        values[size_t(c)] =
            TVariant(have ? FListBox->ItemPart(size_t(RecordIndex), c) : std::string());
}

} // namespace vx
