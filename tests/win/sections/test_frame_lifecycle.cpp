// The section frame's life: shown again after the window changed size, and
// built in vain.
#include "FrameRig.h"
#include "GuiObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

using namespace vx;
using namespace vxtest;

TEST(FrameLifecycle, ShownAgainAfterTheWindowGrewItLaysOutFromTheNewSize) {
    TFrameRig rig(nullptr, 900, 640);
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    Pump();
    c.act_Close();
    Pump();
    SetWindowPos(rig.Window, nullptr, 0, 0, 1200, 900, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    c.ShowSection();
    Pump();
    RECT dock, frame, work;
    GetClientRect(rig.Dock->Handle(), &dock);
    GetClientRect(f.Handle(), &frame);
    GetClientRect(f.Panel_WorkArea.Handle(), &work);
    EXPECT_EQ(frame.right, dock.right);
    EXPECT_EQ(frame.bottom, dock.bottom);
    EXPECT_EQ(f.Panel_Data_Base.Width(), work.right / 2);
    EXPECT_EQ(f.Panel_Memo_Base.Height(), work.bottom / 3);
}

TEST(FrameLifecycle, AFrameThatCannotBeBuiltGivesBackWhatItTook) {
    TFrameRig rig; // loads the section art, which the program keeps
    TSectionContext c{rig.Platform.Services(), rig.Registry.get(), &rig.Host, &rig.Viewer,
                      &rig.Shared};
    // A frame needs a parent window to live in.
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(gone);
    TGuiObjects before = GuiObjects();
    for (int i = 0; i < 20; ++i)
        EXPECT_THROW(std::make_unique<Tfme_Sections>(gone, c), std::runtime_error);
    TGuiObjects after = GuiObjects();
    EXPECT_EQ(after.Gdi, before.Gdi);
    EXPECT_EQ(after.User, before.User);
}

// Every section's tool buttons share one tooltip window (a top-level window
// per section cost Wine much); a frame that goes takes its buttons out of it.
TEST(FrameLifecycle, SectionsShareOneTooltipAndAFrameThatGoesTakesItsButtonsAway) {
    TFrameRig rig;
    auto tips = [&rig] {
        std::pair<HWND, std::vector<HWND>> found{rig.Window, {}};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(p);
                char cls[32] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && GetWindow(w, GW_OWNER) == f->first)
                    f->second.push_back(w);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found.second;
    };
    ASSERT_EQ(tips().size(), 1u);
    HWND tip = tips()[0];
    const LRESULT one = SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0);
    EXPECT_GT(one, 0);
    {
        auto second = rig.NewFrame();
        EXPECT_EQ(tips(), std::vector<HWND>{tip});
        EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2 * one);
    }
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), one);
}

// The buttons hand the tooltip their mouse messages themselves (it does not
// subclass them): the mouse resting on one, moved as a user moves it, shows
// that button's hint.
TEST(FrameLifecycle, AToolButtonShowsItsHintWhereTheMouseRests) {
    TFrameRig rig;
    rig.Core().ShowSection();
    Pump();
    ASSERT_TRUE(MoveMouseOver(rig.Frame->btn_Pause.Handle()));
    HWND tip = nullptr;
    for (DWORD end = GetTickCount() + 5000; GetTickCount() < end && !tip; Sleep(10)) {
        PumpFor(10);
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM p) -> BOOL {
                char cls[32] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && IsWindowVisible(w))
                    *reinterpret_cast<HWND*>(p) = w;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&tip));
    }
    ASSERT_NE(tip, nullptr);
    char text[128] = {};
    GetWindowTextA(tip, text, sizeof text);
    EXPECT_STREQ(text, "Pause this section");
}
