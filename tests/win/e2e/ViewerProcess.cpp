#include "ViewerProcess.h"

#include <algorithm>

namespace vxtest {

namespace {

const char* const kRegistryRoot = "Software\\Vexel\\Debugger\\1.0";
const char* const kMainCaption = "vxDebugger";
const char* const kMutexName = "vxDebugger.exe"; // the program file's name

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

bool ByTop(HWND a, HWND b) {
    RECT ra = ScreenRect(a), rb = ScreenRect(b);
    return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
}

bool ByLeft(HWND a, HWND b) {
    return ScreenRect(a).left < ScreenRect(b).left;
}

HWND FindMainWindow(DWORD pid) {
    for (HWND w : TopLevelWindows(pid))
        if (ClassOf(w) == "vxWindow" && WindowText(w) == kMainCaption) return w;
    return nullptr;
}

HWND FindReceiver(DWORD pid) {
    for (HWND w = nullptr; (w = FindWindowExA(HWND_MESSAGE, w, "vxClientReceiver", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

// A viewer of an earlier, broken run still holds the single-instance mutex:
// end it by force, since nothing of it is needed.
void EndLeftoverViewer() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
        if (!mutex) return;
        CloseHandle(mutex);
        HWND app = FindWindowA("vxWindow", "vxDebugger for Delphi");
        DWORD pid = 0;
        if (app) GetWindowThreadProcessId(app, &pid);
        if (HANDLE p = pid ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr) {
            TerminateProcess(p, 3);
            WaitForSingleObject(p, 5000);
            CloseHandle(p);
        }
        Sleep(100);
    }
}

} // namespace

std::string ProgramPath(const char* unixPath) {
    std::string exe = unixPath;
    if (!exe.empty() && exe[0] == '/') exe = "Z:" + exe;
    std::replace(exe.begin(), exe.end(), '/', '\\');
    return exe;
}

// --- TChildProcess ---

TChildProcess::~TChildProcess() {
    if (Running()) Terminate();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
    if (read_) CloseHandle(read_);
}

bool TChildProcess::Start(const std::string& commandLine) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE write = nullptr;
    if (!CreatePipe(&read_, &write, &sa, 1 << 16)) return false;
    SetHandleInformation(read_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = write;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string cmd = commandLine;
    bool ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                             &info_);
    CloseHandle(write);
    return ok;
}

bool TChildProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool TChildProcess::Wait(DWORD ms) {
    bool ended = WaitFor(
        [this] {
            Output(); // keep the pipe drained so the child never blocks on it
            return !Running();
        },
        ms);
    Output();
    return ended;
}

DWORD TChildProcess::ExitCode() const {
    DWORD code = 0xDEAD;
    if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

const std::string& TChildProcess::Output() {
    DWORD available = 0;
    while (read_ && PeekNamedPipe(read_, nullptr, 0, nullptr, &available, nullptr) && available) {
        std::vector<char> buf(available);
        DWORD got = 0;
        if (!ReadFile(read_, buf.data(), available, &got, nullptr) || !got) break;
        output_.append(buf.data(), got);
    }
    return output_;
}

void TChildProcess::Terminate() {
    if (!Running()) return;
    TerminateProcess(info_.hProcess, 3);
    WaitForSingleObject(info_.hProcess, 5000);
}

std::unique_ptr<TChildProcess> StartVxsend(const std::string& args) {
    auto child = std::make_unique<TChildProcess>();
    if (!child->Start("\"" + ProgramPath(VXSEND_EXE) + "\" " + args)) return nullptr;
    return child;
}

TVxsendResult RunVxsend(const std::string& args, DWORD ms) {
    TVxsendResult result;
    auto child = StartVxsend(args);
    if (!child) return result;
    if (!child->Wait(ms)) {
        child->Terminate();
        result.Output = child->Output() + "<timed out>";
        return result;
    }
    result.ExitCode = child->ExitCode();
    result.Output = child->Output();
    return result;
}

// --- TSectionView ---

TSectionView::TSectionView(HANDLE process, HWND frame) : process_(process), frame_(frame) {
    std::vector<HWND> statics = FindDescendants(frame, "Static");
    for (HWND s : statics) {
        std::string t = WindowText(s);
        if (StartsWith(t, "Client ID:"))
            id_ = s;
        else if (StartsWith(t, "Application Name:"))
            application_ = s;
        else if (StartsWith(t, "Debug Level:"))
            level_ = s;
    }
    // The connection label is the fourth label of the header panel.
    for (HWND s : statics)
        if (id_ && s != id_ && s != application_ && s != level_ && GetParent(s) == GetParent(id_))
            connection_ = s;
    for (HWND l : FindDescendants(frame, "SysListView32")) {
        int columns = TRemoteList(process, l).ColumnCount();
        if (columns == 4)
            debug_ = l;
        else if (columns == 2)
            billboard_ = l;
    }
    std::vector<HWND> source, info;
    HWND unitLabel = nullptr;
    for (HWND s : statics)
        if (WindowText(s) == "Unit name:") unitLabel = s;
    // The find bar's parts are no info pad: the bar holds the line with ID 0x4F10.
    HWND findBar = nullptr;
    for (HWND s : statics)
        if (GetDlgCtrlID(s) == 0x4F10) findBar = GetParent(s);
    for (HWND e : FindDescendants(frame, "Edit")) {
        if (findBar && GetParent(e) == findBar) continue;
        if (GetWindowLongA(e, GWL_STYLE) & ES_MULTILINE)
            memo_ = e;
        else if (unitLabel && GetParent(e) == GetParent(unitLabel))
            source.push_back(e);
        else
            info.push_back(e);
    }
    std::sort(source.begin(), source.end(), ByLeft);
    std::sort(info.begin(), info.end(), ByTop);
    std::vector<HWND> infoLabels;
    for (HWND s : statics)
        if (!info.empty() && GetParent(s) == GetParent(info[0])) infoLabels.push_back(s);
    std::sort(infoLabels.begin(), infoLabels.end(), ByTop);
    for (size_t i = 0; i < 3; ++i) {
        if (i < source.size()) source_[i] = source[i];
        if (i < info.size()) infoEdits_[i] = info[i];
        if (i < infoLabels.size()) infoLabels_[i] = infoLabels[i];
    }
}

bool TSectionView::Complete() const {
    for (HWND w : {id_, application_, level_, connection_, debug_, billboard_, memo_, source_[0],
                   source_[1], source_[2], infoLabels_[0], infoLabels_[1], infoLabels_[2],
                   infoEdits_[0], infoEdits_[1], infoEdits_[2]})
        if (!w) return false;
    return true;
}

HWND TSectionView::Button(const std::string& hint) const {
    std::vector<HWND> found = FindDescendants(frame_, "vxWindow", hint.c_str());
    return found.empty() ? nullptr : found[0];
}

bool TSectionView::Click(const std::string& hint) const {
    HWND b = Button(hint);
    DWORD_PTR result = 0;
    return b && SendMessageTimeoutA(b, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

// --- TViewerProcess ---

TViewerProcess::~TViewerProcess() {
    if (Running() && !ExitThroughMenu()) Terminate();
    boxes_.reset();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool TViewerProcess::Start(DWORD ms) {
    EndLeftoverViewer();
    // Every run starts from the default window and panel settings.
    RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryRoot);
    const std::string display = std::string(kRegistryRoot) + "\\Display";
    for (const auto& [name, value] : DisplayValues)
        RegSetKeyValueA(HKEY_CURRENT_USER, display.c_str(), name.c_str(), REG_SZ, value.c_str(),
                        DWORD(value.size() + 1));
    std::string cmd = "\"" + ProgramPath(VXDEBUGGER_EXE) + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &info_))
        return false;
    boxes_ = std::make_unique<TBoxWatcher>(info_.dwProcessId);
    bool up = WaitFor(
        [this] {
            main_ = FindMainWindow(info_.dwProcessId);
            return main_ && IsWindowVisible(main_);
        },
        ms);
    announced_ = up ? FindReceiver(info_.dwProcessId) : nullptr;
    return up;
}

bool TViewerProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool TViewerProcess::Responsive(DWORD ms) const {
    DWORD_PTR result = 0;
    return Running() && SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result);
}

bool TViewerProcess::ChooseShutdown() {
    if (!Running()) return false;
    // Alt+F drops the File menu down; "&Shutdown..." is chosen by its letter
    // once the menu is up (its modal loop reads the keys of the thread).
    PostMessageA(main_, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    auto menuUp = [this] {
        for (HWND w : TopLevelWindows(Pid()))
            if (ClassOf(w) == "#32768" && IsWindowVisible(w)) return true;
        return false;
    };
    if (!WaitFor(menuUp, 5000)) return false;
    PostMessageA(main_, WM_CHAR, 's', 0);
    return true;
}

bool TViewerProcess::ExitThroughMenu(DWORD ms) {
    if (!Running()) return false;
    boxes_->SetAnswerYes(true);
    bool chosen = ChooseShutdown();
    bool ended = chosen && WaitFor([this] { return !Running(); }, ms);
    boxes_->SetAnswerYes(false);
    return ended;
}

void TViewerProcess::Terminate() {
    if (!Running()) return;
    TerminateProcess(info_.hProcess, 3);
    WaitForSingleObject(info_.hProcess, 5000);
}

TRemoteStatusBar TViewerProcess::StatusBar() const {
    std::vector<HWND> bars = FindDescendants(main_, "msctls_statusbar32");
    return {info_.hProcess, bars.empty() ? nullptr : bars[0]};
}

std::string TViewerProcess::InformationLine() const {
    // The black line under the menu: the bordered panel 41 pixels high.
    for (HWND w : FindDescendants(main_, "vxWindow")) {
        RECT r = ScreenRect(w);
        if ((GetWindowLongA(w, GWL_STYLE) & WS_BORDER) && r.bottom - r.top == 41)
            return WindowText(w);
    }
    return "<no information line>";
}

std::vector<TSectionView> TViewerProcess::Sections() const {
    // A frame is the grandparent of its client-ID label; the dock lists its
    // frames top first. A frame is made in steps: one that has not all its
    // parts yet is not listed.
    std::vector<TSectionView> sections;
    for (HWND s : FindDescendants(main_, "Static"))
        if (StartsWith(WindowText(s), "Client ID:")) {
            TSectionView view(info_.hProcess, GetParent(GetParent(s)));
            if (view.Complete()) sections.push_back(view);
        }
    return sections;
}

std::unique_ptr<TSectionView> TViewerProcess::Section(const std::string& idLabel) const {
    for (const TSectionView& s : Sections())
        if (s.IdLabel() == idLabel) return std::make_unique<TSectionView>(s);
    return nullptr;
}

std::unique_ptr<TSectionView> TViewerProcess::VisibleSection() const {
    for (const TSectionView& s : Sections())
        if (s.Visible()) return std::make_unique<TSectionView>(s);
    return nullptr;
}

std::vector<THeaderView> TViewerProcess::SideBar() const {
    std::vector<HWND> headers = FindDescendants(main_, "vxOutlookBarHeader");
    std::sort(headers.begin(), headers.end(), ByTop);
    std::vector<THeaderView> views;
    for (HWND h : headers) {
        THeaderView v;
        v.Window = h;
        v.Caption = WindowText(h);
        v.Buttons = FindDescendants(h, "vxOutlookButton");
        std::sort(v.Buttons.begin(), v.Buttons.end(), ByTop);
        for (HWND b : v.Buttons)
            v.ButtonCaptions.push_back(WindowText(b));
        views.push_back(std::move(v));
    }
    return views;
}

HWND TViewerProcess::TextViewer() const {
    for (HWND w : TopLevelWindows(Pid()))
        if (WindowText(w) == "vxDebugger Text Viewer") return w;
    return nullptr;
}

HWND TViewerProcess::WaitForWindow(const char* cls, const char* text, DWORD ms) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            std::vector<HWND> w = VisibleTopLevels(Pid(), cls, text);
            found = w.empty() ? nullptr : w[0];
            return found != nullptr;
        },
        ms);
    return found;
}

