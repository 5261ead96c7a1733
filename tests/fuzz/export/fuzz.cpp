// The export writers, fed random cell texts, captions, widths and options of
// every output type. Each document must hold its type's shape whatever the
// data: HTML has no markup but the writer's own, Rich Text has balanced
// groups, every CSV record parses back to its cells, and the spreadsheet's
// BIFF records walk from BOF to EOF.
#include "FuzzSupport.h"
#include "export/vxExportFormat.h"
#include "native/export/ExportTestSupport.h"
#include "support/BiffReader.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <set>

using namespace vx;
using namespace vxtest;
using vxfuzz::Check;

namespace {

// Header and footer lines are the program's own text (HTML takes them as
// markup): letters, digits and blanks only.
std::string Plain(std::string s) {
    for (char& c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != ' ' && c != '\n') c = ' ';
    return s;
}

TVariant Value(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0:
        return TVariant();
    case 1:
        return TVariant(in.ConsumeIntegral<int>());
    case 2:
        return TVariant(in.ConsumeFloatingPoint<double>());
    case 3:
        return TVariant(in.ConsumeBool());
    case 4:
        return TVariant(in.ConsumeIntegral<int64_t>());
    default:
        return TVariant(in.ConsumeRandomLengthString(40));
    }
}

// ---- HTML: only the writer's tags, attributes quoted, entities whole ----

void CheckHTML(const std::string& doc) {
    static const std::set<std::string> kTags = {"HTML", "HEAD",  "META", "TITLE", "BODY",
                                                "FONT", "TABLE", "TR",   "TD",    "B",
                                                "A",    "small", "HR"};
    size_t i = 0;
    while (i < doc.size()) {
        char c = doc[i];
        if (c == '<') {
            if (doc.compare(i, 4, "<!--") == 0) {
                size_t end = doc.find("-->", i + 4);
                Check(end != std::string::npos, "an HTML comment is closed");
                i = end + 3;
                continue;
            }
            size_t j = i + 1;
            if (j < doc.size() && doc[j] == '/') ++j;
            size_t name = j;
            while (j < doc.size() && std::isalpha(static_cast<unsigned char>(doc[j])))
                ++j;
            Check(kTags.count(doc.substr(name, j - name)) == 1,
                  "an HTML tag is one the writer makes");
            for (;;) {
                while (j < doc.size() && doc[j] == ' ')
                    ++j;
                Check(j < doc.size(), "an HTML tag is closed");
                if (doc[j] == '>') break;
                size_t attr = j;
                while (j < doc.size() &&
                       (std::isalpha(static_cast<unsigned char>(doc[j])) || doc[j] == '-'))
                    ++j;
                Check(j > attr, "an HTML attribute has a name");
                while (j < doc.size() && doc[j] == ' ')
                    ++j;
                Check(j < doc.size() && doc[j] == '=', "an HTML attribute has a value");
                ++j;
                while (j < doc.size() && doc[j] == ' ')
                    ++j;
                Check(j < doc.size() && doc[j] == '"', "an HTML attribute value is quoted");
                size_t end = doc.find('"', j + 1);
                Check(end != std::string::npos, "an HTML attribute value is closed");
                std::string_view v(doc.data() + j + 1, end - j - 1);
                if (v.find_first_of("<>") != std::string_view::npos)
                    std::fprintf(stderr, "attribute value: [%.*s]\n", int(v.size()), v.data());
                Check(v.find_first_of("<>") == std::string_view::npos,
                      "an HTML attribute value holds no markup");
                j = end + 1;
            }
            i = j + 1;
        } else if (c == '&') {
            size_t j = i + 1;
            if (j < doc.size() && doc[j] == '#') ++j;
            size_t start = j;
            while (j < doc.size() && std::isalnum(static_cast<unsigned char>(doc[j])))
                ++j;
            Check(j > start && j < doc.size() && doc[j] == ';', "an HTML entity is whole");
            i = j + 1;
        } else {
            Check(c != '>' && c != '"', "HTML text holds no stray markup");
            ++i;
        }
    }
}

// ---- Rich Text: one group, balanced, nothing after it ----

void CheckRTF(const std::string& doc) {
    Check(!doc.empty() && doc[0] == '{', "a Rich Text document opens with a group");
    int depth = 0;
    for (size_t i = 0; i < doc.size(); ++i) {
        char c = doc[i];
        if (c == '\\') {
            ++i; // the escaped byte or the control word's first letter
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            --depth;
            Check(depth >= 0, "a Rich Text group closes only what is open");
            if (depth == 0)
                Check(doc.find_first_not_of("\r\n", i + 1) == std::string::npos,
                      "nothing follows a Rich Text document's group");
        }
        Check(static_cast<unsigned char>(c) < 0x80, "Rich Text is 7-bit");
    }
    Check(depth == 0, "every Rich Text group is closed");
}

