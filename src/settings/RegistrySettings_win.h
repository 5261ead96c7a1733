// The settings backend over the Win32 registry, below HKEY_CURRENT_USER.
#pragma once

#include "SettingsBackend.h"

namespace vx {

class TRegistrySettings : public ISettingsBackend {
  public:
    TReadResult ReadString(const std::string& key, const std::string& name,
                           std::string& value) override;
    bool WriteString(const std::string& key, const std::string& name,
                     const std::string& value) override;
};

} // namespace vx
