// Enumerations, sets and option objects of the export component.
// Ordinal values are stored in component streams; bit n of a set is ordinal n.
#pragma once

#include "platform/Platform.h"
#include "spreadsheet/vxVariant.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum TvxExportType : uint8_t {
    xtHTML,
    xtExcel,
    xtWord,
    xtTXT,
    xtCSV,
    xtTAB,
    xtRTF,
    xtDIF,
    xtSYLK,
    xtClipboard
};
inline constexpr int kExportTypeCount = 10;

enum TvxExportStyle : uint8_t { xsFile, xsView };

enum TvxExportOption : uint8_t {
    xoClipboardMessage,
    xoExportInvisibles,
    xoFooterLine,
    xoHeaderLine,
    xoRowNumbers,
    xoShowExportDate,
    xoShowHeader,
    xoShowProgress,
    xoSelectedRowsOnly,
    xoTruncate,
    xoUseAlignments,
    // Only the rows the list shows (its filter and rules), where the source
    // knows which those are; last, so that the stored ordinals stay.
    xoVisibleRowsOnly
};

enum TvxExportHTMLOption : uint8_t {
    hoShowGridLines,
    hoBoldHeaders,
    hoAutoLink,
    hoOddRowColoring,
    hoDisplayTitle
};

enum TvxExportRTFOption : uint8_t { roShowGridLines, roOddRowColoring };

enum TvxExportExcelOption : uint8_t {
    reCellsAsText,
    reSetColumnWidths,
    reSetMargins,
    reUseBorders
};

enum TvxExcelVersion : uint8_t { xls21, xls30, xls40, xls50 };

enum TvxHTMLColorTemplate : uint8_t {
    ctStandard,
    ctBW,
    ctClassic,
    ctColorful,
    ctDark,
    ctGray,
    ctMSMoney,
    ctOlive,
    ctCustom
};

enum TvxRTFColorTemplate : uint8_t { rtStandard, rtClassic, rtColorful, rtGray, rtCustom };

enum TvxHTMLExtension : uint8_t { exHTM, exHTML };

enum TvxExportError : uint8_t {
    xeNoFileName = 0,
    xeFileExists = 1,
    xeNoSource = 2,
    xeExportFailed = 3,
    xeSaveCancelled = 4
};

