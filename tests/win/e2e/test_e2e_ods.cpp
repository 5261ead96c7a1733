// OutputDebugString capture end to end: vxsend processes write with
// OutputDebugString, and the viewer shows each process in a section of its
// own under the side-bar header "OutputDebugString".
#include "E2EFixture.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vxtest {

using namespace vx;
namespace {

bool BufferServed() {
    HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
    if (ready) CloseHandle(ready);
    return ready != nullptr;
}

// A section's ID label: "Client ID: PID:<pid> [vxsend.exe]", or with
// ", N texts delayed" in the brackets when some had to wait for the window.
bool LabelOfPid(const std::string& label, DWORD pid) {
    return label.rfind("Client ID: PID:" + std::to_string(pid) + " [vxsend.exe", 0) == 0;
}

class OdsE2E : public E2ETest {
  protected:
    void StartCapturingViewer() {
        viewer.DisplayValues = {{"CaptureODS", "1"}};
        StartViewer();
        ASSERT_TRUE(WaitFor(BufferServed)) << "the viewer does not read the buffer";
    }
    std::unique_ptr<TSectionView> SectionOfPid(DWORD pid) {
        std::unique_ptr<TSectionView> found;
        WaitFor([&] {
            for (const TSectionView& s : viewer.Sections())
                if (LabelOfPid(s.IdLabel(), pid)) found = std::make_unique<TSectionView>(s);
            return found != nullptr;
        });
        return found;
    }
};

TEST_F(OdsE2E, FourProcessesOfTenThousandLinesEachLandInOrderInTheirOwnSections) {
    StartCapturingViewer();
    constexpr int kSenders = 4, kLines = 10000;
    std::vector<std::unique_ptr<TChildProcess>> senders;
    for (int k = 0; k < kSenders; ++k)
        senders.push_back(
            StartVxsend("ods " + std::to_string(kLines) + " sender" + std::to_string(k)));
    for (auto& s : senders)
        ASSERT_TRUE(s->Wait(240000)) << "a sender did not finish";
    for (int k = 0; k < kSenders; ++k) {
        SCOPED_TRACE("sender " + std::to_string(k));
        auto section = SectionOfPid(senders[size_t(k)]->Pid());
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(EventuallyCount(
                      kLines, [&] { return section->DebugList().Count(); }, 60000),
                  kLines);
        std::vector<std::string> texts = section->DebugList().Column(2);
        ASSERT_EQ(texts.size(), size_t(kLines));
        int wrong = 0;
        for (int i = 0; i < kLines; ++i)
            if (texts[size_t(i)] != "sender" + std::to_string(k) + " " + std::to_string(i + 1) &&
                wrong++ < 5)
                ADD_FAILURE() << "row " << i << ": " << texts[size_t(i)];
        EXPECT_EQ(wrong, 0);
        // The process has ended: its section says so, and may now be deleted.
        EXPECT_EQ(EventuallyText("DISCONNECTED", [&] { return section->ConnectionLabel(); }),
                  "DISCONNECTED");
        EXPECT_NE(section->ApplicationLabel().find("vxsend.exe"), std::string::npos)
            << section->ApplicationLabel();
    }
    std::vector<THeaderView> bar = viewer.SideBar();
    int odsButtons = 0;
    for (const THeaderView& h : bar)
        if (h.Caption == "OutputDebugString") {
            odsButtons = int(h.Buttons.size());
            for (const std::string& c : h.ButtonCaptions)
                EXPECT_EQ(c, "vxsend.exe");
        }
    EXPECT_EQ(odsButtons, kSenders);
    EXPECT_TRUE(viewer.Responsive());
}

TEST_F(OdsE2E, ABufferHeldByAnotherProgramIsLeftToIt) {
    // This process plays the other reader.
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    HANDLE data = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    ASSERT_TRUE(ready && data);
    viewer.DisplayValues = {{"CaptureODS", "1"}};
    StartViewer();
    EXPECT_EQ(EventuallyText(" Another program reads OutputDebugString: the capture stays off",
                             [&] { return viewer.InformationLine(); }),
              " Another program reads OutputDebugString: the capture stays off");
    CloseHandle(data);
    CloseHandle(ready);
}

} // namespace
} // namespace vxtest
