// The about box: version text, layout at any screen setting, position memory,
// links, caption, modal run and animation.
#include "support/WinTest_win.h"
#include "forms/ProgramVersion_win.h"
#include "forms/form_About_win.h"
#include "platform/Fakes.h"
#include "ui/CaptionGradient_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace vx;

namespace {

std::string SiblingPath(const char* name) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/") + 1) + name;
}

RECT Bounds(const TvxLinkLabel& label) {
    return label.BoundsRect();
}

// The texts keep to the places the box was laid out for: the title on its
// panel, no line running into the next, the credits inside their frame.
void ExpectLayoutKept(const Tfrm_About& about) {
    RECT panel;
    GetClientRect(about.Panel_Client.Handle(), &panel);
    const RECT title = Bounds(*about.lbl_CMP), version = Bounds(*about.Lbl_Version);
    EXPECT_LE(title.right, panel.right) << "the title runs past its panel";
    EXPECT_LE(title.bottom, version.top);
    EXPECT_LE(version.bottom, Bounds(*about.lbl_Notice).top);
    EXPECT_LE(Bounds(*about.lbl_Notice).bottom, Bounds(*about.lbl_Support).top);
    EXPECT_LE(Bounds(*about.lbl_Support).bottom, Bounds(*about.Label1).top);
    EXPECT_LE(Bounds(*about.lbl_Author).right, panel.right);
    const RECT bevel3 = AboutBevels(about.Dpi())[0];
    for (const TvxLinkLabel* l : {about.lbl_Icons_1.get(), about.lbl_Icons_2.get(),
                                  about.lnk_Silk.get(), about.lnk_Tango.get()}) {
        const RECT r = Bounds(*l);
        EXPECT_TRUE(r.left >= bevel3.left && r.top >= bevel3.top && r.right <= bevel3.right &&
                    r.bottom <= bevel3.bottom)
            << l->Caption() << " leaves its frame";
    }
    EXPECT_LE(Bounds(*about.lbl_Icons_1).bottom, Bounds(*about.lbl_Icons_2).top);
    EXPECT_LE(Bounds(*about.lbl_Icons_1).right, Bounds(*about.lnk_Silk).left);
}

// The pixels per inch of the prefix's screen for the programs started while
// this lives (Wine reads LogPixels when a program starts); the value before
// is put back.
class TScreenDpiForChildren {
  public:
    explicit TScreenDpiForChildren(DWORD dpi) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof old_, type = 0;
        had_ = RegQueryValueExA(key_, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&old_),
                                &size) == ERROR_SUCCESS &&
               type == REG_DWORD;
        RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi);
    }
    ~TScreenDpiForChildren() {
        if (!key_) return;
        if (had_)
            RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                           sizeof old_);
        else
            RegDeleteValueA(key_, "LogPixels");
        RegCloseKey(key_);
    }

  private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

constexpr int kHighDpi = 144;
constexpr DWORD kDpiNotTaken = 77; // the child's screen kept its setting

// Runs one test of this program in a process of its own; its exit code.
DWORD RunTestInChild(const std::string& filter) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cmd = std::string("\"") + self +
                      "\" --gtest_brief=1 --gtest_also_run_disabled_tests --gtest_filter=" + filter;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return DWORD(-1);
    DWORD code = DWORD(-2);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

struct AboutTest : ::testing::Test {
    TMemorySettings store;
    TRegistryHandler settings{store};
    TFakeShell shell;
    HINSTANCE module = GetModuleHandleA(nullptr);
    std::string Stored(const char* name) {
        return settings.RegReadString(kDisplaySection, name, "<none>");
    }
};

// Test timers have no window: their state lives here.
Tfrm_About* gAbout = nullptr;
struct TSeen {
    bool Showing = false, Visible = false, Animating = false, HostDisabled = false;
    bool CaptionPainted = true; // false: the caption's start is not the gradient's colour
    int FramesStepped = 0;
} gSeen;
HWND gHost = nullptr;
int gFirstFrame = 0;

