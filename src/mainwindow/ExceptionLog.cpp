#include "mainwindow/ExceptionLog.h"

#include "platform/DateTimeFormat.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vx {

TExceptionLog::TExceptionLog(std::string folder, const ILocale& locale, const IClock& clock,
                             uintmax_t limit)
    : folder_(std::move(folder)), locale_(locale), clock_(clock), limit_(limit) {}

std::string TExceptionLog::Header() { return "vxDebugger exception log"; }

std::string TExceptionLog::FormatEntry(int number, const std::string& date,
                                       const std::string& time, const std::string& message,
                                       const void* address) {
    char head[32], addr[32];
    std::snprintf(head, sizeof head, "%4d  ", number);
    // Upper-case hex of the full pointer width, as debuggers show addresses.
    std::snprintf(addr, sizeof addr, "%0*llX", int(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
    std::string text = message;
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';  // one line per entry
    return head + date + " " + time + "  " + text + ", Address: " + addr;
}

int TExceptionLog::NextNumber() const {
    std::ifstream in(LogPath(), std::ios::binary);
    int last = 0;
    std::string line;
    while (std::getline(in, line)) {
        size_t i = line.find_first_not_of(' ');
        if (i == std::string::npos || line[i] < '0' || line[i] > '9') continue;
        last = std::atoi(line.c_str() + i);
    }
    return last + 1;
}

bool TExceptionLog::Append(const std::string& message, const void* address) {
    TDateTime now = clock_.Now();
    std::string path = LogPath();
    int number = NextNumber();
    std::string entry = FormatEntry(number, FormatShortDate(locale_, now),
                                    FormatLongTime(locale_, now), message, address) + "\r\n";
    // Plain stdio on the ANSI path: the folder comes from the A functions.
    uintmax_t size = 0;
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (in) size = uintmax_t(std::streamoff(in.tellg()));
    }
    if (size > 0 && size + entry.size() > limit_) {
        std::remove(BackupPath().c_str());
        if (std::rename(path.c_str(), BackupPath().c_str()) != 0)
            std::remove(path.c_str());  // a log that cannot be kept is started over
        size = 0;
        entry = FormatEntry(1, FormatShortDate(locale_, now), FormatLongTime(locale_, now),
                            message, address) + "\r\n";
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    if (size == 0) out << Header() << "\r\n";
    out << entry;
    return bool(out.flush());
}

}  // namespace vx
