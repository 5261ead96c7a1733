// The Pascal client unit end to end: its example program, built by Free
// Pascal, is the client process, and the viewer is read from this process.
// Every kind of record, data from a buffer, a string and a stream, records
// from four threads, a viewer that starts after the client and one that
// closes under it, and a client without any viewer.
#include "E2EFixture.h"

#include "protocol/Common_Types.h"

#include <algorithm>
#include <map>

using namespace vx;
using namespace vxtest;

namespace {

const char* const kLabel = "Client ID: Pascal [Example]";

std::unique_ptr<TChildProcess> StartExample(const std::string& step) {
    auto child = std::make_unique<TChildProcess>();
    if (!child->Start("\"" + ProgramPath(VXPASCAL_EXE) + "\" " + step)) return nullptr;
    return child;
}

// Runs one step of the example to its end: its exit code and output.
TVxsendResult RunExample(const std::string& step, DWORD ms = 60000) {
    TVxsendResult result;
    auto child = StartExample(step);
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

// A stand-in for the viewer in this process: answers the handshake and keeps
// every record it is sent, decoded, with the size of its block.
class TReceiver {
  public:
    struct TRecord {
        TDecodedPacket Packet;
        size_t Size;
    };
    TReceiver() {
        RegisterDebugMessages();
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vxE2EPascalReceiver";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "receiver", WS_POPUP, 0, 0, 0,
                                0, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TReceiver() { DestroyWindow(hwnd_); }
    TReceiver(const TReceiver&) = delete;
    TReceiver& operator=(const TReceiver&) = delete;
    std::vector<TRecord> Records;

  private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TReceiver*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self && msg != 0 && msg == WM_CLIENT2DEBUGGER) {
            if ((wParam & 0xFF) == hsHello)
                PostMessageA(reinterpret_cast<HWND>(lParam), WM_DEBUGGER2CLIENT, vnAnswer,
                             reinterpret_cast<LPARAM>(h));
            return 0;
        }
        if (self && msg == WM_COPYDATA) {
            auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            auto packet = DecodePacket(uint32_t(wParam), cds->lpData, cds->cbData);
            if (packet) self->Records.push_back({std::move(*packet), size_t(cds->cbData)});
            return 0;
        }
        return DefWindowProcA(h, msg, wParam, lParam);
    }
    HWND hwnd_ = nullptr;
};

// The local time now, as the records carry it.
double LocalNowAsDays() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    // 100-ns ticks since 1601-01-01, which is 109205 days before 1899-12-30.
    return double(t.QuadPart) / 864e9 - 109205.0;
}

class PascalTest : public E2ETest {
  protected:
    void Step(const std::string& step) {
        TVxsendResult r = RunExample(step);
        EXPECT_EQ(r.ExitCode, 0u) << "vxPascalDemo " << step << "\n" << r.Output;
        EXPECT_NE(r.Output.find("done " + step), std::string::npos) << r.Output;
    }
};

} // namespace

