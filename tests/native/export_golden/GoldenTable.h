// The small table every golden document is made from: header and footer
// texts, row numbers, three alignments, 8-bit text, a formula-like value, a
// line break, a TAB and whole numbers. Shared by the golden comparison and
// the interop check that LibreOffice reads the golden documents.
#pragma once

#include "native/export/ExportTestSupport.h"

#include <string>

namespace vxtest {

struct TGoldenType {
    TvxExportType Type;
    const char* File; // name under the golden folder
};

inline const TGoldenType kGoldenTypes[] = {
    {xtTXT, "table.txt"},     {xtCSV, "table.csv"},
    {xtTAB, "table.tab.txt"}, {xtHTML, "table.html"},
    {xtRTF, "table.rtf"},     {xtWord, "table.doc"},
    {xtSYLK, "table.slk"},    {xtDIF, "table.dif"},
    {xtExcel, "table.xls"},   {xtClipboard, "table.clipboard.txt"},
};

// The cells as sent: captions first.
inline const std::vector<std::vector<std::string>> kGoldenCells = {
    {"Message", "Kind", "Count"},    {"caf\xE9 \xFC\xDF", "Note", "42"},  {"=1+2", "String", "-7"},
    {"two\r\nlines", "a\tb", "1.5"}, {"C:\\dir\\{x}; \"q\"", "<b>", "0"},
};

inline void FillGoldenTable(TExportFixture& f) {
    TTestSource& s = f.Source;
    s.Caps = kGoldenCells[0];
    s.Widths = {14, 8, 6};
    s.Aligns = {1, 3, 2};
    s.Records.clear();
    for (size_t r = 1; r < kGoldenCells.size(); ++r)
        s.Records.push_back({TVariant(kGoldenCells[r][0]), TVariant(kGoldenCells[r][1]),
                             TVariant(kGoldenCells[r][2])});
    s.Options.Include(xoRowNumbers);
    s.Options.Exclude(xoClipboardMessage);
    s.SetRowNumberFormat("%d.");
    s.OnGetHeader = [](TvxCustomExport&, uint32_t count, std::string& h) {
        h = "Debug list\r\n" + std::to_string(count) + " messages";
    };
    s.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& t) { t = "End of list"; };
}

// The created line carries the moment of the export: every occurrence is
// replaced by a marker of the same length, so binary records keep their sizes.
inline std::string MaskVolatile(std::string doc, const std::string& createdLine) {
    const std::string prefix = "Created: ";
    if (createdLine.size() <= prefix.size()) return doc;
    std::string mask = prefix + std::string(createdLine.size() - prefix.size(), '#');
    for (size_t at = doc.find(createdLine); at != std::string::npos;
         at = doc.find(createdLine, at + 1))
        doc.replace(at, createdLine.size(), mask);
    return doc;
}

// Exports the golden table as type; the document comes back masked.
inline std::string ExportGolden(TExportFixture& f, TvxExportType type) {
    FillGoldenTable(f);
    std::string doc = f.Export(type);
    if (type == xtClipboard) doc = f.Fake.Clipboard.Text;
    return MaskVolatile(doc, f.Source.CreatedLine());
}

} // namespace vxtest
