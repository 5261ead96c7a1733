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

// A frame is made in steps, a message each, and shows once it is whole: the
// list takes rows at once, and what came while the other parts were missing
// (updates ran in between) shows once they are there, each in its place.
TEST(FrameLifecycle, AFrameMadeInStepsShowsWhatCameMeanwhileInItsPlaces) {
    TFrameRig rig;
    TSectionContext c{rig.Platform.Services(), rig.Registry.get(), &rig.Host, &rig.Viewer,
                      &rig.Shared};
    Tfme_Sections f(rig.Dock->Handle(), c);
    ASSERT_FALSE(f.Built());
    EXPECT_NE(f.lst_Debug.Handle(), nullptr);
    EXPECT_EQ(f.lst_Messages.Handle(), nullptr);
    TSectionCore& core = f.Core();
    core.ShowSection();
    TDebugInfoRec r = Rec(1, 14, "first", "payload", 12);
    core.AddDebugInfo(r, false);
    core.AddMessage("1|hello");
    core.SetInfoLine(1, "Users|12");
    int steps = 0;
    MSG m;
    while (!f.Built() && PeekMessageA(&m, f.Handle(), Tfme_Sections::kBuildMessage,
                                      Tfme_Sections::kBuildMessage, PM_REMOVE)) {
        EXPECT_FALSE(IsWindowVisible(f.Handle())); // not shown half made
        DispatchMessageA(&m);
        ++steps;
        f.UpdateNow(); // an update between two steps, as a flood brings them
    }
    ASSERT_TRUE(f.Built());
    EXPECT_GE(steps, 8);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    Pump();
    EXPECT_EQ(f.lst_Debug.Count(), 1);
    EXPECT_EQ(f.lst_Messages.Count(), 1);
    EXPECT_EQ(WindowText(f.lbl_Info_1.Handle()), "Users");
    EXPECT_EQ(WindowText(f.Edit_Info_1.Handle()), "12");
    EXPECT_EQ(WindowText(f.Edit_LineNumber.Handle()), "12");
    EXPECT_NE(WindowText(f.Memo_Data.Handle()).find("payload"), std::string::npos);
    // Tools over the header over the work area; the billboard at its bottom,
    // the data panel at its right, the info pad under the source fields.
    RECT work, memo, data, list, pad, map;
    GetClientRect(f.Panel_WorkArea.Handle(), &work);
    memo = f.Panel_Memo_Base.Bounds();
    data = f.Panel_Data_Base.Bounds();
    list = f.Panel_List_Base.Bounds();
    pad = f.Panel_InfoPad.Bounds();
    map = f.Panel_MapInfo.Bounds();
    EXPECT_LT(f.panel_tools.Bounds().top, f.Panel_Info.Bounds().top);
    EXPECT_LE(f.Panel_Info.Bounds().bottom, f.Panel_WorkArea.Bounds().top);
    EXPECT_EQ(memo.bottom, work.bottom);
    EXPECT_EQ(data.right, work.right);
    // Sized from the work area as it is with the tools and header above it.
    EXPECT_EQ(memo.bottom - memo.top, work.bottom / 3);
    EXPECT_EQ(data.right - data.left, work.right / 2);
    EXPECT_LT(list.right, data.left);
    EXPECT_LT(list.bottom, memo.top);
    EXPECT_LE(map.bottom, pad.top);
    EXPECT_EQ(f.lst_Debug.Bounds().bottom, map.top);
    // Shown without drawing at once, each window painted in a WM_PAINT of its
    // own: the screen holds what drawing the whole frame again draws.
    RECT below;
    GetWindowRect(rig.Window, &below);
    SetCursorPos(below.left + 5, below.bottom + 20); // nothing hot-tracked
    RedrawWindow(f.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const TPixels shown = Shown(f.Handle());
    RedrawWindow(f.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const TPixels full = Shown(f.Handle());
    ASSERT_EQ(shown.Data.size(), full.Data.size());
    int differ = 0;
    for (size_t i = 0; i < full.Data.size(); ++i)
        differ += shown.Data[i] != full.Data[i];
    EXPECT_EQ(differ, 0) << "pixels not painted when the frame showed";
}
