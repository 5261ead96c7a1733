// The program's only access to its persistent settings: string values under
// HKEY_CURRENT_USER\Software\Vexel\Debugger\1.0\ + section.
#pragma once

#include "SettingsBackend.h"

#include <functional>
#include <string>

namespace vx {

inline constexpr const char* kRegistryRoot = "Software\\Vexel\\Debugger\\1.0\\";

class TRegistryHandler {
  public:
    explicit TRegistryHandler(ISettingsBackend& backend) : backend_(backend) {}

    // Called with a message when a value cannot be read as a string (another
    // registry type); the read then gives the caller's default.
    std::function<void(const std::string& message)> OnError;

    void RegReadString(const std::string& section, const std::string& name, const std::string& def,
                       std::string& result);
    std::string RegReadString(const std::string& section, const std::string& name,
                              const std::string& def);
    int RegReadInteger(const std::string& section, const std::string& name, int def);
    bool RegReadBool(const std::string& section, const std::string& name, bool def);
    bool RegWriteString(const std::string& section, const std::string& name,
                        const std::string& value);
    bool RegWriteInteger(const std::string& section, const std::string& name, int value);
    bool RegWriteBool(const std::string& section, const std::string& name, bool value);

  private:
    ISettingsBackend& backend_;
};

// Parses an integer as the settings store accepts it: optional leading
// blanks and sign, decimal digits or "$"/"0x" hexadecimal, within 32 bits.
bool TryParseInt(const std::string& text, int& value);

} // namespace vx
