#include "mainwindow/ExceptionLog.h"

#include "platform/DateTimeFormat.h"
#include "platform/TypeName.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <typeinfo>

namespace vx {

namespace {

// Messages may carry text from outside (a client's, a registry value's name):
// one line per entry, and no entry larger than the log can sensibly hold.
constexpr size_t kMaxMessage = 1024, kMaxName = 256;

std::string OneLine(const std::string& text, size_t max) {
    std::string line = text.size() > max ? text.substr(0, max) + "..." : text;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    return line;
}

} // namespace

TExceptionLog::TExceptionLog(std::string folder, const ILocale& locale, const IClock& clock,
                             uintmax_t limit)
    : folder_(std::move(folder)), locale_(locale), clock_(clock), limit_(limit) {}

std::string TExceptionLog::Header() {
    return "vxDebugger exception log";
}

std::string TExceptionLog::FormatEntry(int number, const std::string& date, const std::string& time,
                                       const std::string& text) {
    char head[32];
    std::snprintf(head, sizeof head, "%4d  ", number);
    return head + date + " " + time + "  " + text;
}

std::string TExceptionLog::ExceptionText(const std::string& message, const std::string& type,
                                         const std::string& where) {
    return OneLine(message, kMaxMessage) +
           ", Type: " + (type.empty() ? "unknown" : OneLine(type, kMaxName)) +
           ", Caught in: " + (where.empty() ? "unknown" : OneLine(where, kMaxName));
}

std::string TExceptionLog::AddressText(const std::string& message, const void* address) {
    char addr[32];
    // Upper-case hex of the full pointer width, as debuggers show addresses.
    std::snprintf(addr, sizeof addr, "%0*llX", int(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
    return OneLine(message, kMaxMessage) + ", Address: " + addr;
}

bool TExceptionLog::AppendException(const std::exception& error, const std::string& where) {
    std::string type = CurrentExceptionTypeName();
    if (type.empty()) type = TypeName(typeid(error));
    return Append(error.what(), type, where);
}

bool TExceptionLog::Append(const std::string& message, const std::string& type,
                           const std::string& where) {
    return AppendText(ExceptionText(message, type, where));
}

bool TExceptionLog::Append(const std::string& message, const void* address) {
    return AppendText(AddressText(message, address));
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

bool TExceptionLog::AppendText(const std::string& text) {
    TDateTime now = clock_.Now();
    const std::string date = FormatShortDate(locale_, now), time = FormatLongTime(locale_, now);
    std::string path = LogPath();
    std::string entry = FormatEntry(NextNumber(), date, time, text) + "\r\n";
    // Plain stdio on the ANSI path: the folder comes from the A functions.
    uintmax_t size = 0;
    {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (in) size = uintmax_t(std::streamoff(in.tellg()));
    }
    if (size > 0 && size + entry.size() > limit_) {
        std::remove(BackupPath().c_str());
        if (std::rename(path.c_str(), BackupPath().c_str()) != 0)
            std::remove(path.c_str()); // a log that cannot be kept is started over
        size = 0;
        entry = FormatEntry(1, date, time, text) + "\r\n";
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    if (size == 0) out << Header() << "\r\n";
    out << entry;
    return bool(out.flush());
}

} // namespace vx