void CALLBACK ObserveAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    gSeen.Showing = gAbout->Showing();
    gSeen.Visible = IsWindowVisible(gAbout->Handle());
    gSeen.Animating = gAbout->GIFAnimator_1->Animate();
    gSeen.HostDisabled = !IsWindowEnabled(gHost);
    gSeen.FramesStepped = gAbout->GIFAnimator_1->Frame() - gFirstFrame;
    // The caption's first pixels, just inside the frame, are the gradient's
    // start, as on the main window (where the system draws captions itself,
    // there is nothing to see).
    ui::TCaptionGradient probe;
    probe.Attach(gAbout->Handle());
    TITLEBARINFO bar{};
    bar.cbSize = sizeof bar;
    if (probe.Painting() && GetTitleBarInfo(gAbout->Handle(), &bar)) {
        RECT window;
        GetWindowRect(gAbout->Handle(), &window);
        POINT client{0, 0};
        ClientToScreen(gAbout->Handle(), &client);
        HDC dc = GetWindowDC(gAbout->Handle());
        const COLORREF first =
            GetPixel(dc, client.x - window.left + 1, bar.rcTitleBar.bottom - window.top - 2);
        ReleaseDC(gAbout->Handle(), dc);
        const ui::TCaptionColors colors;
        gSeen.CaptionPainted = first == colors.ActiveFrom || first == colors.InactiveFrom;
    }
    SendMessageA(gAbout->btn_Close, BM_CLICK, 0, 0);
}

// Ends a modal run that nothing else ended, so a broken close fails instead of hanging.
bool gSafetyFired = false;
void CALLBACK Safety(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (gAbout && gAbout->Showing()) {
        gSafetyFired = true;
        gAbout->Close();
    }
}

void CALLBACK PressEscape(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageA(gAbout->btn_Close, WM_KEYDOWN, VK_ESCAPE, 0);
}

} // namespace

TEST(VersionText, MajorMinorAndReleaseWithoutSeparator) {
    EXPECT_EQ(FormatVersionText(0x00010002, 0x00030000), "1.23");
    EXPECT_EQ(FormatVersionText(0x00010002, 0x00000005), "1.2");
    EXPECT_EQ(FormatVersionText(0x000A0000, 0x00000000), "10.0");
    // This test program carries FILEVERSION 1,2,3,0; its sibling none at all.
    EXPECT_EQ(ProgramVersionText(), "1.23");
    EXPECT_EQ(FileVersionText(SiblingPath(VX_NOVERSION_EXE)), "");
    EXPECT_EQ(FileVersionText(SiblingPath("no-such-file.exe")), "");
}

TEST_F(AboutTest, LayoutTextsAndLinks) {
    Tfrm_About about(module, settings, &shell);
    HWND h = about.Handle();
    ASSERT_TRUE(IsWindow(h));
    EXPECT_FALSE(IsWindowVisible(h)); // created hidden
    EXPECT_EQ(vxtest::WindowText(h), "About");
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 603);
    EXPECT_EQ(client.bottom, 401);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU); // no border icons
    EXPECT_EQ(about.Lbl_Version->Caption(), "1.23");
    EXPECT_EQ(about.lbl_CMP->Caption(), "vxDebugger for Borland Delphi");
    EXPECT_EQ(vxtest::WindowText(about.btn_Close), "&OK");

    EXPECT_EQ(about.lbl_Author->LabelStyle(), TvxLinkLabelStyle::lsMailTo);
    EXPECT_EQ(about.vxLinkLabel->LabelStyle(), TvxLinkLabelStyle::lsInternetLink);
    for (TvxLinkLabel* link : {about.lbl_Author.get(), about.vxLinkLabel.get(),
                               about.lnk_Silk.get(), about.lnk_Tango.get()}) {
        EXPECT_EQ(link->ShadowSize(), 0);
        EXPECT_EQ(link->LinkFont().Name, "MS Sans Serif");
        EXPECT_EQ(link->LinkFont().Size, 8);
        EXPECT_TRUE(link->LinkFont().Underline);
        link->Click();
    }
    ASSERT_EQ(shell.Calls.size(), 4u);
    EXPECT_EQ(shell.Calls[0].Target, std::string("mailto:") + kSupportMail);
    EXPECT_EQ(shell.Calls[1].Target, kPublisherWebPage);
    EXPECT_EQ(shell.Calls[2].Target, kSilkIconsPage);
    EXPECT_EQ(shell.Calls[3].Target, kTangoIconsPage);

    // A link stays clear of the text before it.
    EXPECT_GE(about.lbl_Author->BoundsRect().left, about.lbl_Support->BoundsRect().right);
    EXPECT_GE(about.vxLinkLabel->BoundsRect().left, about.Label1->BoundsRect().right);
    ExpectLayoutKept(about);
}

