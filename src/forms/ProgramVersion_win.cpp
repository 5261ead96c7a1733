#include "forms/ProgramVersion_win.h"

#include "forms/form_About.h"

#include <windows.h>

#include <vector>

namespace vx {

std::string FileVersionText(const std::string& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return "";
    std::vector<BYTE> buffer(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, buffer.data())) return "";
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return "";
    return FormatVersionText(info->dwFileVersionMS, info->dwFileVersionLS);
}

std::string ProgramVersionText() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "";
    return FileVersionText(std::string(path, n));
}

} // namespace vx
