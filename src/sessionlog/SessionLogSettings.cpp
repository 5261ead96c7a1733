#include "SessionLogSettings.h"

#include "SessionFile.h"

namespace vx {

std::string DefaultLogFolder(const std::string& localAppData, const std::string& tempPath) {
    const std::string sub =
        std::string("Vexel") + PathSeparator() + "Debugger" + PathSeparator() + "Sessions";
    return JoinPath(localAppData.empty() ? tempPath : localAppData, sub);
}

TSessionLogSettings ReadSessionLogSettings(TRegistryHandler& registry,
                                           const std::string& defaultFolder) {
    TSessionLogSettings s;
    s.Enabled = registry.RegReadBool(kSessionLogSection, "Log To Disk", false);
    s.Folder = registry.RegReadString(kSessionLogSection, "Log Folder", defaultFolder);
    if (s.Folder.empty()) s.Folder = defaultFolder;
    return s;
}

void WriteSessionLogSettings(TRegistryHandler& registry, const TSessionLogSettings& s) {
    registry.RegWriteBool(kSessionLogSection, "Log To Disk", s.Enabled);
    registry.RegWriteString(kSessionLogSection, "Log Folder", s.Folder);
}

} // namespace vx