// A set over an enumeration, stored as its bit mask (bit n = ordinal n).
template <typename E, typename Bits> class TvxSet {
  public:
    constexpr TvxSet() = default;
    constexpr TvxSet(std::initializer_list<E> items) {
        for (E e : items)
            bits_ |= Bit(e);
    }
    static constexpr TvxSet FromBits(Bits bits) {
        TvxSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr bool Has(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr void Include(E e) { bits_ |= Bit(e); }
    constexpr void Exclude(E e) { bits_ &= Bits(~Bit(e)); }
    constexpr Bits ToBits() const { return bits_; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TvxSet&) const = default;

  private:
    static constexpr Bits Bit(E e) { return Bits(Bits(1) << unsigned(e)); }
    Bits bits_ = 0;
};

using TvxExportTypeSet = TvxSet<TvxExportType, uint16_t>;
using TvxExportOptionSet = TvxSet<TvxExportOption, uint16_t>;
using TvxExportHTMLOptionSet = TvxSet<TvxExportHTMLOption, uint8_t>;
using TvxExportRTFOptionSet = TvxSet<TvxExportRTFOption, uint8_t>;
using TvxExportExcelOptionSet = TvxSet<TvxExportExcelOption, uint8_t>;

// One record's cell values (TvxValues, one TVariant per column) come from
// spreadsheet/vxVariant.h, shared with the spreadsheet writer.
using TStringList = std::vector<std::string>;

// Names shown in the save dialog's file-type filter.
struct TvxDocumentFilter {
    std::string HTML = "HTML Documents";
    std::string Excel = "Excel Files";
    std::string Word = "Word Documents";
    std::string Text = "Text Files";
    std::string Comma = "CSV (Comma delimited)";
    std::string Tab = "Text (Tab delimited)";
    std::string RTF = "Rich Text Format";
    std::string DIF = "Data Interchange Format";
    std::string SYLK = "SYLK Files";
};

// Texts and sizes of the windows the component shows.
struct TvxMessagesOptions {
    std::string Caption = "Export";
    std::string CopiedToClipboard = "Data was copied to clipboard!";
    std::string CreatedText = "Created:";
    std::string Text = "Processing...";
    int32_t Height = 80;
    int32_t Width = 300;
    std::string TrueText = "True";
    std::string FalseText = "False";
    std::string ExportCaption = "&Export";
    std::string CancelCaption = "&Cancel";
    std::string SaveTitle = "Save document";
    std::string SelectFormat = "E&xport formats:";
    std::string ExportToFile = "Export &to file";
    std::string ViewOnly = "&View only";
    std::string VisibleRowsOnly = "Export visible &rows only";
    TvxDocumentFilter DocumentFilter;
};

// Colours of the ctCustom HTML scheme (defaults equal ctStandard).
struct TvxHTMLColors {
    TColor Background = 0xFFFFFF;
    TColor DefaultLink = 0x0000FF;
    std::string DefaultFontFace = "Arial,Helvetica";
    TColor VisitedLink = 0xFFFF00;
    TColor ActiveLink = 0xFF0000;
    TColor DefaultText = 0x000000;
    TColor TableFontColor = 0x000000;
    std::string TableFontFace = "Arial,Helvetica";
    TColor TableBackground = 0xFFFFCF;
    TColor TableOddBackground = 0xFFFFFF;
    TColor HeaderBackground = 0x336699;
    TColor HeadersFontColor = 0xFFFFFF;
    bool operator==(const TvxHTMLColors&) const = default;
};

struct TvxHTMLOptions {
    TvxExportHTMLOptionSet Options{hoShowGridLines, hoBoldHeaders, hoAutoLink, hoOddRowColoring,
                                   hoDisplayTitle};
    TvxHTMLColors CustomColors;
    TvxHTMLExtension Extension = exHTML;
    TvxHTMLColorTemplate Template = ctStandard;
    std::string Title;
};

// Colours and fonts of the RTF and Word documents. The fonts are used whatever
// the template; the colours only under rtCustom.
struct TvxRTFColors {
    TColor TableBackground = RGBColor(207, 255, 255);
    TColor TableOddBackground = RGBColor(255, 255, 255);
    TColor HeaderBackground = RGBColor(153, 102, 51);
    TFont DefaultFont;
    TFont HeaderFont = BoldFont();
    TFont TableFont;
    bool operator==(const TvxRTFColors&) const = default;

    static TFont BoldFont() {
        TFont f;
        f.Bold = true;
        return f;
    }
};

struct TvxRTFOptions {
    TvxRTFColorTemplate Template = rtStandard;
    TvxRTFColors CustomSettings;
    int32_t CellWidth = 1400;
    TvxExportRTFOptionSet Options{roShowGridLines, roOddRowColoring};
    int32_t TopMargin = 101; // twips
    int32_t BottomMargin = 101;
    int32_t LeftMargin = 461;
    int32_t RightMargin = 562;
};

// Settings of the spreadsheet output (fonts 0, 1, 2 of the sheet).
struct TvxExcelOptions {
    TFont DefaultFont;                           // header and footer texts
    TFont HeaderFont = TvxRTFColors::BoldFont(); // caption row
    TFont TableFont;                             // data rows and row numbers
    int32_t ColumnWidth = 20;                    // characters, with reSetColumnWidths
    TvxExportExcelOptionSet Options{reSetMargins, reUseBorders};
    double TopMargin = 0.3; // inches
    double BottomMargin = 0.3;
    double LeftMargin = 0.3;
    double RightMargin = 0.3;
    bool Protected = false;
    TvxExcelVersion ExcelVersion = xls50;
    std::string Header;
    std::string Footer = "&P";
    bool operator==(const TvxExcelOptions&) const = default;
};

} // namespace vx
