// Sections end to end: the demo filling three sections, the side bar's
// headers and buttons, the data viewer, pause, disconnect, delete and
// reconnect, and the closing notice reaching connected clients at shut-down.
#include "E2EFixture.h"

#include <algorithm>

using namespace vx;
using namespace vxtest;

namespace {

// A left click in the window's corner, as the mouse would post it.
void Click(HWND w) {
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

const THeaderView* FindHeader(const std::vector<THeaderView>& bar, const std::string& caption) {
    for (const THeaderView& h : bar)
        if (h.Caption == caption) return &h;
    return nullptr;
}

std::vector<std::string> HeaderCaptions(const std::vector<THeaderView>& bar) {
    std::vector<std::string> captions;
    for (const THeaderView& h : bar)
        captions.push_back(h.Caption);
    return captions;
}

} // namespace

TEST_F(E2ETest, DemoFillsItsSections) {
    StartViewer();
    TVxsendResult demo = RunVxsend("demo", 60000);
    ASSERT_EQ(demo.ExitCode, 0u) << demo.Output;
    EXPECT_NE(demo.Output.find("from 3 clients"), std::string::npos) << demo.Output;

    struct Expect {
        const char* Label;
        int Rows;
        const char* Level;
        const char* Records;
    };
    // Each demo client sends every (k+1)-th sample row from the k-th, three times.
    const Expect expect[] = {
        {"Client ID: Inventory-1832 [Inventory (main)]", 63, "Debug Level: Medium", "111"},
        {"Client ID: Inventory-1832-Import [Import thread]", 30, "Debug Level: Medium", "114"},
        {"Client ID: Mailer-2204 [Mailer]", 21, "Debug Level: High", "117"},
    };
    for (const Expect& e : expect) {
        SCOPED_TRACE(e.Label);
        auto s = WaitForSection(e.Label);
        ASSERT_TRUE(s);
        EXPECT_EQ(EventuallyCount(e.Rows, [&] { return s->DebugList().Count(); }), e.Rows);
        EXPECT_EQ(EventuallyCount(3, [&] { return s->Billboard().Count(); }), 3);
        EXPECT_EQ(EventuallyText(e.Level, [&] { return s->LevelLabel(); }), e.Level);
        EXPECT_EQ(s->InfoCaption(1), "Records");
        EXPECT_EQ(s->InfoValue(1), e.Records);
    }
    EXPECT_EQ(viewer.Sections().size(), 3u);

    // One header per application, one button per section.
    std::vector<THeaderView> bar = viewer.SideBar();
    ASSERT_EQ(HeaderCaptions(bar), (std::vector<std::string>{"Inventory.exe", "Mailer.exe"}));
    EXPECT_EQ(bar[0].ButtonCaptions,
              (std::vector<std::string>{"Inventory (main)", "Import thread"}));
    EXPECT_EQ(bar[1].ButtonCaptions, (std::vector<std::string>{"Mailer"}));

    // The newest section is in front; a side-bar button brings another one up.
    auto front = viewer.VisibleSection();
    ASSERT_TRUE(front);
    EXPECT_EQ(front->IdLabel(), "Client ID: Mailer-2204 [Mailer]");
    Click(bar[0].Window); // opens the header
    Click(bar[0].Buttons[0]);
    EXPECT_EQ(EventuallyText(expect[0].Label,
                             [&] {
                                 auto v = viewer.VisibleSection();
                                 return v ? v->IdLabel() : std::string();
                             }),
              expect[0].Label);
    EXPECT_EQ(EventuallyText("63 messages", [&] { return viewer.StatusText(2); }), "63 messages");
    EXPECT_EQ(viewer.Boxes().Count(), 0u);
}

TEST_F(E2ETest, ClientsOfOneApplicationShareAHeader) {
    StartViewer();
    // Two clients without a caption, numbered within their header.
    ASSERT_TRUE(Connect("A 1", "C:\\Apps\\Demo.exe|"));
    ASSERT_TRUE(Connect("A 2", "C:\\Apps\\Demo.exe|"));
    // Two with captions, under another application.
    ASSERT_TRUE(Connect("B 1", "D:\\Tools\\Other.exe|Main"));
    ASSERT_TRUE(Connect("B 2", "D:\\Tools\\Other.exe|Worker"));
    // A connect text without a bar: no application, the whole text is the caption.
    ASSERT_TRUE(Connect("C 1", "Just a caption"));
    ASSERT_TRUE(WaitFor([&] { return viewer.SideBar().size() == 3; }));
    std::vector<THeaderView> bar = viewer.SideBar();
    ASSERT_EQ(HeaderCaptions(bar), (std::vector<std::string>{"Demo.exe", "Other.exe", ""}));
    EXPECT_EQ(bar[0].ButtonCaptions, (std::vector<std::string>{"Section 1", "Section 2"}));
    EXPECT_EQ(bar[1].ButtonCaptions, (std::vector<std::string>{"Main", "Worker"}));
    EXPECT_EQ(bar[2].ButtonCaptions, (std::vector<std::string>{"Just a caption"}));
    EXPECT_TRUE(WaitForSection("Client ID: C [Just a caption]"));

    // A reconnect keeps its section and button: the caption changes in the
    // section only.
    ASSERT_TRUE(Connect("A 1", "C:\\Apps\\Demo.exe|Renamed", 2));
    auto s = WaitForSection("Client ID: A [Renamed]");
    ASSERT_TRUE(s);
    EXPECT_EQ(EventuallyText("Debug Level: High", [&] { return s->LevelLabel(); }),
              "Debug Level: High");
    EXPECT_EQ(viewer.Sections().size(), 5u);
    bar = viewer.SideBar();
    ASSERT_EQ(bar.size(), 3u);
    EXPECT_EQ(bar[0].ButtonCaptions, (std::vector<std::string>{"Section 1", "Section 2"}));
    // Records of the two clients of one application stay apart.
    ASSERT_TRUE(Send(dkString, "A 1", "to one"));
    ASSERT_TRUE(Send(dkString, "A 2", "to two"));
    ASSERT_TRUE(Send(dkString, "A 2", "to two again"));
    EXPECT_EQ(EventuallyCount(1, [&] { return s->DebugList().Count(); }), 1);
    auto a2 = viewer.Section("Client ID: A []");
    ASSERT_TRUE(a2);
    EXPECT_EQ(EventuallyCount(2, [&] { return a2->DebugList().Count(); }), 2);
}

TEST_F(E2ETest, DataViewerHoldsTheRowFocusedLast) {
    StartViewer();
    ASSERT_TRUE(Connect("V 1", "C:\\Apps\\View.exe|First"));
    ASSERT_TRUE(Connect("V 2", "C:\\Apps\\View.exe|Second"));
    TPacketFields f;
    f.ClientID = "V 1";
    f.Text = "alpha row";
    f.Data = "alpha";
    ASSERT_TRUE(Send(dkString, f));
    f.ClientID = "V 2";
    f.Text = "beta row";
    f.Data = "beta\nsecond line";
    ASSERT_TRUE(Send(dkString, f));
    auto second = WaitForSection("Client ID: V [Second]");
    ASSERT_TRUE(second);
    EXPECT_EQ(EventuallyText("beta\r\nsecond line", [&] { return second->Memo(); }),
              "beta\r\nsecond line");

    HWND textViewer = viewer.TextViewer();
    ASSERT_TRUE(textViewer);
    EXPECT_FALSE(IsWindowVisible(textViewer));
    ASSERT_TRUE(second->Click("Show the data viewer window"));
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(textViewer) != FALSE; }));
    std::vector<HWND> memo = FindDescendants(textViewer, "Edit");
    ASSERT_EQ(memo.size(), 1u);
    EXPECT_EQ(WindowText(memo[0]), "beta\r\nsecond line");

    // A row focused in the other section replaces the text at once.
    f.ClientID = "V 1";
    f.Text = "gamma row";
    f.Data = "gamma";
    ASSERT_TRUE(Send(dkString, f));
    EXPECT_EQ(EventuallyText("gamma", [&] { return WindowText(memo[0]); }), "gamma");

    // Its close button sits in the middle and hides it.
    std::vector<HWND> close = FindDescendants(textViewer, "Button", "&Close");
    ASSERT_EQ(close.size(), 1u);
    RECT button = ScreenRect(close[0]), panel = ScreenRect(GetParent(close[0]));
    EXPECT_NEAR((button.left - panel.left) * 2 + (button.right - button.left),
                panel.right - panel.left, 2);
    DWORD_PTR result;
    SendMessageTimeoutA(close[0], BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(textViewer); }));
}

