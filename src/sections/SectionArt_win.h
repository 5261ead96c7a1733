// The section frame's pictures, loaded once from the program's resources
// (res/art.rc) and shared by every frame: DebugImages for the debug list and
// the filter menu, and the side bar's 32x32 strip for the tool buttons, with
// a greyed copy for disabled buttons.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vx {

namespace ui {
class TAlphaStrip;
}

struct TSectionArt {
    HIMAGELIST DebugImages = nullptr; // 16x16, DebugImages
    // The same pictures for the list's rows, drawn a blit each; null when
    // they cannot be loaded (DebugImages then draws them).
    const ui::TAlphaStrip* DebugStrip = nullptr;
    HIMAGELIST Glyphs = nullptr;         // 32x32, Image_Side_Large
    HIMAGELIST GlyphsDisabled = nullptr; // the same pictures, greyed
};

// The pictures of the program module for a window of `dpi` pixels per inch
// (16 and 32 pixels at 96, scaled with it); lists that cannot be loaded stay
// null (the frame then shows no pictures rather than failing). Each size is
// loaded once and kept for the life of the program.
const TSectionArt& SectionArt(UINT dpi = 96);

} // namespace vx
