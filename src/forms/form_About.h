// The about box's rules and texts, free of any window: the version text of a
// version resource, the remembered position, and the publisher's texts and
// addresses (the main window's "Web Site" command uses kPublisherWebPage).
// The window itself is Tfrm_About in form_About_win.h.
#pragma once

#include "settings/RegistryHandler.h"

#include <cstdint>
#include <string>

namespace vx {

// "major.minor", followed directly by the release number when that is not 0:
// file version 1.2.3.0 gives "1.23", 1.2.0.5 gives "1.2". The arguments are
// the fixed file information's dwFileVersionMS and dwFileVersionLS.
std::string FormatVersionText(uint32_t fileVersionMS, uint32_t fileVersionLS);

struct TFormPosition {
    int Left = 0;
    int Top = 0;
    bool operator==(const TFormPosition&) const = default;
};

// "About Left" and "About Top" of "Display", the current position being the
// default; a negative value becomes 0, anything else stays as stored.
TFormPosition LoadAboutPosition(TRegistryHandler& settings, TFormPosition current);
void SaveAboutPosition(TRegistryHandler& settings, TFormPosition position);

inline constexpr const char* kDisplaySection = "Display";
inline constexpr const char* kAboutLeft = "About Left";
inline constexpr const char* kAboutTop = "About Top";

// The publisher's addresses. Reserved example domains: no real site is
// reached by accident from a test or a demonstration.
inline constexpr const char* kPublisherWebPage = "https://www.vexel-software.example/debugger/";
inline constexpr const char* kSupportMail = "support@vexel-software.example";
// Credits for the icon sets the program's pictures are built from.
inline constexpr const char* kSilkIconsPage = "http://www.famfamfam.com/lab/icons/silk/";
inline constexpr const char* kTangoIconsPage = "http://tango.freedesktop.org/Tango_Icon_Library";

// Texts of the about box (8-bit ANSI, Windows-1252).
namespace about_text {
inline constexpr const char* Caption = "About";
inline constexpr const char* Title = "vxDebugger for Borland Delphi";
inline constexpr const char* Notice = "Copyright \xA9 2025 Vexel Software. All rights reserved.";
inline constexpr const char* Support =
    "If you have any problem with this software contact the author: ";
inline constexpr const char* Website = "Please visit my website:";
inline constexpr const char* ClickHere = "Click here";
inline constexpr const char* Icons1 = "Icons from the Silk set by Mark James (CC BY 3.0):";
inline constexpr const char* Icons2 = "and the Tango Desktop Project (public domain):";
inline constexpr const char* SilkLink = "www.famfamfam.com";
inline constexpr const char* TangoLink = "tango.freedesktop.org";
inline constexpr const char* Free = "vxDebugger is free for private and commercial use.";
inline constexpr const char* Disclaimer =
    "This software is provided \"as is\", without warranty of any kind, express or "
    "implied, including but not limited to the warranties of merchantability, fitness "
    "for a particular purpose and non-infringement.\r\n\r\n"
    "In no event shall the author or Vexel Software be liable for any claim, damages or "
    "other liability, whether in an action of contract, tort or otherwise, arising from, "
    "out of or in connection with the software or the use or other dealings in the "
    "software.\r\n\r\n"
    "You may copy and give away this program as long as it is given away unchanged and "
    "free of charge.";
inline constexpr const char* Ok = "&OK";
} // namespace about_text

} // namespace vx