TEST_F(E2ETest, PausedSectionDropsRecordsButNotConnectState) {
    StartViewer();
    const std::string id = "P 1";
    ASSERT_TRUE(Connect(id, "C:\\Apps\\Pause.exe|Paused"));
    ASSERT_TRUE(Send(dkString, id, "before 1"));
    ASSERT_TRUE(Send(dkAddMessage, id, "line before"));
    auto s = WaitForSection("Client ID: P [Paused]");
    ASSERT_TRUE(s);
    TRemoteList list = s->DebugList();
    ASSERT_EQ(EventuallyCount(1, [&] { return list.Count(); }), 1);

    ASSERT_TRUE(s->Click("Pause this section"));
    EXPECT_EQ(EventuallyText("Paused", [&] { return viewer.StatusText(3); }), "Paused");
    // Rows, lines, info lines and clear requests change nothing while paused.
    ASSERT_TRUE(Send(dkString, id, "dropped row"));
    ASSERT_TRUE(Send(dkAddMessage, id, "dropped line"));
    TPacketFields info;
    info.ClientID = id;
    info.InfoLine = 1;
    info.Text = "Dropped|1";
    ASSERT_TRUE(Send(dkSetInfoLine, info));
    ASSERT_TRUE(Send(dkClearMessages, id, ""));
    ASSERT_TRUE(Send(dkClearDebugInfos, id, ""));
    // Level and connection state still take effect.
    TPacketFields level;
    level.ClientID = id;
    level.Level = 2;
    ASSERT_TRUE(Send(dkSetLevel, level));
    EXPECT_EQ(EventuallyText("Debug Level: High", [&] { return s->LevelLabel(); }),
              "Debug Level: High");
    ASSERT_TRUE(Send(dkDisconnect, id, ""));
    EXPECT_EQ(EventuallyText("DISCONNECTED", [&] { return s->ConnectionLabel(); }), "DISCONNECTED");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(s->Billboard().Count(), 1);
    EXPECT_EQ(s->InfoCaption(1), "1st Info Line");
    EXPECT_EQ(viewer.StatusText(3), "Paused");

    // Resumed: new records arrive, the dropped ones never do.
    ASSERT_TRUE(s->Click("Pause this section"));
    EXPECT_EQ(EventuallyText("Active", [&] { return viewer.StatusText(3); }), "Active");
    ASSERT_TRUE(Send(dkString, id, "after 1"));
    ASSERT_EQ(EventuallyCount(2, [&] { return list.Count(); }), 2);
    EXPECT_EQ(list.Column(2), (std::vector<std::string>{"before 1", "after 1"}));
    EXPECT_EQ(EventuallyText("2 messages", [&] { return viewer.StatusText(2); }), "2 messages");
}

