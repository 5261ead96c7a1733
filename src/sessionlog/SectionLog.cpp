#include "SectionLog.h"

#include "SessionNames.h"

#include <cmath>

namespace vx {

namespace {

std::vector<std::string> Lines(const TBillboard& b) {
    std::vector<std::string> lines;
    lines.reserve(b.Count());
    for (size_t i = 0; i < b.Count(); ++i)
        lines.push_back(b.Line(i));
    return lines;
}

} // namespace

bool WriteSectionState(TSessionWriter& w, const TSectionCore& s) {
    bool ok = w.Identity(s.ClientID, s.ApplicationName, s.Caption) && w.Level(s.LevelText);
    const TDebugRowStore& rows = s.Rows();
    for (size_t i = 0; ok && i < rows.Count(); ++i)
        ok = w.AppendRow(rows.Row(i));
    ok = ok && w.Billboard(Lines(s.Billboard()));
    for (int i = 1; ok && i <= TInfoPad::kLines; ++i)
        ok = w.InfoLine(i, s.InfoPad().Line(i).Caption, s.InfoPad().Line(i).Value);
    return ok && w.Flush(true);
}

bool TSectionLog::OpenFor(const TSectionCore& section, TDateTime now) {
    day_ = long(std::floor(now));
    dropped_ = 0;
    // A file of this section and day from an earlier run is left as it is.
    for (unsigned copy = 1; copy < 1000; ++copy) {
        std::string path = JoinPath(folder_, SessionFileName(section.ClientID, now, copy));
        if (FileExists(path)) continue;
        if (!writer_.Create(path, now)) return false;
        return WriteSectionState(writer_, section);
    }
    error_ = "Cannot create a session log in \"" + folder_ + "\": too many files of one day";
    return false;
}

bool TSectionLog::Start(const std::string& folder, const TSectionCore& section, TDateTime now) {
    Stop();
    folder_ = folder;
    error_.clear();
    if (!MakeFolders(folder, error_)) return false;
    return OpenFor(section, now);
}

bool TSectionLog::Tick(const TSectionCore& section, TDateTime now) {
    if (!writer_.IsOpen()) return false;
    if (long(std::floor(now)) != day_) {
        if (!writer_.Close()) return false;
        return OpenFor(section, now);
    }
    return writer_.Flush(true);
}

bool TSectionLog::Stop() {
    if (!writer_.IsOpen()) return !writer_.Failed();
    return writer_.Close();
}

} // namespace vx

namespace vx {

bool TSectionLog::RowAdded(const TSectionCore& s) {
    return s.RowCount() > 0 && writer_.AppendRow(s.Rows().Row(s.RowCount() - 1));
}

bool TSectionLog::RowInserted(const TSectionCore& s, size_t row) {
    return row < s.RowCount() && writer_.InsertRow(row + dropped_, s.Rows().Row(row));
}

bool TSectionLog::RowEdited(const TSectionCore& s, size_t row) {
    return row < s.RowCount() && writer_.EditRow(row + dropped_, s.Rows().Text(row));
}

bool TSectionLog::MessageAdded(const TSectionCore& s) {
    const TBillboard& b = s.Billboard();
    return b.Count() > 0 && writer_.Message(b.Line(b.Count() - 1));
}

bool TSectionLog::BillboardChanged(const TSectionCore& s) {
    return writer_.Billboard(Lines(s.Billboard()));
}

bool TSectionLog::InfoLineChanged(const TSectionCore& s, int line) {
    if (line < 1 || line > TInfoPad::kLines) return false;
    return writer_.InfoLine(line, s.InfoPad().Line(line).Caption, s.InfoPad().Line(line).Value);
}

} // namespace vx
