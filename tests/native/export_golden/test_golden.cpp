// Every output type written from one small table and compared byte for byte
// with its golden document under tests/golden. Run with VX_UPDATE_GOLDEN=1
// to write the golden documents again after an intended change (and open
// them once in LibreOffice: the interop test interop_export does).
#include "GoldenTable.h"
#include "export/vxDocumentWriter.h"
#include "export/vxExportOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vxtest;

namespace {

std::string GoldenPath(const char* file) {
    return std::string(VX_GOLDEN_DIR) + "/" + file;
}

// Offset of the first differing byte, for a readable failure.
size_t FirstDifference(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return i;
    return n;
}

// The golden table written by the type's writer alone: its options, its sink
// and each row's formatted cells made here, as the export component would
// make them, with no component in between.
std::string WriteAlone(TExportFixture& f, TvxExportType type) {
    FillGoldenTable(f);
    TTestSource& s = f.Source;
    const int columns = int(s.Caps.size());
    const int32_t records = int32_t(s.Records.size());
    TvxWriterOptions o;
    o.Options = s.Options;
    o.HTML = s.HTML;
    o.RTF = s.DOC_RTF;
    o.Excel = s.EXCEL;
    o.Title = s.ClassName();
    o.ColumnCount = o.WrittenColumnCount = columns;
    o.RecordCount = records;
    o.CopiedToClipboard = s.Messages.CopiedToClipboard;
    o.Locale = &f.Fake.Locale;
    o.CodePage = f.Fake.Locale.AnsiCodePage();
    o.Fonts = &f.Fake.Fonts;
    o.PixelsPerInch = f.Fake.Screen.PixelsPerInchY();
    o.Clipboard = &f.Fake.Clipboard;
    o.Dialogs = &f.Fake.Dialogs;
    o.Sheet = &s.NativeExcel();
    o.OnError = [&f](TvxExportError e) { f.Errors.push_back(e); };

    TvxOutput out;
    std::unique_ptr<TvxDocumentWriter> w = CreateDocumentWriter(type, out, o);
    const std::string path = f.Folder / "alone";
    if (w->WritesToMemory())
        out.OpenMemory();
    else
        out.OpenFile(path, !w->WritesOwnFile());

    // Row numbers "%d.", as wide as the last one; every column is written.
    const int numberWidth = int(std::to_string(records).size()) + 1;
    std::vector<TvxCellInfo> cells(static_cast<size_t>(columns));
    auto row = [&](const TvxValues& values, bool header, int32_t index, std::string_view number) {
        TvxFormattedRow r;
        r.Header = header;
        r.RowNumber = !header;
        r.Number = number;
        r.NumberWidth = numberWidth;
        r.RecordIndex = index;
        r.OutputRow = header ? 1 : index + 2;
        for (int c = 0; c < columns; ++c) {
            TvxCellInfo& cell = cells[size_t(c)];
            cell.Column = c;
            cell.Position = c + (header ? 0 : 1);
            cell.Text = values[size_t(c)].AsString();
            cell.Width = s.Widths[size_t(c)];
            cell.Alignment = s.Aligns[size_t(c)];
            cell.Value = &values[size_t(c)];
            cell.Header = header;
        }
        r.Cells = cells.data();
        r.Count = cells.size();
        return r;
    };
    // The line under the captions and above the footer: as wide as a text row.
    std::string separator;
    if (type == xtHTML) separator = "  <HR>";
    if (type == xtTXT || type == xtClipboard) {
        TvxFormattedRow numberOnly;
        numberOnly.RowNumber = true;
        numberOnly.Number = "1.";
        numberOnly.NumberWidth = numberWidth;
        std::string numberCell;
        w->AppendCells(numberCell, numberOnly);
        size_t width = size_t(columns - 1) + numberCell.size() + 1;
        for (int c : s.Widths)
            width += size_t(c);
        separator.assign(width, '-');
    }

    TvxValues captions;
    for (const std::string& c : s.Caps)
        captions.push_back(TVariant(c));
    w->Prologue();
    w->HeaderText({"Debug list", std::to_string(records) + " messages"});
    w->CaptionRow(row(captions, true, 0, "1."));
    w->HeaderSeparator(separator);
    for (int32_t r = 0; r < records && w->CanWriteRecord(); ++r) {
        w->BeginRecord();
        const std::string number = std::to_string(r + 1) + ".";
        w->DataRow(row(s.Records[size_t(r)], false, r, number));
    }
    w->EndTable();
    w->Footer({"End of list"}, separator, s.CreatedLine());
    w->Epilogue();
    out.Commit();
    std::string doc = type == xtClipboard ? f.Fake.Clipboard.Text : ReadFile(path);
    return MaskVolatile(doc, s.CreatedLine());
}

} // namespace

TEST(Golden, EveryTypeWritesItsGoldenDocument) {
    const bool update = std::getenv("VX_UPDATE_GOLDEN") != nullptr;
    for (const TGoldenType& g : kGoldenTypes) {
        SCOPED_TRACE(g.File);
        TExportFixture f;
        std::string doc = ExportGolden(f, g.Type);
        ASSERT_TRUE(f.Source.LastExportWritten());
        ASSERT_TRUE(f.Errors.empty());
        const std::string path = GoldenPath(g.File);
        if (update) WriteFile(path, doc);
        ASSERT_TRUE(FileExists(path)) << "missing golden document; make it with VX_UPDATE_GOLDEN=1";
        std::string golden = ReadFile(path);
        size_t at = FirstDifference(doc, golden);
        EXPECT_TRUE(doc == golden)
            << "differs at byte " << at << " (written " << doc.size() << " bytes, golden "
            << golden.size() << ")\nwritten: " << doc.substr(at > 40 ? at - 40 : 0, 120);
    }
}

// The mask must catch the created line: a document written a minute later
// compares equal, and the line is really there to be masked.
TEST(Golden, CreatedLineIsMaskedInEveryTextType) {
    for (TvxExportType type : {xtTXT, xtHTML, xtRTF, xtExcel}) {
        TExportFixture early, late;
        late.Fake.Clock.Value += 1.0 / 1440;
        std::string a = ExportGolden(early, type);
        EXPECT_NE(a.find("Created: ###"), std::string::npos) << int(type);
        EXPECT_EQ(a, ExportGolden(late, type)) << int(type);
    }
}

// A writer needs nothing but its sink, its options and the formatted rows:
// each one alone writes the same golden document as through the export.
TEST(Golden, EveryWriterAloneWritesItsGoldenDocument) {
    for (const TGoldenType& g : kGoldenTypes) {
        SCOPED_TRACE(g.File);
        TExportFixture f;
        std::string doc = WriteAlone(f, g.Type);
        EXPECT_TRUE(f.Errors.empty());
        std::string golden = ReadFile(GoldenPath(g.File));
        size_t at = FirstDifference(doc, golden);
        EXPECT_TRUE(doc == golden)
            << "differs at byte " << at << " (written " << doc.size() << " bytes, golden "
            << golden.size() << ")\nwritten: " << doc.substr(at > 40 ? at - 40 : 0, 120);
    }
}
