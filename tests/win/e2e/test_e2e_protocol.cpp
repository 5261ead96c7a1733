// The client protocol end to end: vxDebugger.exe and its clients in separate
// processes. The handshake both ways, kind 33, every record kind reaching its
// place in a section, and hostile records that must leave the viewer running
// with nothing good lost.
#include "E2EFixture.h"

#include "protocol/Common_Types.h"

#include <algorithm>
#include <cstring>

using namespace vx;
using namespace vxtest;

namespace {

const char* const kTitle = "vxDebugger for Delphi";

} // namespace

TEST_F(E2ETest, HandshakeBothWays) {
    // A client that is up before the viewer hears of it by the start notice.
    auto early = StartVxsend("--timeout 30000 hello");
    ASSERT_TRUE(early);
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : TopLevelWindows(early->Pid()))
            if (ClassOf(w) == "vxDebugClientWindow") return true;
        return false;
    })) << "vxsend made no client window";
    PumpFor(300); // its broadcast request has gone out to nobody
    StartViewer();
    HWND main = viewer.Main(), announced = viewer.Announced();
    EXPECT_TRUE(listener->WaitForNotice(vnShown, announced)) << "no vnShown from the viewer";
    ASSERT_TRUE(early->Wait());
    EXPECT_EQ(early->ExitCode(), 0u) << early->Output();
    EXPECT_EQ(PrintedHandle(early->Output()), announced) << early->Output();

    // A client that starts later asks, and the viewer answers it.
    TVxsendResult later = RunVxsend("hello");
    EXPECT_EQ(later.ExitCode, 0u) << later.Output;
    EXPECT_EQ(PrintedHandle(later.Output), announced) << later.Output;

    // Only the low byte of a request counts; the answer is posted to the
    // asker, whether it asked the main window (as a broadcast does) or the
    // announced one.
    listener->Hello(main, 1);
    EXPECT_TRUE(listener->WaitForNotice(vnAnswer, announced, 1));
    listener->Hello(announced, 0x101);
    EXPECT_TRUE(listener->WaitForNotice(vnAnswer, announced, 2));

    // Another code gets the error box and no answer. One at a time: a request
    // that arrives while a box is up opens its box over the first.
    listener->Hello(main, 2);
    ASSERT_TRUE(viewer.Boxes().WaitForCount(1));
    listener->Hello(main, 0xFFFFFF02);
    ASSERT_TRUE(viewer.Boxes().WaitForCount(2));
    auto boxes = viewer.Boxes().Boxes();
    EXPECT_EQ(boxes[0].Title, kTitle);
    EXPECT_EQ(boxes[0].Text, "Unknown Message in Debugger WndProc [2],");
    EXPECT_EQ(boxes[1].Text, "Unknown Message in Debugger WndProc [-254],");
    PumpFor(300);
    EXPECT_EQ(listener->Count(vnAnswer, announced), 2);
    EXPECT_TRUE(viewer.Responsive());
}

TEST_F(E2ETest, TrayAndShowViewerWithoutConnect) {
    StartViewer();
    HWND main = viewer.Main(), announced = viewer.Announced();
    ASSERT_TRUE(listener->WaitForNotice(vnShown, announced));
    // The close box hides the window to the tray; the program goes on.
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); })) << "the close box did not hide it";
    EXPECT_TRUE(viewer.Running());

    // Clients are served while the window is hidden.
    Vxsend("--client \"Tray 1\" --app C:\\Apps\\Tray.exe --caption Hidden connect");
    Vxsend("--client \"Tray 1\" --text \"while hidden\" string");
    auto section = WaitForSection("Client ID: Tray [Hidden]");
    ASSERT_TRUE(section);
    EXPECT_EQ(EventuallyCount(1, [&] { return section->DebugList().Count(); }), 1);
    EXPECT_FALSE(IsWindowVisible(main));

    // Kind 33 needs no connect: it brings the window back, which announces
    // itself again.
    Vxsend("--client nobody show");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }))
        << "kind 33 did not show it";
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }))
        << "not brought to the front";
    EXPECT_TRUE(listener->WaitForNotice(vnShown, announced, 2));
    EXPECT_EQ(viewer.Boxes().Count(), 0u);
}

TEST_F(E2ETest, SecondStartGivesWayToTheFirst) {
    StartViewer();
    HWND main = viewer.Main();
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    // The second instance ends at once and brings the first one back.
    TChildProcess second;
    ASSERT_TRUE(second.Start("\"" + ProgramPath(VXDEBUGGER_EXE) + "\""));
    ASSERT_TRUE(second.Wait(15000)) << "the second instance did not end";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
    std::vector<HWND> all;
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            if (ClassOf(w) == "vxWindow" && WindowText(w) == "vxDebugger")
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(all, std::vector<HWND>{main});
    EXPECT_TRUE(viewer.Responsive());
}

