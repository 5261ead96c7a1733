#include "SectionLog.h"

#include "SessionNames.h"

#include <cmath>

namespace vx {

bool WriteSectionState(TSessionWriter& w, const TSectionCore& s) {
    bool ok = w.Identity(s.ClientID, s.ApplicationName, s.Caption) && w.Level(s.LevelText);
    const TDebugRowStore& rows = s.Rows();
    for (size_t i = 0; ok && i < rows.Count(); ++i)
        ok = w.AppendRow(rows.Row(i));
    std::vector<std::string> lines;
    for (size_t i = 0; i < s.Billboard().Count(); ++i)
        lines.push_back(s.Billboard().Line(i));
    ok = ok && w.Billboard(lines);
    for (int i = 1; ok && i <= TInfoPad::kLines; ++i)
        ok = w.InfoLine(i, s.InfoPad().Line(i).Caption, s.InfoPad().Line(i).Value);
    return ok && w.Flush(true);
}

bool TSectionLog::OpenFor(const TSectionCore& section, TDateTime now) {
    day_ = long(std::floor(now));
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
