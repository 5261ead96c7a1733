#include "capture/OdsText.h"

#include <cstdio>
#include <cstring>

namespace vx {

std::string DbwinText(const char* buffer, size_t size) {
    if (!buffer || size <= sizeof(uint32_t)) return {};
    const char* text = buffer + sizeof(uint32_t);
    size_t room = size - sizeof(uint32_t);
    const void* nul = std::memchr(text, 0, room);
    return std::string(text, nul ? static_cast<const char*>(nul) - text : room);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

TOdsProcess MakeOdsProcess(uint32_t pid, uint64_t startTime, const std::string& path) {
    TOdsProcess p;
    p.Pid = pid;
    char id[64];
    std::snprintf(id, sizeof id, "PID:%u %016llX", unsigned(pid), (unsigned long long)startTime);
    p.ClientID = id;
    p.Path = path;
    size_t slash = path.find_last_of("\\/:");
    p.FileName = slash == std::string::npos ? path : path.substr(slash + 1);
    if (p.FileName.empty()) p.FileName = "Process " + std::to_string(pid);
    return p;
}

} // namespace vx
