#include "mainwindow/ViewerApp_win.h"

#include "find/RuleDialog_win.h"

#include "forms/form_About_win.h"
#include "forms/form_Splash_win.h"
#include "mainwindow/ExceptionLog.h"
#include "mainwindow/form_MainWindow_win.h"
#include "platform/WindowHelpers_win.h"
#include "ui/Dialogs_win.h"
#include "protocol/vxDebugIntf.h"
#include "sections/form_Viewer_win.h"
#include "settings/RegistrySettings_win.h"

#include <shlobj.h>

#include <stdexcept>
#include <vector>

namespace vx {

TSingleInstance::TSingleInstance(const std::string& name) {
    mutex_ = CreateMutexA(nullptr, FALSE, name.c_str());
    another_ = mutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}

TSingleInstance::~TSingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}

TApplicationWindow::TApplicationWindow(const std::string& title) {
    CreateOwn(nullptr, WS_POPUP, WS_EX_TOOLWINDOW, title.c_str());
}

UINT TApplicationWindow::ActivateMessage() {
    static UINT msg = RegisterWindowMessageA("vxDebuggerShowInstance");
    return msg;
}

LRESULT TApplicationWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == ActivateMessage()) {
        if (OnActivate) OnActivate();
        return 1;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

std::string ProgramFileName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(p.find_last_of("\\/:") + 1);
}

bool ActivateRunningInstance(const std::string& title) {
    HWND app = FindWindowA("vxWindow", title.c_str());
    if (!app) return false;
    // The first instance may take the foreground that this start was given.
    DWORD pid = 0;
    GetWindowThreadProcessId(app, &pid);
    AllowSetForegroundWindow(pid);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(app, TApplicationWindow::ActivateMessage(), 0, 0, SMTO_ABORTIFHUNG, 5000,
                        &answer);
    return true;
}

std::string ExceptionLogFolder() {
    char base[MAX_PATH] = {};
    if (SUCCEEDED(
            SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base))) {
        std::string folder = std::string(base) + "\\Vexel";
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\Debugger";
        CreateDirectoryA(folder.c_str(), nullptr);
        DWORD attr = GetFileAttributesA(folder.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
            return folder + "\\";
    }
    return TWinFileSystem().TempPath();
}

namespace {

TExceptionLog* g_log = nullptr; // for the crash filter, which has no context

// A crash is logged before the process ends, so CMP.LOG tells what happened.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) {
    if (g_log && info && info->ExceptionRecord) {
        char text[64];
        wsprintfA(text, "Exception %08lX", info->ExceptionRecord->ExceptionCode);
        g_log->Append(text, info->ExceptionRecord->ExceptionAddress);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// Records from clients of lower integrity must still get through when the
// viewer runs elevated (Windows 7 and later; missing before).
void AllowClientMessages(HWND hwnd) {
    using Fn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")));
    if (!fn) return;
    const DWORD kAllow = 1; // MSGFLT_ALLOW
    for (UINT msg : {UINT(WM_COPYDATA), WM_CLIENT2DEBUGGER})
        fn(hwnd, msg, kAllow, nullptr);
}

} // namespace

int RunViewer(HINSTANCE instance) {
    RegisterDebugMessages();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                             ICC_LISTVIEW_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&icc);

    // A second start gives way before it shows anything.
    TSingleInstance single(ProgramFileName());
    if (single.AnotherRunning()) {
        ActivateRunningInstance(kApplicationTitle);
        return 0;
    }

    TWinPlatform platform;
    platform.Dialogs.Title = kApplicationTitle;
    TRegistrySettings backend;
    TRegistryHandler registry(backend);
    TExceptionLog log(ExceptionLogFolder(), platform.Locale, platform.Clock);
    g_log = &log;
    SetUnhandledExceptionFilter(CrashFilter);
    // Logged before the box is shown: the entry stays even if the user never
    // answers it.
    ui::SetExceptionHandler([&](const std::exception& e, const std::string& where) {
        log.AppendException(e, where);
        platform.Dialogs.ShowError(e.what());
    });
    registry.OnError = [](const std::string& message) {
        ui::HandleException(std::runtime_error(message), "TRegistryHandler");
    };

    TApplicationWindow application(kApplicationTitle);
    auto splash = std::make_unique<Tfrm_SplashScreen>(instance);
    splash->Show();

    Tfrm_VexelDebugWindow mainWindow({instance, platform.Services(), &registry});
    platform.SetOwner(mainWindow.Handle());
    AllowClientMessages(mainWindow.Handle());
    // Clients are told of the receiver's window, which takes their records
    // on a thread of its own; without it the main window takes them.
    if (mainWindow.StartClientReceiver()) AllowClientMessages(mainWindow.Receiver->Handle());
    mainWindow.Splash = std::move(splash);
    mainWindow.OnLogNote = [&log](const std::string& note) { log.Append(note, "Note", "Rules"); };
    mainWindow.OnClosed = [] { PostQuitMessage(0); };
    // A remote peer never raises a box: what it did wrong goes to the log.
    mainWindow.OnRemoteTrouble = [&log](const std::string& text) {
        log.Append(text, "Remote client", "TTcpListener");
    };
    application.OnActivate = [&mainWindow] { mainWindow.act_ShowExecute(); };

    Tfrm_About about(instance, registry, &platform.Shell, mainWindow.Handle());
    mainWindow.About = &about;
    Tfrm_Viewer viewer(instance, mainWindow.Handle());
    mainWindow.Viewer = &viewer;
    TRuleDialog ruleDialog(mainWindow.Handle());
    mainWindow.RuleEditor = &ruleDialog;

    ShowWindow(mainWindow.Handle(), SW_SHOWNORMAL); // FormShow announces the viewer
    UpdateWindow(mainWindow.Handle());
    // Session files named on the command line (a double-click on one) open
    // as read-only sections.
    for (int i = 1; i < __argc; ++i)
        if (__argv && __argv[i] && *__argv[i]) mainWindow.OpenSessionFile(__argv[i]);
    MSG msg;
    while (NextMessage(msg) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The sections go while the viewer and the about box they refer to still stand.
    if (mainWindow.Handle()) DestroyWindow(mainWindow.Handle());
    mainWindow.About = nullptr;
    mainWindow.Viewer = nullptr;
    mainWindow.RuleEditor = nullptr;
    g_log = nullptr;
    ui::SetExceptionHandler(nullptr);
    return int(msg.wParam);
}

} // namespace vx
