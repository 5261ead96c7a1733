// The View menu's OutputDebugString capture, in-process.
#include "mainwindow/SectionManager.h"
#include "win/mainwindow/MainWindowFixture.h"

using namespace vx;
using namespace vxtest;

namespace {

bool BufferServed() {
    HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
    if (ready) CloseHandle(ready);
    return ready != nullptr;
}

// Pumps this thread's messages until cond holds or ms have passed.
bool PumpUntil(const std::function<bool()>& cond, DWORD ms = 10000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (cond()) return true;
        Sleep(5);
    }
    return cond();
}

} // namespace

TEST_F(MainWindowTest, CaptureIsOffUntilChosenShowsTheTextsAndLetsGoOfTheBuffer) {
    auto w = Make();
    EXPECT_FALSE(w->act_CaptureODS->Checked());
    EXPECT_EQ(w->act_CaptureODS->Caption, "Capture OutputDebugString");
    EXPECT_FALSE(BufferServed());

    w->act_CaptureODS->Execute();
    ASSERT_TRUE(w->act_CaptureODS->Checked());
    EXPECT_EQ(w->act_CaptureODS->Caption.rfind("Capture OutputDebugString (", 0), 0u)
        << w->act_CaptureODS->Caption;
    RecordProperty("CaptureCaption", w->act_CaptureODS->Caption); // services or not, here
    EXPECT_TRUE(BufferServed());
    OutputDebugStringA("from the test\r\nsecond line");
    ASSERT_TRUE(PumpUntil(
        [&] { return w->Sections.size() == 1 && w->Sections[0]->Core().RowCount() == 2; }));
    TSectionCore& s = w->Sections[0]->Core();
    EXPECT_EQ(s.Rows().Text(1), "second line");
    EXPECT_TRUE(s.Connected());
    w->SaveSettings();
    EXPECT_EQ(RegValue("Display", "CaptureODS"), "1");

    w->act_CaptureODS->Execute();
    EXPECT_FALSE(w->act_CaptureODS->Checked());
    EXPECT_FALSE(BufferServed());
    EXPECT_FALSE(s.Connected());
    w->SaveSettings();
    EXPECT_EQ(RegValue("Display", "CaptureODS"), "0");
}

TEST_F(MainWindowTest, ARememberedCaptureLeavesABufferThatAnotherReaderHolds) {
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    ASSERT_NE(ready, nullptr);
    RegPut("Display", "CaptureODS", "1");
    auto w = Make();
    EXPECT_FALSE(w->act_CaptureODS->Checked());
    EXPECT_EQ(w->act_CaptureODS->Caption, "Capture OutputDebugString (in use by another program)");
    w->SaveSettings();
    EXPECT_EQ(RegValue("Display", "CaptureODS"), "1"); // tried again at the next start
    CloseHandle(ready);
}
