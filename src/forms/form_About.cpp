#include "forms/form_About.h"

namespace vx {

std::string FormatVersionText(uint32_t fileVersionMS, uint32_t fileVersionLS) {
    std::string text =
        std::to_string(fileVersionMS >> 16) + "." + std::to_string(fileVersionMS & 0xFFFF);
    const uint32_t release = fileVersionLS >> 16;
    if (release != 0) text += std::to_string(release);
    return text;
}

TFormPosition LoadAboutPosition(TRegistryHandler& settings, TFormPosition current) {
    TFormPosition p;
    p.Left = settings.RegReadInteger(kDisplaySection, kAboutLeft, current.Left);
    if (p.Left < 0) p.Left = 0;
    p.Top = settings.RegReadInteger(kDisplaySection, kAboutTop, current.Top);
    if (p.Top < 0) p.Top = 0;
    return p;
}

void SaveAboutPosition(TRegistryHandler& settings, TFormPosition position) {
    settings.RegWriteInteger(kDisplaySection, kAboutLeft, position.Left);
    settings.RegWriteInteger(kDisplaySection, kAboutTop, position.Top);
}

} // namespace vx
