// Names of session files: one file per section and day, named from the
// client's ID so the user finds it, and made safe to be a file name.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <string_view>

namespace vx {

inline constexpr const char* kSessionExtension = ".vxs";
inline constexpr size_t kMaxStem = 64;

// A file-name stem for a client ID: no path separators, wildcards, control or
// non-ASCII bytes, no device name, no leading dot or trailing dot or blank, at
// most kMaxStem bytes. An ID that had to change gets " ~" and a hash of the
// whole ID, so two IDs that differ only in what was changed stay apart.
std::string SafeFileStem(std::string_view clientID);

// "<stem> yyyy-mm-dd.vxs" for the day of `when`; copy 2 and up adds " (copy)"
// for a second file of the same section and day.
std::string SessionFileName(std::string_view clientID, TDateTime when, unsigned copy = 1);

} // namespace vx