TEST_F(PascalTest, EveryRecordReachesItsPlace) {
    StartViewer();
    Step("kinds");
    auto s = WaitForSection(kLabel);
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->Complete()) << "a part of the section frame was not found";
    EXPECT_EQ(s->ApplicationLabel(), "Application Name: " + ProgramPath(VXPASCAL_EXE));
    EXPECT_EQ(s->LevelLabel(), "Debug Level: Medium");
    // The unit disconnects when the program ends.
    EXPECT_EQ(EventuallyText("DISCONNECTED", [&] { return s->ConnectionLabel(); }), "DISCONNECTED");

    TRemoteList list = s->DebugList();
    ASSERT_EQ(EventuallyCount(19, [&] { return list.Count(); }), 19);
    for (int row = 0; row < 19; ++row) {
        int kind = 14 + row;
        SCOPED_TRACE("kind " + std::to_string(kind));
        if (kind == dkSeparator) {
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(list.Text(row, c), "");
            EXPECT_EQ(list.Image(row, 1), -1);
            continue;
        }
        EXPECT_EQ(list.Text(row, 2), "Row " + std::to_string(kind));
        EXPECT_EQ(list.Image(row, 0), kind % 4);
        EXPECT_EQ(list.Image(row, 1), KindImageIndex(uint8_t(kind)));
    }
    EXPECT_EQ(EventuallyText("data of 32", [&] { return s->Memo(); }), "data of 32");
    EXPECT_EQ(s->UnitName(), "uKind32");
    EXPECT_EQ(s->Procedure(), "TKind.Send32");
    EXPECT_EQ(s->LineNumber(), "32");

    // Attached data from a buffer, a string and a stream (whose position the
    // unit keeps).
    const struct {
        const char *Step, *Data, *Unit, *Line;
    } data[] = {{"buffer", "from a buffer", "uData", "1"},
                {"text", "from a string", "uData", "2"},
                {"stream", "line 1\r\nline 2", "uData", "3"}};
    for (const auto& d : data) {
        SCOPED_TRACE(d.Step);
        TVxsendResult r = RunExample(d.Step);
        EXPECT_EQ(r.ExitCode, 0u) << r.Output;
        EXPECT_EQ(r.Output.find("position moved"), std::string::npos) << r.Output;
        EXPECT_EQ(EventuallyText(d.Data, [&] { return s->Memo(); }), d.Data);
        EXPECT_EQ(s->UnitName(), d.Unit);
        EXPECT_EQ(s->LineNumber(), d.Line);
    }
    ASSERT_EQ(list.Count(), 22);

    // A note, a separator, billboard lines, the info pad and the level.
    Step("marks");
    ASSERT_EQ(EventuallyCount(25, [&] { return list.Count(); }), 25);
    EXPECT_EQ(list.Text(22, 2), "a note");
    EXPECT_EQ(list.Image(22, 1), KindImageIndex(dkNote));
    EXPECT_EQ(list.Text(23, 2), "");
    EXPECT_EQ(list.Image(23, 1), -1);
    EXPECT_EQ(list.Text(24, 2), "Entering");
    EXPECT_EQ(list.Image(24, 1), KindImageIndex(dkProcEnter));
    TRemoteList billboard = s->Billboard();
    ASSERT_EQ(EventuallyCount(2, [&] { return billboard.Count(); }), 2);
    EXPECT_EQ(billboard.Text(0, 1), "first line");
    EXPECT_EQ(billboard.Text(1, 1), "second line");
    EXPECT_EQ(EventuallyText("running", [&] { return s->InfoValue(2); }), "running");
    EXPECT_EQ(s->InfoCaption(1), "Records");
    EXPECT_EQ(s->InfoValue(1), "42");
    EXPECT_EQ(s->InfoCaption(2), "State");
    EXPECT_EQ(EventuallyText("Debug Level: High", [&] { return s->LevelLabel(); }),
              "Debug Level: High");

    // The two clears, each leaving the other list alone.
    Step("clear-billboard");
    EXPECT_EQ(EventuallyCount(0, [&] { return billboard.Count(); }), 0);
    EXPECT_EQ(list.Count(), 25);
    Step("clear-debug");
    EXPECT_EQ(EventuallyCount(0, [&] { return list.Count(); }), 0);

    // Show the viewer: it comes back from the tray.
    HWND main = viewer.Main();
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); })) << "the close box did not hide it";
    Step("show");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }))
        << "the viewer was not shown";
    EXPECT_EQ(viewer.Boxes().Count(), 0u);
}

TEST_F(PascalTest, ThreadsKeepTheirRecordsWholeAndInOrder) {
    StartViewer();
    Step("threads");
    auto s = WaitForSection(kLabel);
    ASSERT_TRUE(s);
    TRemoteList list = s->DebugList();
    ASSERT_EQ(EventuallyCount(
                  1000, [&] { return list.Count(); }, 30000),
              1000);
    std::vector<std::string> texts = list.Column(2);
    std::map<int, int> last; // thread -> its last row number
    for (size_t row = 0; row < texts.size(); ++row) {
        int thread = 0, n = 0;
        char tail = 0;
        ASSERT_EQ(sscanf(texts[row].c_str(), "T%d %d%c", &thread, &n, &tail), 2)
            << "row " << row << ": " << texts[row];
        ASSERT_EQ(n, last[thread] + 1) << "row " << row << ": " << texts[row];
        last[thread] = n;
        // The group came in the same record as the text.
        if (row % 50 == 0) {
            EXPECT_EQ(list.Image(int(row), 0), thread % 4) << texts[row];
        }
    }
    EXPECT_EQ(last, (std::map<int, int>{{1, 250}, {2, 250}, {3, 250}, {4, 250}}));
}