TEST_F(E2ETest, EveryKindReachesItsPlace) {
    StartViewer();
    const std::string id = "--client \"E2E kinds\" ";
    Vxsend(id + "--app C:\\Apps\\Kinds.exe --caption Kinds --level 1 connect");
    auto s = WaitForSection("Client ID: E2E [Kinds]");
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->Complete()) << "a part of the section frame was not found";
    EXPECT_EQ(EventuallyText("Application Name: C:\\Apps\\Kinds.exe",
                             [&] { return s->ApplicationLabel(); }),
              "Application Name: C:\\Apps\\Kinds.exe");
    EXPECT_EQ(s->LevelLabel(), "Debug Level: Medium");
    EXPECT_EQ(EventuallyText("CONNECTED", [&] { return s->ConnectionLabel(); }), "CONNECTED");
    EXPECT_FALSE(IsWindowEnabled(s->Button("Delete this frame")));
    EXPECT_EQ(viewer.StatusBar().PartEdges(), (std::vector<int>{400, 460, 560, 620, -1}));

    // One row of every debug kind, each from its own vxsend process.
    for (int kind = 14; kind <= 32; ++kind) {
        std::string k = std::to_string(kind);
        Vxsend(id + "--group " + std::to_string(kind % 4) + " --text \"Row " + k +
               "\" --unit uKind" + k + " --proc TKind.Send" + k + " --line " + k +
               " --time 45000.5 --data \"data of " + k + "\" " + k);
    }
    TRemoteList list = s->DebugList();
    ASSERT_EQ(EventuallyCount(19, [&] { return list.Count(); }), 19);
    for (int row = 0; row < 19; ++row) {
        int kind = 14 + row;
        SCOPED_TRACE("kind " + std::to_string(kind));
        if (kind == dkSeparator) {
            // A separator shows nothing in any column.
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(list.Text(row, c), "");
            EXPECT_EQ(list.Image(row, 0), -1);
            EXPECT_EQ(list.Image(row, 1), -1);
            continue;
        }
        EXPECT_EQ(list.Text(row, 2), "Row " + std::to_string(kind));
        EXPECT_NE(list.Text(row, 3).find("12:00:00"), std::string::npos) << list.Text(row, 3);
        EXPECT_EQ(list.Image(row, 0), kind % 4);
        EXPECT_EQ(list.Image(row, 1), KindImageIndex(uint8_t(kind)));
    }
    // The newest row has the focus and its details are shown.
    EXPECT_EQ(EventuallyCount(18, [&] { return list.Focused(); }), 18);
    EXPECT_EQ(EventuallyText("data of 32", [&] { return s->Memo(); }), "data of 32");
    EXPECT_EQ(s->UnitName(), "uKind32");
    EXPECT_EQ(s->Procedure(), "TKind.Send32");
    EXPECT_EQ(s->LineNumber(), "32");
    EXPECT_EQ(EventuallyText("#19", [&] { return viewer.StatusText(1); }), "#19");
    EXPECT_EQ(EventuallyText("19 messages", [&] { return viewer.StatusText(2); }), "19 messages");
    EXPECT_EQ(viewer.StatusText(3), "Active");

    // Billboard lines, numbered as they come.
    Vxsend(id + "--text \"first line\" message");
    Vxsend(id + "--text \"second | line\" message");
    TRemoteList billboard = s->Billboard();
    ASSERT_EQ(EventuallyCount(2, [&] { return billboard.Count(); }), 2);
    EXPECT_EQ(billboard.Text(0, 0), "1");
    EXPECT_EQ(billboard.Text(0, 1), "first line");
    EXPECT_EQ(billboard.Text(1, 0), "2");

    // Info pad: a named value, a value without a name, a long name shortened.
    Vxsend(id + "--info-line 1 --text \"Records|42\" info");
    Vxsend(id + "--info-line 2 --text \"|7\" info");
    Vxsend(id + "--info-line 3 --text \"AVeryLongCaption|x\" info");
    EXPECT_EQ(EventuallyText("x", [&] { return s->InfoValue(3); }), "x");
    EXPECT_EQ(s->InfoCaption(1), "Records");
    EXPECT_EQ(s->InfoValue(1), "42");
    EXPECT_EQ(s->InfoCaption(2), "Noname info");
    EXPECT_EQ(s->InfoValue(2), "7");
    EXPECT_EQ(s->InfoCaption(3), "...ongCaption");

    // Level changes; an unknown level keeps the text.
    Vxsend(id + "--level 2 level");
    EXPECT_EQ(EventuallyText("Debug Level: High", [&] { return s->LevelLabel(); }),
              "Debug Level: High");
    Vxsend(id + "--level 7 level");
    PumpFor(400);
    EXPECT_EQ(s->LevelLabel(), "Debug Level: High");

    // The two clear kinds.
    Vxsend(id + "clear-messages");
    EXPECT_EQ(EventuallyCount(0, [&] { return billboard.Count(); }), 0);
    Vxsend(id + "clear");
    EXPECT_EQ(EventuallyCount(0, [&] { return list.Count(); }), 0);
    EXPECT_EQ(EventuallyText("No message", [&] { return viewer.StatusText(2); }), "No message");
    EXPECT_EQ(EventuallyText("", [&] { return viewer.StatusText(1); }), "");
    EXPECT_EQ(s->Memo(), "");

    // Disconnected: shown, deletable, and still taking records.
    Vxsend(id + "disconnect");
    EXPECT_EQ(EventuallyText("DISCONNECTED", [&] { return s->ConnectionLabel(); }), "DISCONNECTED");
    EXPECT_TRUE(IsWindowEnabled(s->Button("Delete this frame")));
    Vxsend(id + "--text \"after the end\" string");
    EXPECT_EQ(EventuallyCount(1, [&] { return list.Count(); }), 1);
    EXPECT_EQ(list.Text(0, 2), "after the end");
    EXPECT_EQ(viewer.Boxes().Count(), 0u);
}

