// The export component's properties, names, shared cell routines and the
// order and error handling of ExportData and WriteDocument.
#include "ExportTestSupport.h"

#include "export/vxExportFormat.h"

#include <gtest/gtest.h>

using namespace vxtest;

TEST(ExportProperties, DefaultsAndSetterRules) {
    TFakePlatform fake;
    fake.Files.Temp = "C:\\Temp\\";
    TTestSource e(fake.Services());
    EXPECT_EQ(e.ExportType(), xtExcel);
    EXPECT_EQ(e.ExportTypes().ToBits(), 0x3FF);
    EXPECT_EQ(e.ExportStyle, xsView);
    EXPECT_EQ(e.Options.ToBits(), 0b10011101101); // ClipboardMessage..UseAlignments defaults
    EXPECT_EQ(e.Version(), "1.46");
    EXPECT_EQ(e.TempDir(), "C:\\Temp\\");
    EXPECT_EQ(e.DateTimeFormat, "M/d/yyyy h:mm tt");
    EXPECT_EQ(e.Messages.Caption, "Export");

    // The current type is always offered.
    e.SetExportTypes(TvxExportTypeSet{xtCSV});
    EXPECT_EQ(e.ExportTypes(), (TvxExportTypeSet{xtCSV, xtExcel}));
    e.SetExportType(xtDIF);
    EXPECT_TRUE(e.ExportTypes().Has(xtDIF));

    // A row-number format must contain %d somewhere.
    e.SetRowNumberFormat("No. %d:");
    EXPECT_EQ(e.RowNumberFormat(), "No. %d:");
    e.SetRowNumberFormat("#");
    EXPECT_EQ(e.RowNumberFormat(), "No. %d:");
    ASSERT_EQ(fake.Dialogs.Errors.size(), 1u);
    EXPECT_EQ(fake.Dialogs.Errors[0], "The format has to contain %d string.");

    // TempDir compares folders without case and one trailing backslash.
    EXPECT_FALSE(e.TempDirStored());
    e.SetTempDir("c:\\temp");
    EXPECT_EQ(e.TempDir(), "C:\\Temp\\");
    e.SetTempDir("D:\\Work\\");
    EXPECT_EQ(e.TempDir(), "D:\\Work\\");
    EXPECT_TRUE(e.TempDirStored());
    fake.Files.Temp = "C:\\";
    e.SetTempDir("C:"); // a drive root keeps its backslash: C: is another folder
    EXPECT_EQ(e.TempDir(), "C:");
    EXPECT_TRUE(e.TempDirStored());
}

TEST(ExportProperties, ExtensionsAndFilterStrings) {
    TFakePlatform fake;
    TTestSource e(fake.Services());
    const std::pair<TvxExportType, const char*> expected[] = {
        {xtHTML, "HTML Documents (*.html)|*.HTML"},
        {xtWord, "Word Documents (*.doc)|*.DOC"},
        {xtTAB, "Text (Tab delimited) (*.txt)|*.TXT"},
        {xtSYLK, "SYLK Files (*.slk)|*.SLK"},
    };
    for (auto& [type, filter] : expected) {
        e.SetExportType(type);
        EXPECT_EQ(e.FilterString(), filter);
    }
    e.SetExportType(xtHTML);
    e.HTML.Extension = exHTM;
    EXPECT_EQ(e.DefaultExtension(), "HTM");
    e.SetExportType(xtClipboard);
    EXPECT_EQ(e.DefaultExtension(), "TMP");
}

TEST(ExportRoutines, CellTextWidthsAndRowNumbers) {
    TExportFixture f;
    TTestSource& e = f.Source;
    EXPECT_EQ(e.CellText(TVariant::Null(), 0), "** NULL **");
    EXPECT_EQ(e.CellText(TVariant(42), 0), "42");
    EXPECT_EQ(e.CellText(TVariant(true), 0), "True");
    EXPECT_EQ(e.CellText(TVariant("abcdefgh"), 5), "abcdefgh");
    e.Options.Include(xoTruncate);
    EXPECT_EQ(e.CellText(TVariant("abcdefgh"), 5), "ab...");
    EXPECT_EQ(e.CellText(TVariant("abcde"), 5), "abcde");
    EXPECT_EQ(e.CellText(TVariant("abcdefgh"), 0), "abcdefgh");
    EXPECT_EQ(e.CellText(TVariant("abcdefgh"), 2), "...");

    // Only a whole integer overrides the source's width.
    e.SetColumnWidths({"5%", "12"});
    EXPECT_EQ(e.EffectiveColumnWidth(0, 6), 6);
    EXPECT_EQ(e.EffectiveColumnWidth(1, 6), 12);
    EXPECT_EQ(e.EffectiveColumnWidth(2, 6), 6); // beyond the column count

    // The number width is that of the record count; a format that cannot
    // take an integer falls back to %d for both.
    e.SetExportType(xtTXT);
    e.RecordCount = 120;
    e.ExportedCount = 0;
    EXPECT_EQ(e.RowNumberCell(), "  1");
    e.SetRowNumberFormat("[%d]");
    EXPECT_EQ(e.RowNumberCell(), "  [1]");
    e.SetRowNumberFormat("%d %s");
    EXPECT_EQ(e.RowNumberCell(), "  1");
    e.SetRowNumberFormat("%.4d"); // no "%d" in it: refused
    e.ExportedCount = 6;
    EXPECT_EQ(e.RowNumberCell(), "  7");
}

