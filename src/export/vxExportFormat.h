// Small text routines shared by the export writers: the format strings of the
// row numbers and the created line, field quoting, escaping, line splitting.
#pragma once

#include "export/vxExportTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// Formats fmt with one integer argument the way the component's format
// strings are read ("%d", "%5d", "%.3d", "%x", "%u", "%0:d", "%%"). False when
// fmt needs another argument or a type an integer cannot fill.
bool FormatInteger(std::string_view fmt, int64_t value, std::string& out);
// The same with one string argument ("%s", "%-10s", "%.3s").
bool FormatString(std::string_view fmt, std::string_view value, std::string& out);

// Doubles every double quote; encloses the text in double quotes when forced
// or when it holds a space, a comma, a double quote or a line break.
std::string QuoteField(std::string_view text, bool force);
void AppendQuoted(std::string& out, std::string_view text, bool force);

// True when a spreadsheet would take the text for a formula: it begins with
// =, +, - or @ and is not a plain number such as -4 or +1.5e3. CSV and TAB
// write such a text behind an apostrophe, so it is shown as text.
bool LooksLikeFormula(std::string_view text);

// &, <, > and " as entities, so data cannot become markup.
void AppendHTMLEscaped(std::string& out, std::string_view text);
std::string HTMLEscape(std::string_view text);
// \, { and } with a backslash, bytes above 127 as \'hh, so data cannot change
// the structure of a Rich Text document. A line break (CR LF, CR or LF) is
// written as \line, so the words around it stay apart.
void AppendRTFEscaped(std::string& out, std::string_view text);

// The lines of a text split at CR LF, CR or LF; an empty text has no lines and
// a final line break adds no empty line.
void SplitLines(std::string_view text, TStringList& lines);

// The file name with its extension (from the last dot of the name part) replaced.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
// The folder part of a file name, with its trailing separator.
std::string ExtractFilePath(const std::string& fileName);
// Whole decimal integer (optional sign, digits only, fits 32 bits).
bool TryStrToInt(std::string_view text, int32_t& value);
// A whole integer of up to 64 bits.
bool TryStrToInt64(std::string_view text, int64_t& value);

} // namespace vx
