#include "export/vxDocumentWriter.h"

#include "export/vxExportOutput.h"
#include "export/vxExportWriters.h"

namespace vx {

void TvxDocumentWriter::HeaderSeparator(std::string_view separator) {
    if (!separator.empty()) out_.WriteLine(separator);
}

void TvxDocumentWriter::WriteTextFooter(const TStringList& lines, std::string_view separator,
                                        std::string_view created) {
    if (!separator.empty()) out_.WriteLine(separator);
    for (const std::string& line : lines)
        out_.WriteLine(line);
    if (!created.empty()) out_.WriteLine(created);
}

std::unique_ptr<TvxDocumentWriter> CreateDocumentWriter(TvxExportType type, TvxOutput& out,
                                                        const TvxWriterOptions& options) {
    switch (type) {
    case xtHTML:
        return std::make_unique<TvxHTMLWriter>(out, options);
    case xtExcel:
        return CreateExcelWriter(out, options);
    case xtWord:
    case xtRTF:
        return std::make_unique<TvxRTFWriter>(out, options);
    case xtTXT:
        return std::make_unique<TvxTXTWriter>(out, options);
    case xtCSV:
        return std::make_unique<TvxCSVWriter>(out, options);
    case xtTAB:
        return std::make_unique<TvxTABWriter>(out, options);
    case xtDIF:
        return std::make_unique<TvxDIFWriter>(out, options);
    case xtSYLK:
        return std::make_unique<TvxSYLKWriter>(out, options);
    case xtClipboard:
        return std::make_unique<TvxClipboardWriter>(out, options);
    }
    return nullptr;
}

} // namespace vx
