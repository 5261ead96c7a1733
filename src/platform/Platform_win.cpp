#include "Platform_win.h"

#include "DateTimeFormat.h"
#include "ScopedGdi_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vx {
namespace {

std::string LocaleInfo(LCTYPE type, const char* fallback) {
    char buf[128];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
    if (n <= 1) return fallback;
    return std::string(buf, n - 1);
}

// The short time picture is the long one without its seconds, for systems
// that do not report LOCALE_SSHORTTIME.
std::string DropSeconds(const std::string& picture) {
    std::string out;
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i] == 's') {
            while (i < picture.size() && picture[i] == 's')
                ++i;
            // Also drop the separator that led to the seconds.
            while (!out.empty() && !std::strchr("hHmt' ", out.back()))
                out.pop_back();
            --i;
            continue;
        }
        out += picture[i];
    }
    return out;
}

// Opens the clipboard, retrying briefly while another program holds it.
bool OpenClipboardRetrying(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

int ScreenPixelsPerInchY() {
    const int ppi = GetDeviceCaps(ScopedGetDC(nullptr), LOGPIXELSY);
    return ppi > 0 ? ppi : 96;
}

} // namespace

TDateTime TWinClock::Now() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    TDateTimeParts p;
    p.Year = st.wYear;
    p.Month = st.wMonth;
    p.Day = st.wDay;
    p.Hour = st.wHour;
    p.Minute = st.wMinute;
    p.Second = st.wSecond;
    p.Millisecond = st.wMilliseconds;
    return EncodeDateTime(p);
}

std::string TWinLocale::ShortDatePicture() const {
    return LocaleInfo(LOCALE_SSHORTDATE, "M/d/yyyy");
}

std::string TWinLocale::LongTimePicture() const {
    return LocaleInfo(LOCALE_STIMEFORMAT, "h:mm:ss tt");
}

std::string TWinLocale::ShortTimePicture() const {
#ifdef LOCALE_SSHORTTIME
    std::string s = LocaleInfo(LOCALE_SSHORTTIME, "");
#else
    std::string s = LocaleInfo(0x79, "");
#endif
    return s.empty() ? DropSeconds(LongTimePicture()) : s;
}

std::string TWinLocale::TimeAM() const {
    return LocaleInfo(LOCALE_S1159, "AM");
}
std::string TWinLocale::TimePM() const {
    return LocaleInfo(LOCALE_S2359, "PM");
}

int TWinLocale::CompareStr(const std::string& a, const std::string& b) const {
    int r =
        CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), int(a.size()), b.data(), int(b.size()));
    if (r == 0) return a.compare(b);
    return r - CSTR_EQUAL;
}

bool TWinClipboard::SetText(const std::string& text) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!mem) return false;
    void* p = GlobalLock(mem);
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(mem);
    if (!OpenClipboardRetrying(Owner)) {
        GlobalFree(mem);
        return false;
    }
    EmptyClipboard();
    bool ok = SetClipboardData(CF_TEXT, mem) != nullptr;
    CloseClipboard();
    if (!ok) GlobalFree(mem); // the clipboard owns the block only on success
    return ok;
}

std::string TWinClipboard::GetText() {
    std::string text;
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboardRetrying(Owner)) return text;
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(h))) {
            text.assign(p, strnlen(p, GlobalSize(h)));
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

intptr_t TWinShell::Open(const std::string& target, const std::string& folder, int showCmd) {
    return reinterpret_cast<intptr_t>(ShellExecuteA(Owner, nullptr, target.c_str(), nullptr,
                                                    folder.empty() ? nullptr : folder.c_str(),
                                                    showCmd));
}

std::string TWinFileSystem::TempPath() const {
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n > MAX_PATH) return ".\\";
    std::string path(buf, n);
    if (path.back() != '\\') path += '\\';
    return path;
}

std::string TWinFileSystem::TempFileName(const std::string& dir, const std::string& prefix,
                                         unsigned unique) const {
    // With a non-zero number the system only builds the name; 0 would make it
    // create a file, so the number is then chosen here from a free slot.
    unsigned number = unique & 0xFFFF;
    for (unsigned i = 0; number == 0 && i < 0xFFFF; ++i) {
        unsigned candidate = ((GetTickCount() + i) % 0xFFFF) + 1;
        char probe[MAX_PATH];
        if (GetTempFileNameA(dir.c_str(), prefix.c_str(), candidate, probe) && !FileExists(probe))
            number = candidate;
    }
    if (number == 0) number = 1;
    char buf[MAX_PATH];
    if (!GetTempFileNameA(dir.c_str(), prefix.c_str(), number, buf)) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", number);
        std::string d = dir;
        if (!d.empty() && d.back() != '\\') d += '\\';
        return d + prefix.substr(0, 3) + hex + ".TMP";
    }
    return buf;
}

bool TWinFileSystem::FileExists(const std::string& path) const {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TWinFileSystem::ProgramFolder() const {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), DWORD(buf.size()));
        if (n == 0) return ".\\";
        if (n < buf.size()) {
            std::string path(buf.data(), n);
            return path.substr(0, path.find_last_of("\\/:") + 1);
        }
        buf.resize(buf.size() * 2);
    }
}

int TWinScreen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}
int TWinScreen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}
int TWinScreen::PixelsPerInchY() const {
    return ScreenPixelsPerInchY();
}

HFONT CreateFontFor(const TFont& font) {
    int height = -MulDiv(font.Size, ScreenPixelsPerInchY(), 72);
    return CreateFontA(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic,
                       font.Underline, font.StrikeOut, font.Charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       font.Name.c_str());
}

TRealisedFont TWinFonts::Realise(const TFont& font) const {
    TRealisedFont r;
    const ScopedFont f(CreateFontFor(font));
    if (!f) return r;
    const ScopedGetDC dc(nullptr);
    const ScopedSelectObject select(dc, f);
    TEXTMETRICA tm;
    if (GetTextMetricsA(dc, &tm)) {
        r.PitchAndFamily = tm.tmPitchAndFamily;
        r.Charset = tm.tmCharSet;
    }
    return r;
}

TFont TWinFonts::DefaultFont() const {
    TFont font;
    LOGFONTA lf{};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) {
        font.Name = lf.lfFaceName;
        int h = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
        if (h > 0) font.Size = MulDiv(h, 72, ScreenPixelsPerInchY());
        font.Charset = lf.lfCharSet;
    }
    return font;
}

} // namespace vx
