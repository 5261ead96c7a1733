// Reading written spreadsheets back with LibreOffice headless: files are
// converted to UTF-8 CSV with a private profile (so parallel runs do not
// share one) and parsed into rows of cell texts.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vxtest {

using TCsv = std::vector<std::vector<std::string>>;

inline bool HaveLibreOffice() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

// Converts every file to dir/<stem>.csv.
inline bool ConvertToCsv(const std::vector<std::filesystem::path>& files,
                         const std::filesystem::path& dir) {
    std::string cmd = "timeout 300 soffice --headless --norestore -env:UserInstallation=file://" +
                      (dir / "lo-profile").string() +
                      " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir '" +
                      dir.string() + "'";
    for (const auto& f : files)
        cmd += " '" + f.string() + "'";
    return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0;
}

// Quoted fields may hold commas, doubled quotes and line breaks.
inline TCsv ReadCsv(const std::filesystem::path& file) {
    std::stringstream ss;
    ss << std::ifstream(file, std::ios::binary).rdbuf();
    const std::string text = ss.str();
    TCsv rows(1);
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"' && quoted && i + 1 < text.size() && text[i + 1] == '"')
            field += text[i++];
        else if (c == '"')
            quoted = !quoted;
        else if (quoted || (c != ',' && c != '\n'))
            field += c;
        else {
            rows.back().push_back(std::move(field));
            field.clear();
            if (c == '\n') rows.emplace_back();
        }
    }
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

// The text at 0-based (row, column); "" beyond the end.
inline std::string Cell(const TCsv& s, size_t row, size_t column) {
    return row < s.size() && column < s[row].size() ? s[row][column] : "";
}

} // namespace vxtest
