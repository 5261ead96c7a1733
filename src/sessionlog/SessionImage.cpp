#include "SessionImage.h"

#include <cstring>

namespace vx {

TSessionImage::TSessionImage() {
    TInfoPad pad;
    for (int i = 0; i < TInfoPad::kLines; ++i)
        Info[i] = pad.Line(i + 1);
}

void TSessionImage::FillRecord(const TDebugRowView& row) {
    rec_.Group = row.Group;
    rec_.Kind = row.Kind;
    rec_.Text.assign(row.Text);
    rec_.Time = row.Time;
    rec_.UnitName.assign(row.UnitName);
    rec_.ProcName.assign(row.ProcName);
    rec_.LineNumber = row.LineNumber;
    rec_.DataSize = 0;
    rec_.Data.reset();
    if (row.Data && row.DataSize > 0) {
        rec_.Data = std::make_unique_for_overwrite<uint8_t[]>(size_t(row.DataSize));
        std::memcpy(rec_.Data.get(), row.Data, size_t(row.DataSize));
        rec_.DataSize = row.DataSize;
    }
}

void TSessionImage::Apply(const TSessionRecord& r) {
    switch (r.Type) {
    case srIdentity:
        ClientID.assign(r.ClientID);
        ApplicationName.assign(r.ApplicationName);
        Caption.assign(r.Caption);
        return;
    case srLevel:
        LevelText.assign(r.Text);
        return;
    case srRow:
        FillRecord(r.Row);
        Rows.Append(rec_);
        return;
    case srInsertRow:
        if (r.Index > Rows.Count()) break;
        FillRecord(r.Row);
        Rows.Insert(r.Index, rec_);
        return;
    case srEditRow:
        if (r.Index >= Rows.Count()) break;
        Rows.SetText(r.Index, r.Text);
        return;
    case srDeleteRow:
        if (r.Index >= Rows.Count()) break;
        Rows.Erase(r.Index);
        return;
    case srClearRows:
        Rows.Clear();
        return;
    case srMessage:
        Billboard.emplace_back(r.Text);
        return;
    case srBillboard:
        Billboard.assign(r.Lines.begin(), r.Lines.end());
        return;
    case srInfoLine:
        if (r.Index < 1 || r.Index > uint32_t(TInfoPad::kLines)) break;
        Info[r.Index - 1] = {std::string(r.Caption), std::string(r.Text)};
        return;
    case srClearInfoPad: {
        TInfoPad pad;
        pad.Clear();
        for (int i = 0; i < TInfoPad::kLines; ++i)
            Info[i] = pad.Line(i + 1);
        return;
    }
    default:
        break;
    }
    ++Ignored;
}

TSessionScan LoadSession(const std::string& path, TSessionImage& image) {
    return ReadSession(path, [&](const TSessionRecord& r) { image.Apply(r); });
}

} // namespace vx
