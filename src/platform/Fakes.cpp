#include "Fakes.h"

#include <cstdio>
#include <fstream>

namespace vx {

std::string TFakeFileSystem::TempFileName(const std::string& dir, const std::string& prefix,
                                          unsigned unique) const {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", unique & 0xFFFF);
    return dir + prefix.substr(0, 3) + hex + ".tmp";
}

bool TFakeFileSystem::FileExists(const std::string& path) const {
    if (UseRealFiles) return std::ifstream(path).good();
    return Existing.count(path) != 0;
}

TRealisedFont TFakeFonts::Realise(const TFont& font) const {
    // Family classes as GDI reports them: 1 roman, 2 swiss, 3 modern, 4 script, 5 decorative.
    static const std::pair<const char*, uint8_t> families[] = {
        {"MS Sans Serif", 2},   {"Arial", 2},         {"Tahoma", 2},      {"Verdana", 2},
        {"Times New Roman", 1}, {"MS Serif", 1},      {"Courier New", 3}, {"Courier", 3},
        {"Lucida Console", 3},  {"Comic Sans MS", 4}, {"Symbol", 1},      {"Wingdings", 0},
    };
    TRealisedFont r;
    r.PitchAndFamily = 2 << 4;
    for (auto& f : families)
        if (font.Name == f.first) r.PitchAndFamily = uint8_t(f.second << 4);
    if (font.Name == "Symbol" || font.Name == "Wingdings")
        r.Charset = 2;
    else
        r.Charset = font.Charset == 1 ? 0 : font.Charset; // DEFAULT_CHARSET realises as ANSI
    return r;
}

} // namespace vx
