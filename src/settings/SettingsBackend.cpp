#include "SettingsBackend.h"

#include <algorithm>
#include <cctype>

namespace vx {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

} // namespace

void TMemorySettings::CreateKey(const std::string& key) {
    std::string path = Lower(key);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    // Every parent exists as a key of its own, as in the registry.
    for (size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1))
        keys_[path.substr(0, pos)];
    keys_[path];
}

bool TMemorySettings::KeyExists(const std::string& key) const {
    std::string path = Lower(key);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return keys_.count(path) != 0;
}

const TMemorySettings::Value* TMemorySettings::Find(const std::string& key,
                                                    const std::string& name) const {
    std::string path = Lower(key);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    auto k = keys_.find(path);
    if (k == keys_.end()) return nullptr;
    auto v = k->second.find(Lower(name));
    return v == k->second.end() ? nullptr : &v->second;
}

TReadResult TMemorySettings::ReadString(const std::string& key, const std::string& name,
                                        std::string& value) {
    CreateKey(key);
    const Value* v = Find(key, name);
    if (!v) return TReadResult::Missing;
    if (!v->IsString) return TReadResult::WrongType;
    value = v->Data;
    return TReadResult::Ok;
}

bool TMemorySettings::WriteString(const std::string& key, const std::string& name,
                                  const std::string& value) {
    if (ReadOnly) return false;
    CreateKey(key);
    std::string path = Lower(key);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    keys_[path][Lower(name)] = Value{true, value};
    return true;
}

void TMemorySettings::PutNonString(const std::string& key, const std::string& name) {
    CreateKey(key);
    std::string path = Lower(key);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    keys_[path][Lower(name)] = Value{false, std::string(4, '\0')};
}

} // namespace vx
