#include "sections/SectionCopy.h"

#include "export/vxVirtualTreeExport.h"
#include "protocol/Common_Types.h"

namespace vx {

void AppendCopyCell(std::string& out, std::string_view text) {
    // A zero byte would end the clipboard's text early.
    for (char c : text)
        out += (c == '\t' || c == '\r' || c == '\n' || c == '\0') ? ' ' : c;
}

std::string DebugRowsCopyText(const TSectionCore& core, const std::vector<size_t>& rows) {
    const TDebugRowStore& store = core.Rows();
    std::string out;
    out.reserve(rows.size() * 64);
    for (size_t row : rows) {
        if (row >= store.Count()) continue;
        const TRowRecord& r = store.Record(row);
        // Names as an export of the list writes them.
        out += GroupName(r.Group);
        out += '\t';
        out += KindName(r.Kind);
        out += '\t';
        AppendCopyCell(out, core.lst_DebugGetText(row, 2));
        out += '\t';
        AppendCopyCell(out, core.lst_DebugGetText(row, 3));
        out += "\r\n";
    }
    return out;
}

std::string BillboardCopyText(const TBillboard& billboard, const std::vector<size_t>& lines) {
    std::string out;
    for (size_t i : lines) {
        if (i >= billboard.Count()) continue;
        const std::string& line = billboard.Line(i);
        AppendCopyCell(out, TBillboard::IdPart(line));
        out += '\t';
        AppendCopyCell(out, TBillboard::MessagePart(line));
        out += "\r\n";
    }
    return out;
}

} // namespace vx