TEST(ExportRoutines, FormatStringsOfOneArgument) {
    std::string s;
    EXPECT_TRUE(FormatInteger("%5d|%-4d|", 42, s) == false); // two arguments wanted
    EXPECT_TRUE(FormatInteger("%5d%%", 42, s));
    EXPECT_EQ(s, "   42%");
    EXPECT_TRUE(FormatInteger("%0:d-%0:x", 255, s));
    EXPECT_EQ(s, "255-FF");
    EXPECT_TRUE(FormatInteger("%.3d", -7, s));
    EXPECT_EQ(s, "-007");
    EXPECT_FALSE(FormatInteger("%s", 1, s));
    EXPECT_FALSE(FormatInteger("%*d", 1, s));
    EXPECT_FALSE(FormatInteger("%1:d", 1, s));
    EXPECT_FALSE(FormatInteger("50%", 1, s));
    EXPECT_TRUE(FormatString("Created: %s", "today", s));
    EXPECT_EQ(s, "Created: today");
    EXPECT_FALSE(FormatString("%d %s", "x", s));
}

// The writers copy a value whole unless a scan, eight bytes at a time, finds
// a byte they must shape: a missed byte would reach the document unescaped.
TEST(ExportRoutines, ScansFindTheirBytesAtEveryPlaceAndNoOthers) {
    struct TScan {
        bool (*Has)(std::string_view);
        std::string Bytes;
        bool High;
    };
    const TScan scans[] = {
        {HasTabOrBreak, "\t\r\n", false},   {HasBreakOrSemicolon, "\r\n;", false},
        {HasBreakOrQuote, "\r\n\"", false}, {HasHTMLSpecial, std::string("&<>\"\r\n\0", 7), false},
        {HasRTFSpecial, "\\{}\r\n", true},
    };
    for (const TScan& scan : scans) {
        std::string others;
        for (int c = 1; c < 256; ++c)
            if (scan.Bytes.find(char(c)) == std::string::npos && !(scan.High && c >= 128))
                others += char(c);
        EXPECT_FALSE(scan.Has(others)) << scan.Bytes;
        std::string bytes = scan.Bytes;
        if (scan.High) bytes += "\x80\xff";
        for (char b : bytes)
            for (size_t at = 0; at < 21; ++at) {
                std::string text(21, 'a');
                text[at] = b;
                EXPECT_TRUE(scan.Has(text)) << int(b) << " at " << at;
            }
    }
    // CSV: each byte that asks for quotes, in a whole word and in the tail.
    for (char b : std::string(" ,\"\r\n"))
        for (size_t at : {0, 9, 18}) {
            std::string text(19, 'a'), quoted;
            text[at] = b;
            AppendQuoted(quoted, text, false);
            EXPECT_EQ(quoted.front(), '"') << int(b) << " at " << at;
        }
    std::string plain;
    AppendQuoted(plain, "abcdefghijklmnopq+-./", false);
    EXPECT_EQ(plain, "abcdefghijklmnopq+-./");
}

