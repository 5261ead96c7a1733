#include "export/vxDocumentWriter.h"

#include "export/vxExportOutput.h"
#include "export/vxExportWriters.h"

namespace vx {

void TvxDocumentWriter::HeaderSeparator() {
    std::string line = FOwner.SeparatorLine(true);
    if (!line.empty()) FOwner.Out().WriteLine(line);
}

void TvxDocumentWriter::WriteTextFooter(const TStringList& lines) {
    TvxOutput& out = FOwner.Out();
    std::string separator = FOwner.SeparatorLine(false);
    if (!separator.empty()) out.WriteLine(separator);
    for (const std::string& line : lines) out.WriteLine(line);
    if (FOwner.Options.Has(xoShowExportDate)) out.WriteLine(FOwner.CreatedLine());
}

std::unique_ptr<TvxDocumentWriter> CreateDocumentWriter(TvxExportType type, TvxCustomExport& owner) {
    switch (type) {
    case xtHTML: return std::make_unique<TvxHTMLWriter>(owner);
    case xtExcel: return CreateExcelWriter(owner);
    case xtWord:
    case xtRTF: return std::make_unique<TvxRTFWriter>(owner);
    case xtTXT: return std::make_unique<TvxTXTWriter>(owner);
    case xtCSV: return std::make_unique<TvxCSVWriter>(owner);
    case xtTAB: return std::make_unique<TvxTABWriter>(owner);
    case xtDIF: return std::make_unique<TvxDIFWriter>(owner);
    case xtSYLK: return std::make_unique<TvxSYLKWriter>(owner);
    case xtClipboard: return std::make_unique<TvxClipboardWriter>(owner);
    }
    return nullptr;
}

}  // namespace vx