TEST_F(E2ETest, DeletedSectionIsGoneAndAReconnectStartsAfresh) {
    StartViewer();
    const std::string id = "D 1";
    ASSERT_TRUE(Connect(id, "C:\\Apps\\Del.exe|Doomed"));
    ASSERT_TRUE(Connect("K 1", "C:\\Apps\\Keep.exe|Kept"));
    ASSERT_TRUE(Send(dkString, id, "old row"));
    auto old = WaitForSection("Client ID: D [Doomed]");
    ASSERT_TRUE(old);
    EXPECT_EQ(EventuallyCount(1, [&] { return old->DebugList().Count(); }), 1);
    // Delete is offered only once the client is gone.
    EXPECT_FALSE(IsWindowEnabled(old->Button("Delete this frame")));
    ASSERT_TRUE(Send(dkDisconnect, id, ""));
    ASSERT_TRUE(
        WaitFor([&] { return IsWindowEnabled(old->Button("Delete this frame")) != FALSE; }));
    ASSERT_TRUE(old->Click("Delete this frame"));

    // Hidden, and its windows with their rows gone; its application's header
    // left the side bar.
    EXPECT_TRUE(WaitFor([&] { return !old->Visible(); }));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(old->Frame()); }));
    EXPECT_TRUE(WaitFor([&] { return viewer.SideBar().size() == 1; }));
    EXPECT_EQ(HeaderCaptions(viewer.SideBar()), (std::vector<std::string>{"Keep.exe"}));
    // Records of the client find no section now.
    ASSERT_TRUE(Send(dkString, id, "lost row"));

    // A new connect builds a new section with a new header; the old frame's
    // windows are gone.
    ASSERT_TRUE(Connect(id, "C:\\Apps\\Del.exe|Reborn"));
    ASSERT_TRUE(Send(dkString, id, "new row"));
    auto reborn = WaitForSection("Client ID: D [Reborn]");
    ASSERT_TRUE(reborn);
    EXPECT_NE(reborn->Frame(), old->Frame());
    EXPECT_EQ(EventuallyCount(1, [&] { return reborn->DebugList().Count(); }), 1);
    EXPECT_EQ(reborn->DebugList().Text(0, 2), "new row");
    EXPECT_FALSE(old->Visible());
    EXPECT_EQ(viewer.Sections().size(), 2u);
    EXPECT_TRUE(WaitFor([&] { return viewer.SideBar().size() == 2; }));
    std::vector<THeaderView> bar = viewer.SideBar();
    const THeaderView* del = FindHeader(bar, "Del.exe");
    ASSERT_TRUE(del);
    EXPECT_EQ(del->ButtonCaptions, (std::vector<std::string>{"Reborn"}));
}

