// The version text of a program file's version resource (VERSIONINFO), by
// the rule of FormatVersionText (form_About.h): "1.23" for 1.2.3.0.
#pragma once

#include <string>

namespace vx {

// Empty when the file has no version resource.
std::string FileVersionText(const std::string& path);
// Of the running program's own file: the about box and the main window's hint.
std::string ProgramVersionText();

} // namespace vx
