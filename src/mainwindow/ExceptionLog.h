// The exception log "CMP.LOG": a header line, then one numbered entry per
// exception with date, time and "<message>, Address: <address>". A log that
// would grow past its limit is moved to "CMP.BAK" (replacing an older one)
// and started anew from number 1.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <string>

namespace vx {

inline constexpr const char* kExceptionLogName = "CMP.LOG";
inline constexpr const char* kExceptionBackupName = "CMP.BAK";

class TExceptionLog {
public:
    // folder ends with a path separator; it must exist.
    TExceptionLog(std::string folder, const ILocale& locale, const IClock& clock,
                  uintmax_t limit = 64 * 1024);

    // Appends one entry; false when the file cannot be written.
    bool Append(const std::string& message, const void* address);

    std::string LogPath() const { return folder_ + kExceptionLogName; }
    std::string BackupPath() const { return folder_ + kExceptionBackupName; }
    static std::string Header();
    // The entry text, without its line end: "   3  12/9/2025 1:02:03 PM  text, Address: 00000000004015A0".
    static std::string FormatEntry(int number, const std::string& date, const std::string& time,
                                   const std::string& message, const void* address);

private:
    int NextNumber() const;  // from the entries already in the file
    std::string folder_;
    const ILocale& locale_;
    const IClock& clock_;
    uintmax_t limit_;
};

}  // namespace vx
