#include "sections/SectionArt_win.h"

#include "ui/Dpi_win.h"
#include "ui/ImageStrip_win.h"
#include "ui/Scoped_win.h"

#include "../../res/resource_ids.h"

#include <map>
#include <memory>

namespace vx {

namespace {

struct TArtHolder {
    ui::ScopedImageList DebugImages, Glyphs, GlyphsDisabled;
    ui::TAlphaStrip DebugStrip;
    TSectionArt Art;
    explicit TArtHolder(UINT dpi) {
        HINSTANCE module = GetModuleHandleA(nullptr);
        const int small = ui::IconSize(16, dpi), large = ui::IconSize(32, dpi);
        DebugImages.Reset(ui::LoadStripImageList(module, IDB_DEBUGIMAGES, 16, false, small));
        Glyphs.Reset(ui::LoadStripImageList(module, IDB_SIDE_LARGE, 32, false, large));
        GlyphsDisabled.Reset(ui::LoadStripImageList(module, IDB_SIDE_LARGE, 32, true, large));
        Art.DebugImages = DebugImages;
        if (DebugStrip.Load(module, IDB_DEBUGIMAGES, 16, small)) Art.DebugStrip = &DebugStrip;
        Art.Glyphs = Glyphs;
        Art.GlyphsDisabled = GlyphsDisabled;
    }
};

} // namespace

const TSectionArt& SectionArt(UINT dpi) {
    // By the size of the small pictures: pixels per inch that give the same
    // sizes share one set.
    static std::map<int, std::unique_ptr<TArtHolder>> holders;
    std::unique_ptr<TArtHolder>& holder = holders[ui::IconSize(16, dpi)];
    if (!holder) holder = std::make_unique<TArtHolder>(dpi);
    return holder->Art;
}

} // namespace vx