TEST(ExportData, ReportsMissingSourceAndFileName) {
    TExportFixture f;
    f.Source.Attached = false;
    f.Source.ExportData();
    EXPECT_EQ(f.Errors, std::vector<TvxExportError>{xeNoSource});
    EXPECT_EQ(f.Source.Opened, 0);
    EXPECT_EQ(f.Begun, 0);

    f.Errors.clear();
    f.Source.Attached = true;
    f.Source.FileName.clear();
    f.Source.SetExportType(xtCSV);
    f.Source.ExportData();
    EXPECT_EQ(f.Errors, std::vector<TvxExportError>{xeNoFileName});
    EXPECT_EQ(f.Source.Closed, 1);
    EXPECT_EQ(f.Begun, 0);

    // The clipboard needs no file name.
    f.Errors.clear();
    f.Source.SetExportType(xtClipboard);
    f.Source.ExportData();
    EXPECT_TRUE(f.Errors.empty());
    EXPECT_EQ(f.Fake.Clipboard.SetCount, 1);
}

TEST(ExportData, SourceWithoutColumnsWritesNothing) {
    TExportFixture f;
    f.Source.Caps.clear();
    EXPECT_EQ(f.Export(xtTXT), "");
    EXPECT_EQ(f.Begun, 1);
    EXPECT_EQ(f.Ended, 0);
    EXPECT_TRUE(f.Errors.empty());
    EXPECT_TRUE(f.Folder.Files().empty());
}

TEST(ExportData, ExistingFileAndRefusedOverwrite) {
    TExportFixture f;
    f.SmallTable();
    WriteFile(f.Folder / "out.CSV", "old");
    f.Source.FileName = f.Folder / "out.any";
    std::string asked;
    f.Source.OnFileExist = [&](TvxCustomExport&, const std::string& name, bool& can) {
        asked = name;
        can = false;
    };
    f.Export(xtCSV);
    EXPECT_EQ(asked, f.Folder / "out.CSV");
    // The refusal ends the document, which is then reported as failed too.
    EXPECT_EQ(f.Errors, (std::vector<TvxExportError>{xeFileExists, xeExportFailed}));
    EXPECT_EQ(f.Ended, 1);
    EXPECT_EQ(ReadFile(f.Folder / "out.CSV"), "old");

    // Allowed: the new document replaces the old one.
    f.Errors.clear();
    f.Source.OnFileExist = nullptr;
    EXPECT_EQ(f.Export(xtCSV), Lines({"Name,Value", "ab,cde", "fgh,ij"}));
    EXPECT_TRUE(f.Errors.empty());
    EXPECT_EQ(f.Folder.Files(), std::vector<std::string>{"out.CSV"});
}

TEST(ExportData, FailedExportKeepsTheOldFileAndLeavesNoPart) {
    TExportFixture f;
    f.SmallTable();
    for (int i = 0; i < 3000; ++i)
        f.Source.Records.push_back({TVariant(std::string(200, 'x')), TVariant(i)});
    WriteFile(f.Folder / "out.TXT", "old document");
    f.Source.OnExport = [](TvxCustomExport& e, uint32_t current, uint32_t, TvxValues&, bool) {
        if (current == 2500) throw std::runtime_error("handler failed");
        (void)e;
    };
    f.Export(xtTXT);
    EXPECT_EQ(f.Errors, std::vector<TvxExportError>{xeExportFailed});
    EXPECT_EQ(f.Ended, 1);
    EXPECT_EQ(ReadFile(f.Folder / "out.TXT"), "old document");
    EXPECT_EQ(f.Folder.Files(), std::vector<std::string>{"out.TXT"});

    // A target in a folder that does not exist fails cleanly too.
    f.Errors.clear();
    f.Source.OnExport = nullptr;
    f.Source.FileName = f.Folder / "missing/out.txt";
    f.Export(xtTXT);
    EXPECT_EQ(f.Errors, std::vector<TvxExportError>{xeExportFailed});
}

TEST(ExportData, ViewStylePicksFreeTemporaryNamesAndOpensTheDocument) {
    TExportFixture f;
    f.SmallTable();
    f.Source.ExportStyle = xsView;
    f.Source.SetExportType(xtCSV);
    std::string ext;
    f.Source.OnGetExtension = [&](TvxCustomExport&, std::string& e) {
        ext = e;
        e = "dat";
    };
    f.Source.ExportData();
    f.Source.ExportData();
    EXPECT_EQ(ext, "CSV");
    EXPECT_EQ(f.Folder.Files(), (std::vector<std::string>{"VEX1.dat", "VEX2.dat"}));
    ASSERT_EQ(f.Fake.Shell.Calls.size(), 2u);
    EXPECT_EQ(f.Fake.Shell.Calls[1].Target, f.Folder / "VEX2.dat");
    EXPECT_EQ(f.Fake.Shell.Calls[1].Folder, f.Folder.Path);
    EXPECT_EQ(f.Fake.Shell.Calls[1].ShowCmd, 4);

    // A document that was not written is not opened.
    f.Source.OnGetHeader = [](TvxCustomExport&, uint32_t, std::string&) {
        throw std::runtime_error("x");
    };
    f.Source.ExportData();
    EXPECT_EQ(f.Fake.Shell.Calls.size(), 2u);
    EXPECT_EQ(f.Errors, std::vector<TvxExportError>{xeExportFailed});
}

