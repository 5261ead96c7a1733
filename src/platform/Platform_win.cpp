#include "Platform_win.h"

#include "DateTimeFormat.h"

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
            while (i < picture.size() && picture[i] == 's') ++i;
            // Also drop the separator that led to the seconds.
            while (!out.empty() && !std::strchr("hHmt' ", out.back())) out.pop_back();
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
    HDC dc = GetDC(nullptr);
    int ppi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return ppi > 0 ? ppi : 96;
}

// --- The input box: a dialog template built in memory (caption, prompt, one
// edit, OK and Cancel), so the program needs no dialog resource. ---

enum { kPromptId = 100, kEditId = 101 };

// Appends the parts of a DLGTEMPLATE / DLGITEMTEMPLATE to a WORD buffer.
class TTemplateWriter {
public:
    void Word(WORD w) { data_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t* s) {
        do Word(WORD(*s)); while (*s++);
    }
    void AlignDword() {
        if (data_.size() % 2) Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom) {
        AlignDword();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);  // extended style
        Word(WORD(x));
        Word(WORD(y));
        Word(WORD(cx));
        Word(WORD(cy));
        Word(id);
        Word(0xFFFF);  // predefined class by atom
        Word(classAtom);
        Word(0);  // empty text: the ANSI texts are set at WM_INITDIALOG, unconverted
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    std::vector<WORD> data_;
};

struct TInputState {
    const std::string* Caption;
    const std::string* Prompt;
    const std::string* Value;
    std::string Answer;
};

INT_PTR CALLBACK InputProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* st = reinterpret_cast<TInputState*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        st = reinterpret_cast<TInputState*>(lp);
        SetWindowTextA(dlg, st->Caption->c_str());
        SetDlgItemTextA(dlg, kPromptId, st->Prompt->c_str());
        SetDlgItemTextA(dlg, kEditId, st->Value->c_str());
        SetDlgItemTextA(dlg, IDOK, "OK");
        SetDlgItemTextA(dlg, IDCANCEL, "Cancel");
        SendDlgItemMessageA(dlg, kEditId, EM_SETSEL, 0, -1);
        return TRUE;  // focus goes to the edit, the first tab stop
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            HWND edit = GetDlgItem(dlg, kEditId);
            std::vector<char> buf(GetWindowTextLengthA(edit) + 1, '\0');
            GetWindowTextA(edit, buf.data(), int(buf.size()));
            st->Answer = buf.data();
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

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

std::string TWinLocale::TimeAM() const { return LocaleInfo(LOCALE_S1159, "AM"); }
std::string TWinLocale::TimePM() const { return LocaleInfo(LOCALE_S2359, "PM"); }

int TWinLocale::CompareStr(const std::string& a, const std::string& b) const {
    int r = CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), int(a.size()), b.data(),
                           int(b.size()));
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
    if (!ok) GlobalFree(mem);  // the clipboard owns the block only on success
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

void TWinDialogs::ShowError(const std::string& text) {
    MessageBoxA(Owner, text.c_str(), Title.c_str(), MB_OK | MB_ICONERROR);
}

void TWinDialogs::ShowInformation(const std::string& text) {
    MessageBoxA(Owner, text.c_str(), Title.c_str(), MB_OK | MB_ICONINFORMATION);
}

bool TWinDialogs::ConfirmYesNo(const std::string& text) {
    return MessageBoxA(Owner, text.c_str(), Title.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string TWinDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                  const std::string& def) {
    // Dialog units: wide enough for the prompt on one line, within reason.
    short width = short(std::clamp<size_t>(prompt.size() * 4 + 16, 180, 360));
    TTemplateWriter t;
    t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.Dword(0);
    t.Word(4);  // items
    t.Word(0);
    t.Word(0);
    t.Word(WORD(width));
    t.Word(63);
    t.Word(0);  // no menu
    t.Word(0);  // standard dialog class
    t.Word(0);  // caption set later
    t.Word(8);
    t.Text(L"MS Shell Dlg");
    t.Item(SS_LEFT | SS_NOPREFIX, 8, 6, short(width - 16), 10, kPromptId, 0x0082);
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 19, short(width - 16), 12, kEditId,
           0x0081);
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, short(width / 2 - 54), 41, 50, 14, IDOK, 0x0080);
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, short(width / 2 + 4), 41, 50, 14, IDCANCEL, 0x0080);

    TInputState st{&caption, &prompt, &def, {}};
    INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), Owner, InputProc,
                                        reinterpret_cast<LPARAM>(&st));
    if (r != IDOK) return def;
    return st.Answer;
}

bool TWinDialogs::SaveFile(const TSaveDialogParams& params, std::string& fileName) {
    // The filter's "|" separators become the NULs the dialog wants.
    std::string filter = params.Filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::vector<char> file(32768, '\0');
    params.FileName.copy(file.data(), file.size() - 1);
    std::string ext = params.DefaultExt;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Owner;
    ofn.lpstrFilter = params.Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = params.InitialDir.empty() ? nullptr : params.InitialDir.c_str();
    ofn.lpstrTitle = params.Title.empty() ? nullptr : params.Title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    // Overwriting is the export engine's question, not the dialog's.
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER |
                OFN_ENABLESIZING;
    if (!GetSaveFileNameA(&ofn)) return false;
    fileName = file.data();
    return true;
}

bool TWinDialogs::OpenFile(const TSaveDialogParams& params, std::string& fileName) {
    std::string filter = params.Filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::vector<char> file(32768, '\0');
    params.FileName.copy(file.data(), file.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Owner;
    ofn.lpstrFilter = params.Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = params.InitialDir.empty() ? nullptr : params.InitialDir.c_str();
    ofn.lpstrTitle = params.Title.empty() ? nullptr : params.Title.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&ofn)) return false;
    fileName = file.data();
    return true;
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

int TWinScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TWinScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
int TWinScreen::PixelsPerInchY() const { return ScreenPixelsPerInchY(); }

HFONT CreateFontFor(const TFont& font) {
    int height = -MulDiv(font.Size, ScreenPixelsPerInchY(), 72);
    return CreateFontA(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic,
                       font.Underline, font.StrikeOut, font.Charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       font.Name.c_str());
}

TRealisedFont TWinFonts::Realise(const TFont& font) const {
    TRealisedFont r;
    HFONT f = CreateFontFor(font);
    if (!f) return r;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, f);
    TEXTMETRICA tm;
    if (GetTextMetricsA(dc, &tm)) {
        r.PitchAndFamily = tm.tmPitchAndFamily;
        r.Charset = tm.tmCharSet;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(f);
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

}  // namespace vx