TEST_F(PascalTest, FindsALaterViewerAndForgetsAClosedOne) {
    // No viewer: every call returns and nothing waits.
    TVxsendResult quiet = RunExample("quiet");
    EXPECT_EQ(quiet.ExitCode, 0u) << quiet.Output;
    EXPECT_NE(quiet.Output.find("calls without viewer: 10000 in"), std::string::npos)
        << quiet.Output;

    // A client that runs before the viewer starts.
    auto later = StartExample("later");
    ASSERT_TRUE(later);
    PumpFor(500);
    StartViewer();
    auto s = WaitForSection("Client ID: Pascal [Later]");
    ASSERT_TRUE(s) << later->Output();
    EXPECT_TRUE(WaitFor([&] { return s->DebugList().Count() >= 3; })) << "no rows arrived";
    EXPECT_EQ(s->ConnectionLabel(), "CONNECTED");

    // It closes; the client goes on without it and finds the next one.
    ASSERT_TRUE(viewer.ExitThroughMenu());
    PumpFor(500);
    ASSERT_TRUE(later->Running()) << later->Output();
    TViewerProcess next;
    ASSERT_TRUE(next.Start());
    ASSERT_TRUE(later->Wait(60000)) << later->Output();
    EXPECT_EQ(later->ExitCode(), 0u) << later->Output();
    std::unique_ptr<TSectionView> again;
    ASSERT_TRUE(WaitFor([&] {
        return (again = next.Section("Client ID: Pascal [Later]")) != nullptr;
    })) << "the client did not connect to the new viewer";
    TRemoteList list = again->DebugList();
    EXPECT_TRUE(WaitFor([&] {
        int n = list.Count();
        return n > 0 && list.Text(n - 1, 2) == "back again";
    })) << "the last row did not arrive";
    EXPECT_EQ(EventuallyText("DISCONNECTED", [&] { return again->ConnectionLabel(); }),
              "DISCONNECTED");
    EXPECT_TRUE(next.ExitThroughMenu());
}

TEST(PascalRecords, CarryEveryFieldWhereTheViewerReadsIt) {
    TReceiver receiver;
    TVxsendResult r = RunExample("marks");
    ASSERT_EQ(r.ExitCode, 0u) << r.Output;
    r = RunExample("stream");
    ASSERT_EQ(r.ExitCode, 0u) << r.Output;

    std::vector<int> kinds;
    for (const auto& x : receiver.Records)
        kinds.push_back(x.Packet.Rec.Kind);
    // Each program connects first and disconnects at its end.
    ASSERT_EQ(kinds, (std::vector<int>{8, dkNote, dkSeparator, 16, 12, 12, 13, 13, 9, 2, //
                                       8, 28, 2}));
    double now = LocalNowAsDays();
    for (const auto& x : receiver.Records) {
        SCOPED_TRACE("kind " + std::to_string(x.Packet.Rec.Kind));
        EXPECT_EQ(x.Packet.ClientID, "Pascal example");
        EXPECT_NEAR(x.Packet.Rec.Time, now, 120.0 / 86400) << "not the local date and time";
        EXPECT_EQ(x.Size, 852u + size_t(std::max(0, x.Packet.Rec.DataSize)));
    }
    const TDebugInfoRec& connect = receiver.Records[0].Packet.Rec;
    EXPECT_EQ(connect.Text, ProgramPath(VXPASCAL_EXE) + "|Example");
    EXPECT_EQ(connect.Level, 1);
    const TDebugInfoRec& enter = receiver.Records[3].Packet.Rec;
    EXPECT_EQ(enter.Text, "Entering");
    EXPECT_EQ(enter.UnitName, "uMarks");
    EXPECT_EQ(enter.ProcName, "TMarks.Run");
    EXPECT_EQ(enter.LineNumber, 7);
    EXPECT_EQ(enter.DataSize, 0);
    EXPECT_EQ(receiver.Records[6].Packet.Rec.InfoLine, 1);
    EXPECT_EQ(receiver.Records[6].Packet.Rec.Text, "Records|42");
    EXPECT_EQ(receiver.Records[7].Packet.Rec.InfoLine, 2);
    EXPECT_EQ(receiver.Records[8].Packet.Rec.Level, 2);
    const TDebugInfoRec& stream = receiver.Records[11].Packet.Rec;
    EXPECT_EQ(stream.Group, 2);
    ASSERT_EQ(stream.DataSize, 14);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Data.get()), 14),
              "line 1\r\nline 2");
}
