// Where settings live: the Win32 registry in the program, memory in tests.
#pragma once

#include <map>
#include <string>

namespace vx {

enum class TReadResult { Ok, Missing, WrongType };

struct ISettingsBackend {
    virtual ~ISettingsBackend() = default;
    // Each call opens the key below HKEY_CURRENT_USER (creating it and any
    // missing parents, even for a read), does its one operation and closes it.
    virtual TReadResult ReadString(const std::string& key, const std::string& name,
                                   std::string& value) = 0;
    virtual bool WriteString(const std::string& key, const std::string& name,
                             const std::string& value) = 0;
};

// Keys and values in memory, compared case-insensitively like the registry's.
class TMemorySettings : public ISettingsBackend {
  public:
    struct Value {
        bool IsString = true;
        std::string Data;
    };
    TReadResult ReadString(const std::string& key, const std::string& name,
                           std::string& value) override;
    bool WriteString(const std::string& key, const std::string& name,
                     const std::string& value) override;

    bool KeyExists(const std::string& key) const;
    // Stores a value of another type (a DWORD, say), as a user or another program might.
    void PutNonString(const std::string& key, const std::string& name);
    const Value* Find(const std::string& key, const std::string& name) const;
    bool ReadOnly = false; // writes fail

  private:
    void CreateKey(const std::string& key);
    std::map<std::string, std::map<std::string, Value>> keys_; // lower-case paths and names
};

} // namespace vx
