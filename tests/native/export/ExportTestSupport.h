// A scripted data source, fake section lists and file helpers for the export tests.
#pragma once

#include "export/vxExport.h"
#include "export/vxExportUI.h"
#include "platform/Fakes.h"
#include "sections/DebugRowSource.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vxtest {

using namespace vx;

// A table held in memory, with per-column widths, alignments and visibility.
class TTestSource : public TvxCustomExport {
  public:
    explicit TTestSource(const TPlatform& p) : TvxCustomExport(p) {}

    bool Attached = true;
    std::vector<std::string> Caps{"Name", "Value"};
    std::vector<int> Widths{6, 6};
    std::vector<uint8_t> Aligns;
    std::vector<bool> Visible;
    std::vector<bool> Selected;
    std::vector<TvxValues> Records;
    int Opened = 0, Closed = 0;

    void OpenSource() override { ++Opened; }
    void CloseSource() override { ++Closed; }
    void FirstRecord() override { RecordIndex = 0; }
    uint8_t GetColumnAlignment(int i) override {
        return size_t(i) < Aligns.size() ? Aligns[size_t(i)] : 0;
    }
    bool HasSource() override { return Attached; }
    bool IsEndOfRecords() override { return size_t(RecordIndex) >= Records.size(); }
    bool IsColumnVisible(int i) override {
        return size_t(i) >= Visible.size() || Visible[size_t(i)];
    }
    bool IsRecordSelected(int i) override {
        return size_t(i) >= Selected.size() || Selected[size_t(i)];
    }
    int GetColumnWidth(int i) override { return Widths[size_t(i)]; }
    std::string GetColumnCaption(int i) override { return Caps[size_t(i)]; }
    int GetColumnCount() override { return int(Caps.size()); }
    void GetRecordValues(TvxValues& v) override { v = Records[size_t(RecordIndex)]; }
    int GetRecordCount() override { return int(Records.size()); }
    std::string ClassName() const override { return "TTESTSOURCE"; }
};

// A fresh folder under the system temporary folder, removed afterwards.
class TTempFolder {
  public:
    TTempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vxexport-XXXXXX").string();
        char* made = mkdtemp(tmpl.data());
        Path = made ? made : tmpl;
        Path += "/";
    }
    ~TTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string operator/(const std::string& name) const { return Path + name; }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (auto& e : std::filesystem::directory_iterator(Path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Path;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

// Platform fakes pointed at a real folder, with a test source that writes to
// Folder/out.<ext> and records its errors and events.
struct TExportFixture {
    TFakePlatform Fake;
    TTempFolder Folder;
    TTestSource Source;
    std::vector<TvxExportError> Errors;
    int Begun = 0, Ended = 0;

    TExportFixture() : Source(Services()) {
        Source.ExportStyle = xsFile;
        Source.FileName = Folder / "out.txt";
        Source.OnError = [this](TvxCustomExport&, TvxExportError e) { Errors.push_back(e); };
        Source.OnBeginExport = [this](TvxCustomExport&) { ++Begun; };
        Source.OnEndExport = [this](TvxCustomExport&) { ++Ended; };
    }
    TPlatform Services() {
        Fake.Files.UseRealFiles = true;
        Fake.Files.Temp = Folder.Path;
        return Fake.Services();
    }
    // Exports as type and returns the written document ("" when none).
    std::string Export(TvxExportType type) {
        Source.SetExportType(type);
        Source.ExportData();
        std::string name =
            Source.FileName.substr(0, Source.FileName.rfind('.') + 1) + Source.DefaultExtension();
        return FileExists(name) ? ReadFile(name) : std::string();
    }
    // Two records of two columns.
    void SmallTable() {
        Source.Records = {{TVariant("ab"), TVariant("cde")}, {TVariant("fgh"), TVariant("ij")}};
    }
};

// Joins lines with CR LF after each, as the text documents are saved.
inline std::string Lines(std::initializer_list<std::string> lines) {
    std::string s;
    for (auto& l : lines)
        s += l + "\r\n";
    return s;
}

struct TFakeTree : IDebugTree {
    std::vector<std::string> Captions{"Group", "Type", "Message", "Time"};
    struct TRow {
        uint8_t Group, Kind;
        std::string Text;
        TDateTime Time;
    };
    std::vector<TRow> Rows;
    int ColumnCount() const override { return int(Captions.size()); }
    std::string ColumnCaption(int c) const override { return Captions[size_t(c)]; }
    size_t RowCount() const override { return Rows.size(); }
    TDebugRowView Row(size_t i) const override {
        TDebugRowView v;
        v.Group = Rows[i].Group;
        v.Kind = Rows[i].Kind;
        v.Text = Rows[i].Text;
        v.Time = Rows[i].Time;
        return v;
    }
};

struct TFakeListBox : IMessageListBox {
    std::vector<std::string> Captions{"No.", "Message"};
    std::vector<std::string> Items;
    int ColumnCount() const override { return int(Captions.size()); }
    std::string ColumnCaption(int c) const override { return Captions[size_t(c)]; }
    size_t ItemCount() const override { return Items.size(); }
    std::string Item(size_t i) const override { return Items[i]; }
    char Delimiter() const override { return '|'; }
    std::string ItemPart(size_t i, int column) const override {
        const std::string& s = Items[i];
        size_t start = 0;
        for (int c = 0; c < column; ++c) {
            start = s.find('|', start);
            if (start == std::string::npos) return "";
            ++start;
        }
        return s.substr(start, s.find('|', start) - start);
    }
};

} // namespace vxtest
