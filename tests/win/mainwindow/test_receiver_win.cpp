// The receiver thread: the window the viewer announces takes every kind and
// the handshake, records keep their order across batches and across a
// switch to the main window, a full queue holds its sender instead of
// dropping, and shut-down lets a waiting sender go.
#include "win/mainwindow/MainWindowFixture.h"

#include <atomic>
#include <cstring>
#include <thread>

using namespace vx;
using namespace vxtest;

namespace {

bool SendRecord(HWND to, uint32_t wParam, const std::string& block) {
    COPYDATASTRUCT cds{0, DWORD(block.size()), const_cast<char*>(block.data())};
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(to, WM_COPYDATA, wParam, LPARAM(&cds), SMTO_NORMAL, 20000,
                               &result) != 0;
}

// A record whose first four bytes hold its number.
std::string Numbered(int32_t n) {
    TPacketFields f;
    f.ClientID = "order";
    f.Data = "data";
    std::string block = EncodePacket(f);
    std::memcpy(block.data(), &n, sizeof n);
    return block;
}

// Pumps this thread's messages until done() or ms have passed.
template <class F> bool PumpUntil(F done, DWORD ms = 10000) {
    DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (int32_t(end - GetTickCount()) <= 0) return false;
        ui::ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    ui::ProcessMessages();
    return true;
}

struct TOrderRecorder : IClientDispatcher {
    std::vector<int32_t> Numbers;
    void DispatchRecord(uint32_t, const void* data, size_t size) override {
        int32_t n = -1;
        if (data && size >= sizeof n) std::memcpy(&n, data, sizeof n);
        Numbers.push_back(n);
    }
};

} // namespace

TEST_F(MainWindowTest, ReceiverKeepsTheOrderAndMakesAFullQueueWait) {
    auto w = Make();
    TOrderRecorder recorder;
    w->Dispatcher = &recorder;
    ASSERT_TRUE(w->StartClientReceiver({8, 1u << 20, 5}));
    HWND receiver = w->AnnouncedHandle();
    ASSERT_NE(receiver, w->Handle());

    const int kCount = 200;
    std::atomic<int> sent{0};
    std::atomic<bool> done{false};
    auto sendAll = [&](int from, int to, HWND last) {
        for (int i = from; i < to; ++i) {
            if (!SendRecord(i == to - 1 && last ? last : receiver, dkString, Numbered(i))) break;
            ++sent;
        }
        done = true;
    };
    std::thread sender(sendAll, 0, kCount, nullptr);
    // While this thread takes no batch, the sender gets no further than the
    // queue's eight records: it waits, nothing is dropped.
    Sleep(400);
    EXPECT_EQ(sent.load(), 8);
    EXPECT_TRUE(recorder.Numbers.empty());
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 30000));
    sender.join();
    EXPECT_EQ(sent.load(), kCount);
    EXPECT_TRUE(PumpUntil([&] { return recorder.Numbers.size() >= size_t(kCount); }));

    // A client that turns to the main window itself while records of its
    // own still wait at the receiver: those go first.
    done = false;
    std::thread turning(sendAll, kCount, kCount + 6, w->Handle());
    Sleep(300);
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    turning.join();
    std::vector<int32_t> want(kCount + 6);
    for (int i = 0; i < kCount + 6; ++i)
        want[size_t(i)] = i;
    EXPECT_EQ(recorder.Numbers, want);
}

TEST_F(MainWindowTest, ReceiverKeepsTheOrderWhenARecordPumpsMessages) {
    // A record whose handling pumps messages, as an error box does: the
    // batches that arrive meanwhile must not overtake the rest of its own.
    struct TPumpingRecorder : TOrderRecorder {
        void DispatchRecord(uint32_t wParam, const void* data, size_t size) override {
            TOrderRecorder::DispatchRecord(wParam, data, size);
            if (Numbers.back() == 2) {
                DWORD end = GetTickCount() + 300;
                while (int32_t(end - GetTickCount()) > 0) {
                    ui::ProcessMessages();
                    Sleep(5);
                }
            }
        }
    } recorder;
    auto w = Make();
    w->Dispatcher = &recorder;
    ASSERT_TRUE(w->StartClientReceiver({4, 1u << 20, 5}));
    HWND receiver = w->AnnouncedHandle();
    const int kCount = 40;
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int i = 0; i < kCount; ++i)
            SendRecord(receiver, dkString, Numbered(i));
        done = true;
    });
    Sleep(200); // the first batch holds the queue's four records
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 30000));
    sender.join();
    EXPECT_TRUE(PumpUntil([&] { return recorder.Numbers.size() >= size_t(kCount); }));
    std::vector<int32_t> want(kCount);
    for (int i = 0; i < kCount; ++i)
        want[size_t(i)] = i;
    EXPECT_EQ(recorder.Numbers, want);
}

