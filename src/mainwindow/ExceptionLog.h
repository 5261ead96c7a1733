// The exception log "CMP.LOG": a header line, then one numbered entry per
// exception with date, time and what is known of it:
//   a C++ exception:    "<message>, Type: <type>, Caught in: <site>"
//   a system exception: "<message>, Address: <code address>"
// A C++ exception has no portable code address, so its entry names the place
// in the program that caught it instead. A log that would grow past its limit
// is moved to "CMP.BAK" (replacing an older one) and started anew from 1.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <exception>
#include <string>

namespace vx {

inline constexpr const char* kExceptionLogName = "CMP.LOG";
inline constexpr const char* kExceptionBackupName = "CMP.BAK";

class TExceptionLog {
  public:
    // folder ends with a path separator; it must exist.
    TExceptionLog(std::string folder, const ILocale& locale, const IClock& clock,
                  uintmax_t limit = 64 * 1024);

    // Appends one entry for a C++ exception caught at `where` ("Tfme_Sections
    // WM_NOTIFY"). Called inside the catch block, the type is that of the
    // exception in flight, also when only a stand-in for it is passed;
    // otherwise error's own. False when the file cannot be written.
    bool AppendException(const std::exception& error, const std::string& where);
    bool Append(const std::string& message, const std::string& type, const std::string& where);
    // Appends one entry for a system exception at a code address.
    bool Append(const std::string& message, const void* address);

    std::string LogPath() const { return folder_ + kExceptionLogName; }
    std::string BackupPath() const { return folder_ + kExceptionBackupName; }
    static std::string Header();
    // An entry without its line end: "   3  12/9/2025 1:02:03 PM  " and the text.
    static std::string FormatEntry(int number, const std::string& date, const std::string& time,
                                   const std::string& text);
    // The texts of the two kinds of entry, each on one line and bounded.
    static std::string ExceptionText(const std::string& message, const std::string& type,
                                     const std::string& where);
    static std::string AddressText(const std::string& message, const void* address);

  private:
    bool AppendText(const std::string& text);
    int NextNumber() const; // from the entries already in the file
    std::string folder_;
    const ILocale& locale_;
    const IClock& clock_;
    uintmax_t limit_;
};

} // namespace vx