TEST_F(E2ETest, ShutdownAsksAndThenTellsConnectedClients) {
    StartViewer();
    HWND main = viewer.Main();
    auto stay = StartVxsend("--client \"L 1\" --app C:\\Apps\\Listen.exe --caption Listening "
                            "--wait 60000 listen");
    ASSERT_TRUE(stay);
    ASSERT_TRUE(WaitFor([&] { return stay->Output().find("connected") != std::string::npos; }))
        << stay->Output();
    EXPECT_TRUE(WaitForSection("Client ID: L [Listening]"));

    // No: everything stays as it was.
    viewer.Boxes().SetAnswerYes(false);
    ASSERT_TRUE(viewer.ChooseShutdown());
    ASSERT_TRUE(viewer.Boxes().WaitForCount(1));
    EXPECT_EQ(viewer.Boxes().Boxes()[0].Text, "Do you really want to exit?");
    EXPECT_EQ(viewer.Boxes().Boxes()[0].Title, "vxDebugger for Delphi");
    PumpFor(500);
    EXPECT_TRUE(viewer.Responsive());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(listener->Count(vnClosing), 0);
    EXPECT_TRUE(stay->Running());

    // Yes: the viewer ends and both clients hear that it is closing.
    ASSERT_TRUE(viewer.ExitThroughMenu());
    EXPECT_TRUE(listener->WaitForNotice(vnClosing, viewer.Announced()));
    ASSERT_TRUE(stay->Wait(10000));
    EXPECT_EQ(stay->ExitCode(), 0u) << stay->Output();
    EXPECT_NE(stay->Output().find("the viewer is closing"), std::string::npos) << stay->Output();
    EXPECT_EQ(viewer.Boxes().Count(), 2u);
}
