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

void TSessionImage::Keep() {
    if (KeepAtMost == 0 || Rows.Count() <= KeepAtMost) return;
    size_t drop = Rows.Count() - KeepAtMost + KeepAtMost / 32; // as a section does
    Rows.DropFront(drop);
    Dropped += drop;
}

bool TSessionImage::Held(uint32_t index, size_t& row) const {
    if (index < Dropped) return false;
    row = size_t(index - Dropped);
    return true;
}

void TSessionImage::Apply(const TSessionRecord& r) {
    size_t row = 0;
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
        Keep();
        return;
    case srInsertRow:
        if (r.Index < Dropped) {
            ++Dropped; // among rows already gone; the file's later rows move down
            return;
        }
        if (!Held(r.Index, row) || row > Rows.Count()) break;
        FillRecord(r.Row);
        Rows.Insert(row, rec_);
        Keep();
        return;
    case srEditRow:
        if (r.Index < Dropped) return;
        if (!Held(r.Index, row) || row >= Rows.Count()) break;
        Rows.SetText(row, r.Text);
        return;
    case srDeleteRow:
        if (r.Index < Dropped) {
            --Dropped; // the file's later rows move up
            return;
        }
        if (!Held(r.Index, row) || row >= Rows.Count()) break;
        Rows.Erase(row);
        return;
    case srClearRows:
        Rows.Clear();
        Dropped = 0;
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

TSessionScan LoadSession(const std::string& path, TSessionImage& image,
                         const TReadProgress& progress) {
    return ReadSession(
        path, [&](const TSessionRecord& r) { image.Apply(r); }, progress);
}

} // namespace vx
