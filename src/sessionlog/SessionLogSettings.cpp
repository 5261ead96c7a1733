#include "SessionLogSettings.h"

#include "SessionFile.h"

namespace vx {

std::string DefaultLogFolder(const std::string& localAppData, const std::string& tempPath) {
    const std::string sub =
        std::string("Vexel") + PathSeparator() + "Debugger" + PathSeparator() + "Logs";
    return JoinPath(localAppData.empty() ? tempPath : localAppData, sub);
}

TSessionLogSettings ReadSessionLogSettings(TRegistryHandler& registry,
                                           const std::string& defaultFolder) {
    TSessionLogSettings s;
    s.Enabled = registry.RegReadBool(kSessionLogSection, "LogToDisk", false);
    s.Folder = registry.RegReadString(kSessionLogSection, "LogFolder", defaultFolder);
    if (s.Folder.empty()) s.Folder = defaultFolder;
    return s;
}

void WriteSessionLogSettings(TRegistryHandler& registry, const TSessionLogSettings& s) {
    registry.RegWriteBool(kSessionLogSection, "LogToDisk", s.Enabled);
    registry.RegWriteString(kSessionLogSection, "LogFolder", s.Folder);
}

} // namespace vx