HWND TViewerProcess::OpenContextMenu(HWND list, DWORD ms) const {
    RECT r{};
    GetClientRect(list, &r);
    LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(list, WM_RBUTTONUP, 0, at);
    return WaitForWindow("#32768", nullptr, ms);
}

bool TViewerProcess::ChooseMenuEntry(HWND popup, const std::string& text, int place) const {
    auto close = [&] {
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitFor([&] { return OpenPopupMenus(Pid()).empty(); }, 5000);
        return false;
    };
    std::vector<TRemoteMenuItem> items = PopupMenuItems(popup);
    int keys = place + 1; // the first Down highlights the first entry
    if (!items.empty()) {
        auto wanted = std::find_if(items.begin(), items.end(),
                                   [&](const TRemoteMenuItem& i) { return i.Text == text; });
        if (wanted == items.end() || wanted->Disabled) return close();
        keys = 1 + int(std::count_if(items.begin(), wanted,
                                     [](const TRemoteMenuItem& i) { return !i.Separator; }));
    }
    // The menu's own loop reads the keys of the thread in the order they come.
    for (int i = 0; i < keys; ++i)
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    if (WaitFor([&] { return OpenPopupMenus(Pid()).empty(); }, 5000)) return true;
    return close(); // Enter on a disabled entry leaves the menu open
}

} // namespace vxtest
