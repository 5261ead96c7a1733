// Whether sections are logged to disk and where: the "Display" values
// LogToDisk ("0"/"1") and LogFolder, read with a default like every other setting.
#pragma once

#include "settings/RegistryHandler.h"

#include <string>

namespace vx {

inline constexpr const char* kSessionLogSection = "Display";

struct TSessionLogSettings {
    bool Enabled = false; // LogToDisk
    std::string Folder;   // LogFolder
};

// The folder used until the user picks one: "Vexel\Debugger\Logs" in the
// user's local application data (LOCALAPPDATA), else in the temporary folder.
// The program folder is no choice: it may be one the user cannot write to.
std::string DefaultLogFolder(const std::string& localAppData, const std::string& tempPath);

TSessionLogSettings ReadSessionLogSettings(TRegistryHandler& registry,
                                           const std::string& defaultFolder);
void WriteSessionLogSettings(TRegistryHandler& registry, const TSessionLogSettings& settings);

} // namespace vx
