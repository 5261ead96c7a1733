#include "RegistrySettings_win.h"

#include <windows.h>

#include <vector>

namespace vx {
namespace {

// Opens the key with full access, creating it and its parents.
HKEY OpenKey(const std::string& key) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return h;
}

} // namespace

TReadResult TRegistrySettings::ReadString(const std::string& key, const std::string& name,
                                          std::string& value) {
    HKEY h = OpenKey(key);
    if (!h) return TReadResult::Missing;
    DWORD type = 0, size = 0;
    TReadResult result = TReadResult::Missing;
    if (RegQueryValueExA(h, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            result = TReadResult::WrongType;
        } else {
            std::vector<char> buf(size + 1, '\0');
            DWORD got = size;
            if (RegQueryValueExA(h, name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buf.data()), &got) == ERROR_SUCCESS) {
                value.assign(buf.data(), got);
                result = TReadResult::Ok;
            }
        }
    }
    RegCloseKey(h);
    return result;
}

bool TRegistrySettings::WriteString(const std::string& key, const std::string& name,
                                    const std::string& value) {
    HKEY h = OpenKey(key);
    if (!h) return false;
    LONG rc = RegSetValueExA(h, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

} // namespace vx