// Run by the test below in a process whose screen has 144 pixels per inch.
TEST_F(AboutTest, DISABLED_LayoutAtHighDpi) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi != kHighDpi) std::exit(int(kDpiNotTaken));
    Tfrm_About about(module, settings, &shell);
    // Scaled with the setting, its texts in their places.
    EXPECT_EQ(about.Dpi(), UINT(kHighDpi));
    RECT client;
    GetClientRect(about.Handle(), &client);
    EXPECT_EQ(client.right, ui::Scale(kAboutClientWidth, kHighDpi));
    EXPECT_EQ(client.bottom, ui::Scale(kAboutClientHeight, kHighDpi));
    ExpectLayoutKept(about);
}

TEST_F(AboutTest, KeepsItsLayoutAtHighDpi) {
    DWORD code;
    {
        TScreenDpiForChildren dpi(kHighDpi);
        code = RunTestInChild("AboutTest.DISABLED_LayoutAtHighDpi");
    }
    if (code == kDpiNotTaken) GTEST_SKIP() << "a new program here keeps the screen's setting";
    EXPECT_EQ(code, 0u);
}

TEST_F(AboutTest, RemembersItsPosition) {
    TFormPosition centred;
    {
        Tfrm_About about(module, settings, &shell);
        centred = about.Position();
        EXPECT_GT(centred.Left, 0); // nothing stored: stays where it was made
        about.SetPosition({123, 45});
    }
    EXPECT_EQ(Stored("About Left"), "123");
    EXPECT_EQ(Stored("About Top"), "45");
    {
        Tfrm_About about(module, settings, &shell);
        EXPECT_EQ(about.Position(), (TFormPosition{123, 45}));
    }

    settings.RegWriteInteger(kDisplaySection, "About Left", -20);
    settings.RegWriteInteger(kDisplaySection, "About Top", -1);
    {
        Tfrm_About about(module, settings, &shell);
        EXPECT_EQ(about.Position(), (TFormPosition{0, 0}));
    }
    // Beyond the screen is kept as stored.
    settings.RegWriteInteger(kDisplaySection, "About Left", 5000);
    settings.RegWriteInteger(kDisplaySection, "About Top", 4000);
    {
        Tfrm_About about(module, settings, &shell);
        EXPECT_EQ(about.Position(), (TFormPosition{5000, 4000}));
    }
    EXPECT_EQ(Stored("About Left"), "5000");
}

TEST_F(AboutTest, ModalRunAnimatesOnlyWhileOpen) {
    vxtest::TPlainHost host;
    gHost = host.Handle();
    ShowWindow(gHost, SW_SHOWNOACTIVATE);
    Tfrm_About about(module, settings, &shell, gHost);
    gAbout = &about;
    ASSERT_TRUE(about.GIFAnimator_1->PictureLoaded());
    ASSERT_GT(about.GIFAnimator_1->FrameCount(), 1);
    EXPECT_FALSE(about.GIFAnimator_1->Animate());
    gFirstFrame = about.GIFAnimator_1->Frame();

    // OK pressed after a while: the animation ran and the host was disabled.
    SetTimer(nullptr, 0, 1200, &ObserveAndClose);
    UINT_PTR safety = SetTimer(nullptr, 0, 5000, &Safety);
    about.Execute();
    KillTimer(nullptr, safety);
    EXPECT_FALSE(gSafetyFired);
    EXPECT_TRUE(gSeen.Showing);
    EXPECT_TRUE(gSeen.Visible);
    EXPECT_TRUE(gSeen.Animating);
    EXPECT_TRUE(gSeen.HostDisabled);
    EXPECT_GE(gSeen.FramesStepped, 1);
    EXPECT_TRUE(gSeen.CaptionPainted);
    EXPECT_FALSE(about.Showing());
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
    EXPECT_FALSE(about.GIFAnimator_1->Animate());
    EXPECT_TRUE(IsWindowEnabled(gHost));

    // Hidden, the animation stands still.
    const int frame = about.GIFAnimator_1->Frame();
    vxtest::PumpFor(700);
    EXPECT_EQ(about.GIFAnimator_1->Frame(), frame);

    // Escape closes the box too.
    SetTimer(nullptr, 0, 200, &PressEscape);
    safety = SetTimer(nullptr, 0, 3000, &Safety);
    about.ShowModal();
    KillTimer(nullptr, safety);
    EXPECT_FALSE(gSafetyFired);
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
    gAbout = nullptr;
}