TEST_F(E2ETest, InformationLineIsReadable) {
    StartViewer();
    EXPECT_EQ(EventuallyText(" Welcome to vxDebugger", [&] { return viewer.InformationLine(); }),
              " Welcome to vxDebugger");
    ASSERT_TRUE(Connect("Info 1", "C:\\Apps\\Info.exe|Info"));
    EXPECT_EQ(EventuallyText(" Debugger section", [&] { return viewer.InformationLine(); }),
              " Debugger section");
}

namespace {

// The wire bytes of a record with a field overwritten.
std::string WithInt(std::string block, size_t offset, int32_t value) {
    std::memcpy(&block[offset], &value, sizeof value);
    return block;
}

} // namespace

TEST_F(E2ETest, HostileRecordsLoseNothingGood) {
    StartViewer();
    const std::string id = "E2E hostile";
    ASSERT_TRUE(Connect(id, "C:\\Apps\\Hostile.exe|Hostile"));
    auto s = WaitForSection("Client ID: E2E [Hostile]");
    ASSERT_TRUE(s);
    TRemoteList list = s->DebugList();
    std::vector<std::string> expected; // the rows the section must end up with
    auto sendGood = [&] {
        std::string text = "good " + std::to_string(expected.size() + 1);
        EXPECT_TRUE(Send(dkString, id, text));
        expected.push_back(text);
    };
    TPacketFields base;
    base.ClientID = id;
    base.Text = "hostile";
    const std::string full = EncodePacket(base);

    // Blocks too short for a record, an empty one and one without data.
    for (size_t size : {size_t(1), size_t(51), size_t(851)}) {
        EXPECT_TRUE(client->SendRaw(dkString, full.data(), DWORD(size)));
        sendGood();
    }
    EXPECT_TRUE(client->SendRaw(dkString, full.data(), 0));
    sendGood();
    EXPECT_TRUE(client->SendRaw(dkString, nullptr, DWORD(full.size())));
    sendGood();

    // Sizes that lie: far more data announced than delivered keeps what came;
    // a negative size means no data.
    TPacketFields withData = base;
    withData.Text = "cut data";
    withData.Data = "abc";
    std::string cut = WithInt(EncodePacket(withData), packet::DataSize, 0x7FFFFFFF);
    EXPECT_TRUE(client->SendRaw(dkMemoryDump, cut.data(), DWORD(cut.size())));
    expected.push_back("cut data");
    EXPECT_EQ(EventuallyText("abc", [&] { return s->Memo(); }), "abc");
    withData.Text = "negative size";
    std::string negative = WithInt(EncodePacket(withData), packet::DataSize, -5);
    EXPECT_TRUE(client->SendRaw(dkMemoryDump, negative.data(), DWORD(negative.size())));
    expected.push_back("negative size");
    EXPECT_EQ(EventuallyText("", [&] { return s->Memo(); }), "");
    sendGood();

    // A text whose length byte is at its maximum.
    std::string longText = full;
    longText[packet::Text] = char(255);
    std::fill(longText.begin() + packet::Text + 1, longText.begin() + packet::Text + 256, 'T');
    EXPECT_TRUE(client->SendRaw(dkString, longText.data(), DWORD(longText.size())));
    expected.push_back(std::string(255, 'T'));

    // Kinds nobody knows: an error box each, while the sender waits.
    const uint32_t unknown[] = {0, 1, 3, 7, 34, 255, 0x122, 0xFFFFFF00};
    for (uint32_t wParam : unknown) {
        EXPECT_TRUE(client->SendRaw(wParam, full.data(), DWORD(full.size())));
        sendGood();
    }
    // Info lines out of range are refused with the range error box; lines 0
    // and 4 change nothing.
    for (int32_t line : {999, -1, 0, 4}) {
        TPacketFields f = base;
        f.InfoLine = line;
        f.Text = "bad|line";
        EXPECT_TRUE(Send(dkSetInfoLine, f));
        sendGood();
    }
    // A group outside 0 to 3 shows no group icon.
    EXPECT_TRUE(Send(dkString, id, "odd group", 200));
    expected.push_back("odd group");
    // Records of clients without a section are dropped without a word.
    EXPECT_TRUE(Send(dkString, "nobody", "lost"));
    EXPECT_TRUE(Send(dkAddMessage, "nobody", "lost"));
    sendGood();

    // A large block of attached data arrives whole.
    TPacketFields big = base;
    big.Text = "big data";
    for (int i = 0; i < 16384; ++i)
        big.Data += "0123456789012345678901234567890123456789012345678901234567890\r\n";
    EXPECT_TRUE(Send(dkMemoryDump, big));
    expected.push_back("big data");
    EXPECT_EQ(EventuallyCount(
                  int(big.Data.size()), [&] { return int(s->Memo().size()); }, 20000),
              int(big.Data.size()));
    EXPECT_TRUE(s->Memo() == big.Data);
    sendGood();

    EXPECT_EQ(EventuallyCount(int(expected.size()), [&] { return list.Count(); }),
              int(expected.size()));
    EXPECT_EQ(list.Column(2), expected);
    int odd = int(std::find(expected.begin(), expected.end(), "odd group") - expected.begin());
    EXPECT_EQ(list.Image(odd, 0), -1);
    EXPECT_EQ(list.Image(odd, 1), KindImageIndex(dkString));

    ASSERT_TRUE(viewer.Boxes().WaitForCount(std::size(unknown) + 2));
    PumpFor(300);
    auto boxes = viewer.Boxes().Boxes();
    ASSERT_EQ(boxes.size(), std::size(unknown) + 2);
    const char* texts[] = {"[0],", "[1],", "[3],", "[7],", "[34],", "[255],", "[290],", "[-256],"};
    for (size_t i = 0; i < std::size(unknown); ++i) {
        EXPECT_EQ(boxes[i].Title, kTitle);
        EXPECT_EQ(boxes[i].Text, std::string("Unknown Message in Debugger WMCOPYDATA ") + texts[i]);
    }
    EXPECT_EQ(boxes[8].Text, "Range check error");
    EXPECT_EQ(boxes[9].Text, "Range check error");
    EXPECT_EQ(s->InfoCaption(1), "1st Info Line");
    EXPECT_TRUE(viewer.Responsive());
}

TEST_F(E2ETest, LongClientIDsShareTheirFirstFiftyCharacters) {
    StartViewer();
    const std::string fifty(50, 'L');
    ASSERT_TRUE(Connect(fifty + " tail one", "C:\\Apps\\Long.exe|Long"));
    auto s = WaitForSection("Client ID: " + fifty + " [Long]");
    ASSERT_TRUE(s);
    // The wire field holds 50 characters; a length byte that claims more is cut.
    TPacketFields f;
    f.ClientID = fifty;
    f.Text = "from a length byte of 255";
    std::string block = EncodePacket(f);
    block[packet::ClientID] = char(255);
    EXPECT_TRUE(client->SendRaw(dkString, block.data(), DWORD(block.size())));
    EXPECT_TRUE(Send(dkString, fifty + " another tail", "cut by the client"));
    TRemoteList list = s->DebugList();
    ASSERT_EQ(EventuallyCount(2, [&] { return list.Count(); }), 2);
    EXPECT_EQ(list.Text(0, 2), "from a length byte of 255");
    EXPECT_EQ(list.Text(1, 2), "cut by the client");
}