TEST_F(MainWindowTest, AnnouncedReceiverTakesHandshakeShowAndUnknownKinds) {
    auto w = Make();
    ASSERT_TRUE(w->StartClientReceiver());
    HWND receiver = w->AnnouncedHandle();
    w->act_ShowExecute();
    ui::ProcessMessages();
    ASSERT_EQ(listener->Count(vnShown), 1);
    EXPECT_EQ(HWND(listener->Notices.back().Viewer), receiver);

    // Asked at the receiver or by broadcast at the main window: the answer
    // names the receiver. Another code is reported by the main window.
    PostMessageA(receiver, WM_CLIENT2DEBUGGER, 0x101, LPARAM(listener->Handle()));
    EXPECT_TRUE(PumpUntil([&] { return listener->Count(vnAnswer) == 1; }));
    PostMessageA(w->Handle(), WM_CLIENT2DEBUGGER, 1, LPARAM(listener->Handle()));
    EXPECT_TRUE(PumpUntil([&] { return listener->Count(vnAnswer) == 2; }));
    for (auto& n : listener->Notices)
        EXPECT_EQ(HWND(n.Viewer), receiver);
    PostMessageA(receiver, WM_CLIENT2DEBUGGER, 2, LPARAM(listener->Handle()));
    EXPECT_TRUE(PumpUntil([&] { return !fakes.Dialogs.Errors.empty(); }));
    EXPECT_EQ(fakes.Dialogs.Errors.at(0), "Unknown Message in Debugger WndProc [2],");
    EXPECT_EQ(listener->Count(vnAnswer), 2);

    // Kind 33 through the receiver brings the hidden window back.
    w->HideToTray();
    ASSERT_FALSE(IsWindowVisible(w->Handle()));
    std::atomic<bool> done{false};
    std::thread show([&] {
        SendRecord(receiver, dkShowViewer, EncodePacket({}));
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(w->Handle()) != FALSE; }));
    show.join();

    // The sender of an unknown kind waits until its error box has been
    // shown; other clients are served meanwhile.
    done = false;
    std::thread unknown([&] {
        SendRecord(receiver, 0x122, EncodePacket({}));
        done = true;
    });
    Sleep(200);
    std::atomic<bool> otherDone{false};
    std::thread other([&] { otherDone = SendRecord(receiver, dkString, EncodePacket({})); });
    Sleep(300);
    EXPECT_TRUE(otherDone.load()) << "another client waited for the first one's box";
    EXPECT_FALSE(done.load()) << "the sender went on before its record was reported";
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    unknown.join();
    other.join();
    ASSERT_EQ(fakes.Dialogs.Errors.size(), 2u);
    EXPECT_EQ(fakes.Dialogs.Errors[1], "Unknown Message in Debugger WMCOPYDATA [290],");
}

TEST_F(MainWindowTest, ShutdownAnnouncesTheReceiverAndLetsAWaitingSenderGo) {
    auto w = Make();
    ASSERT_TRUE(w->StartClientReceiver({1, 1u << 20, 5}));
    HWND receiver = w->AnnouncedHandle();
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int i = 0; i < 3; ++i)
            SendRecord(receiver, dkString, Numbered(i));
        done = true;
    });
    Sleep(200);
    ASSERT_FALSE(done.load()); // held by the full queue

    fakes.Dialogs.ConfirmAnswers = {true};
    ASSERT_TRUE(w->CloseQueryAndClose());
    ui::ProcessMessages();
    ASSERT_EQ(listener->Count(vnClosing), 1);
    EXPECT_EQ(HWND(listener->Notices.back().Viewer), receiver);
    w.reset();
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 5000)) << "the sender was never let go";
    sender.join();
    EXPECT_FALSE(IsWindow(receiver));
}

TEST_F(MainWindowTest, ALongBatchOfRecordsLetsOtherMessagesInBetween) {
    // Records that take a while each (a burst of new sections does): the
    // window answers others between slices of the batch, and the order holds.
    struct TSlowRecorder : TOrderRecorder {
        HWND Other = nullptr;
        void DispatchRecord(uint32_t wParam, const void* data, size_t size) override {
            TOrderRecorder::DispatchRecord(wParam, data, size);
            if (Numbers.size() == 1) PostMessageA(Other, WM_APP, 0, 0);
            Sleep(5);
        }
    } recorder;
    // Another window of the thread: what had been applied when its message came.
    static size_t appliedThen;
    appliedThen = 0;
    static TSlowRecorder* watched;
    watched = &recorder;
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_APP) appliedThen = watched->Numbers.size();
        return DefWindowProcA(h, msg, wParam, lParam);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "vxTestOtherWindow";
    RegisterClassA(&wc);
    HWND other = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_NE(other, nullptr);
    recorder.Other = other;
    auto w = Make();
    w->Dispatcher = &recorder;
    const int kCount = 40;
    ASSERT_TRUE(w->StartClientReceiver({size_t(kCount), 1u << 20, 1000}));
    std::thread sender([&] {
        for (int i = 0; i < kCount; ++i)
            SendRecord(w->AnnouncedHandle(), dkString, Numbered(i));
    });
    sender.join(); // all queued before this thread takes the first batch
    EXPECT_TRUE(PumpUntil([&] { return recorder.Numbers.size() >= size_t(kCount); }));
    DestroyWindow(other);
    EXPECT_GT(appliedThen, 0u);
    EXPECT_LT(appliedThen, size_t(kCount)) << "the whole batch went in one message";
    std::vector<int32_t> want(kCount);
    for (int i = 0; i < kCount; ++i)
        want[size_t(i)] = i;
    EXPECT_EQ(recorder.Numbers, want);
}
