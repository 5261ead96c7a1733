#include "spreadsheet/FileReplace.h"

#include <cstdio>

namespace vx {
namespace {

// True for a file we may overwrite; folders and read-only files are refused
// by opening for update, which changes nothing.
bool IsWritableFile(const std::string& path) {
    if (std::FILE* f = std::fopen(path.c_str(), "r+b")) {
        std::fclose(f);
        return true;
    }
    return false;
}

bool WriteAll(const std::string& path, const void* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

// Puts tmp in place of path. POSIX rename replaces in one step; the Windows
// run-time refuses an existing target, so the old file is moved aside first
// and put back if the new one cannot take its place.
bool Replace(const std::string& tmp, const std::string& path) {
    if (std::rename(tmp.c_str(), path.c_str()) == 0) return true;
    if (!IsWritableFile(path)) return false;
    const std::string backup = path + ".~old";
    std::remove(backup.c_str());
    if (std::rename(path.c_str(), backup.c_str()) != 0) return false;
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::rename(backup.c_str(), path.c_str());
        return false;
    }
    std::remove(backup.c_str());
    return true;
}

} // namespace

bool WriteFileReplacing(const std::string& path, const void* data, size_t size) {
    if (path.empty()) return false;
    const std::string tmp = path + ".~new";
    if (!WriteAll(tmp, data, size) || !Replace(tmp, path)) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace vx