// ---- CSV: records parse back to the cells ----

std::vector<std::vector<std::string>> ParseCSV(const std::string& doc) {
    std::vector<std::vector<std::string>> records;
    size_t i = 0;
    while (i < doc.size()) {
        std::vector<std::string> fields;
        for (;;) {
            std::string f;
            if (i < doc.size() && doc[i] == '"') {
                ++i;
                for (;;) {
                    Check(i < doc.size(), "a quoted CSV field is closed");
                    if (doc[i] == '"') {
                        if (i + 1 < doc.size() && doc[i + 1] == '"') {
                            f += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    f += doc[i++];
                }
            } else {
                while (i < doc.size() && doc[i] != ',' && doc[i] != '\r' && doc[i] != '\n') {
                    Check(doc[i] != '"', "an unquoted CSV field holds no quote");
                    f += doc[i++];
                }
            }
            fields.push_back(f);
            if (i < doc.size() && doc[i] == ',') {
                ++i;
                continue;
            }
            Check(doc.compare(i, 2, "\r\n") == 0, "a CSV record ends with CR LF");
            i += 2;
            break;
        }
        records.push_back(fields);
    }
    return records;
}

std::string CRLF(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string CSVCell(const TTestSource& s, const TVariant& v, int width) {
    std::string text = s.CellText(v, width);
    if (LooksLikeFormula(text)) text.insert(0, 1, '\'');
    return CRLF(text);
}

void CheckCSV(const std::string& doc, TTestSource& s) {
    std::vector<std::vector<std::string>> want;
    const bool invisibles = s.Options.Has(xoExportInvisibles),
               numbers = s.Options.Has(xoRowNumbers);
    auto written = [&](size_t col) { return invisibles || s.IsColumnVisible(int(col)); };
    size_t columns = 0;
    for (size_t c = 0; c < s.Caps.size(); ++c)
        columns += written(c);
    if (columns == 0) return; // the row numbers alone, with a caption placeholder: no table
    if (s.Options.Has(xoShowHeader)) {
        std::vector<std::string> r;
        if (numbers) r.push_back("");
        for (size_t c = 0; c < s.Caps.size(); ++c)
            if (written(c)) r.push_back(CSVCell(s, TVariant(s.Caps[c]), s.Widths[c]));
        want.push_back(r);
    }
    int exported = 0;
    for (size_t row = 0; row < s.Records.size(); ++row) {
        if (s.Options.Has(xoSelectedRowsOnly) && !s.IsRecordSelected(int(row))) continue;
        std::vector<std::string> r;
        if (numbers)
            r.push_back(std::to_string(++exported) + (s.RowNumberFormat() == "%d." ? "." : ""));
        for (size_t c = 0; c < s.Caps.size(); ++c)
            if (written(c)) r.push_back(CSVCell(s, s.Records[row][c], s.Widths[c]));
        want.push_back(r);
    }
    // A record of no cells is no line at all.
    std::erase_if(want, [](const std::vector<std::string>& r) { return r.empty(); });
    if (ParseCSV(doc) != want) {
        std::fprintf(stderr, "document:\n%s\nexpected records:\n", doc.c_str());
        for (auto& r : want) {
            for (auto& f : r)
                std::fprintf(stderr, "[%s]", f.c_str());
            std::fprintf(stderr, "\n");
        }
    }
    Check(ParseCSV(doc) == want, "every CSV record parses back to its cells");
}

// ---- BIFF: records from BOF to EOF ----

void CheckBIFF(const std::string& doc) {
    Check(doc.size() >= 4 && uint8_t(doc[0]) == 0x09, "the sheet starts with BOF");
    bool whole = false;
    const std::vector<TRecord> records = Records({doc.begin(), doc.end()}, &whole);
    Check(whole, "each BIFF record lies within the stream");
    const auto eof = [](const TRecord& r) { return r.Number == 0x000A; };
    Check(!records.empty() && eof(records.back()) &&
              std::count_if(records.begin(), records.end(), eof) == 1,
          "the BIFF stream ends with its EOF record, and only there");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // One folder for the whole run: every run leaves it as empty as it found it.
    static vxfuzz::TScratchFolder scratch;
    const std::string& folder = scratch.Path;
    TFakePlatform fake; // fresh at every run: the fakes keep what they were asked
    fake.Files.UseRealFiles = true;
    fake.Files.Temp = folder;

    TTestSource s(fake.Services());
    const TvxExportType type =
        TvxExportType(in.ConsumeIntegralInRange<int>(0, kExportTypeCount - 1));
    s.SetExportType(type);
    s.Options = TvxExportOptionSet::FromBits(in.ConsumeIntegral<uint16_t>() & 0x7FF);
    s.Options.Exclude(xoShowProgress);
    s.SetRowNumberFormat(in.ConsumeBool() ? "%d" : "%d.");
    if (in.ConsumeBool()) s.TruncateSymbol = in.ConsumeRandomLengthString(4);
    s.HTML.Options = TvxExportHTMLOptionSet::FromBits(in.ConsumeIntegral<uint8_t>() & 0x1F);
    s.HTML.Template = TvxHTMLColorTemplate(in.ConsumeIntegralInRange<int>(0, ctCustom));
    s.HTML.Title = in.ConsumeRandomLengthString(20);
    s.HTML.CustomColors.TableFontFace = in.ConsumeRandomLengthString(12);
    s.DOC_RTF.Template = TvxRTFColorTemplate(in.ConsumeIntegralInRange<int>(0, rtCustom));
    s.DOC_RTF.Options = TvxExportRTFOptionSet::FromBits(in.ConsumeIntegral<uint8_t>() & 3);
    s.DOC_RTF.CellWidth = in.ConsumeIntegralInRange<int32_t>(-10, 100000);
    s.DOC_RTF.CustomSettings.TableFont.Name = in.ConsumeRandomLengthString(12);
    s.EXCEL.Options = TvxExportExcelOptionSet::FromBits(in.ConsumeIntegral<uint8_t>() & 0xF);
    s.EXCEL.ExcelVersion = TvxExcelVersion(in.ConsumeIntegralInRange<int>(0, xls50));
    s.EXCEL.ColumnWidth = in.ConsumeIntegralInRange<int32_t>(0, 255); // the program's own setting
    s.EXCEL.Header = in.ConsumeRandomLengthString(12);

    const size_t columns = in.ConsumeIntegralInRange<size_t>(1, 6);
    s.Caps.clear();
    s.Widths.clear();
    TStringList widths;
    for (size_t c = 0; c < columns; ++c) {
        s.Caps.push_back(in.ConsumeRandomLengthString(16));
        s.Widths.push_back(in.ConsumeIntegralInRange<int>(-2, 40));
        s.Aligns.push_back(in.ConsumeIntegralInRange<uint8_t>(0, 4));
        s.Visible.push_back(in.ConsumeIntegralInRange<int>(0, 7) != 0);
        if (in.ConsumeBool()) widths.push_back(in.ConsumeRandomLengthString(6));
    }
    if (type != xtCSV) s.SetColumnWidths(widths); // CSV's check reads the source's own widths
    const size_t records = in.ConsumeIntegralInRange<size_t>(0, 8);
    for (size_t r = 0; r < records; ++r) {
        TvxValues values;
        for (size_t c = 0; c < columns; ++c)
            values.push_back(Value(in));
        s.Records.push_back(values);
        s.Selected.push_back(in.ConsumeBool());
    }
    std::string header = Plain(in.ConsumeRandomLengthString(30));
    std::string footer = Plain(in.ConsumeRandomLengthString(30));
    s.OnGetHeader = [&](TvxCustomExport&, uint32_t, std::string& h) { h = header; };
    s.OnGetFooter = [&](TvxCustomExport&, uint32_t, std::string& f) { f = footer; };
    bool failed = false;
    s.OnError = [&](TvxCustomExport&, TvxExportError e) {
        std::fprintf(stderr, "type %d: error %d\n", int(type), int(e));
        failed = true;
    };

    const std::string target = folder + "out." + s.DefaultExtension();
    s.WriteDocument(target);
    Check(!failed && s.LastExportWritten(), "the document is written");
    std::string doc = type == xtClipboard ? fake.Clipboard.Text : ReadFile(target);
    std::remove(target.c_str());
    Check(std::filesystem::is_empty(folder), "no temporary file is left behind");

    switch (type) {
    case xtHTML:
        CheckHTML(doc);
        break;
    case xtRTF:
    case xtWord:
        CheckRTF(doc);
        break;
    case xtCSV:
        CheckCSV(doc, s);
        break;
    case xtExcel:
        CheckBIFF(doc);
        break;
    default:
        break;
    }
    return 0;
}
