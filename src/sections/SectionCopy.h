// The clipboard text of a selection in a section's lists: one line per row,
// each ending CR LF, its columns separated by TAB. A TAB, line break or zero
// byte inside a text is written as a space, so a message never splits its row
// nor ends the text early.
#pragma once

#include "sections/Billboard.h"
#include "sections/SectionCore.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// Appends text with TAB, CR, LF and NUL made spaces.
void AppendCopyCell(std::string& out, std::string_view text);
// Debug rows (indexes into the whole list): group name, kind name, message, time.
std::string DebugRowsCopyText(const TSectionCore& core, const std::vector<size_t>& rows);
// Billboard lines: ID and message.
std::string BillboardCopyText(const TBillboard& billboard, const std::vector<size_t>& lines);

} // namespace vx