TEST(ExportData, OnExportSeesEveryRecordAndMayChangeValues) {
    TExportFixture f;
    f.Source.Records = {{TVariant("a"), TVariant("1")},
                        {TVariant("b"), TVariant("2")},
                        {TVariant("c"), TVariant("3")},
                        {TVariant("d"), TVariant("4")}};
    f.Source.Selected = {true, false, true, true};
    f.Source.Options.Include(xoSelectedRowsOnly);
    f.Source.Options.Include(xoRowNumbers);
    std::vector<std::pair<uint32_t, bool>> seen;
    f.Source.OnExport = [&](TvxCustomExport& e, uint32_t current, uint32_t total, TvxValues& v,
                            bool can) {
        EXPECT_EQ(total, 4u);
        EXPECT_EQ(e.RecordIndex, int32_t(current));
        seen.emplace_back(current, can);
        if (current == 2) v[1] = TVariant("changed");
        can = true; // a copy: the skipped record stays skipped
    };
    EXPECT_EQ(f.Export(xtCSV), Lines({",Name,Value", "1,a,1", "2,c,changed", "3,d,4"}));
    EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, bool>>{
                        {0, true}, {1, false}, {2, true}, {3, true}}));
    EXPECT_EQ(f.Source.ExportedCount, 3);
    EXPECT_EQ(f.Source.RecordIndex, 4);
}

struct TScriptedUI : IExportUI {
    bool Answer = true;
    int Asked = 0;
    std::vector<int> Positions;
    int Shown = 0;
    struct TProgress : IExportProgress {
        std::vector<int>* Positions;
        void SetPosition(int p) override { Positions->push_back(p); }
    };
    bool SelectFormat(TvxCustomExport& e) override {
        ++Asked;
        e.SetExportType(xtCSV);
        e.ExportStyle = xsFile;
        return Answer;
    }
    std::unique_ptr<IExportProgress> ShowProgress(TvxCustomExport&, int max) override {
        Shown = max;
        auto p = std::make_unique<TProgress>();
        p->Positions = &Positions;
        return p;
    }
};

TEST(ExportExecute, FormatDialogSaveDialogAndProgress) {
    TExportFixture f;
    f.SmallTable();
    TScriptedUI ui;
    f.Source.SetUI(&ui);
    f.Source.FileName.clear();

    ui.Answer = false;
    f.Source.Execute();
    EXPECT_TRUE(f.Errors.empty());
    EXPECT_EQ(f.Begun, 0);
    EXPECT_EQ(f.Source.ExportType(), xtCSV); // choices stay, even when cancelled

    // File style without a name asks for one; cancelling reports it.
    ui.Answer = true;
    f.Source.Execute();
    EXPECT_EQ(f.Errors, std::vector<TvxExportError>{xeSaveCancelled});
    ASSERT_EQ(f.Fake.Dialogs.SaveDialogs.size(), 1u);
    EXPECT_EQ(f.Fake.Dialogs.SaveDialogs[0].Filter, "CSV (Comma delimited) (*.csv)|*.CSV");
    EXPECT_EQ(f.Fake.Dialogs.SaveDialogs[0].Title, "Save document");
    EXPECT_EQ(f.Fake.Dialogs.SaveDialogs[0].DefaultExt, "CSV");

    f.Errors.clear();
    f.Fake.Dialogs.SaveAnswers.push_back(f.Folder / "chosen.csv");
    f.Source.Execute();
    f.Source.Execute(); // the chosen name is kept: no second dialog
    EXPECT_EQ(f.Fake.Dialogs.SaveDialogs.size(), 2u);
    EXPECT_EQ(f.Source.FileName, f.Folder / "chosen.csv");
    EXPECT_EQ(ReadFile(f.Folder / "chosen.CSV"), Lines({"Name,Value", "ab,cde", "fgh,ij"}));
    EXPECT_EQ(ui.Shown, 2);
    EXPECT_EQ(ui.Positions, (std::vector<int>{0, 1, 0, 1}));
    EXPECT_TRUE(f.Errors.empty());
}
