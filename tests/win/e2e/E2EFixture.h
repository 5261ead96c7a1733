// What every end-to-end test shares: a listening client window that exists
// before the viewer starts, the viewer process, and helpers to send records
// from this process and to wait for what the viewer shows.
#pragma once

#include "NoticeListener.h"
#include "ViewerProcess.h"
#include "vxClient_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace vxtest {

using namespace vx;

class E2ETest : public ::testing::Test {
  protected:
    void SetUp() override { listener = std::make_unique<TNoticeListener>(); }

    void TearDown() override {
        // A viewer that a test left running ends through its menu like a user
        // ends it; one that does not react is ended by force.
        if (viewer.Running()) {
            EXPECT_TRUE(viewer.ExitThroughMenu()) << "the viewer did not end through its menu";
            viewer.Terminate();
        }
    }

    void StartViewer() {
        ASSERT_TRUE(viewer.Start()) << "the viewer's main window did not appear";
        // The record senders of this process know the viewer from the start.
        client = std::make_unique<TDebugClient>();
        client->SetViewer(viewer.Main());
    }

    // Sends one record from this process.
    bool Send(uint32_t wParam, const TPacketFields& f) { return client->Send(wParam, f); }
    bool Send(uint32_t wParam, const std::string& id, const std::string& text, uint8_t group = 0) {
        TPacketFields f;
        f.ClientID = id;
        f.Text = text;
        f.Group = group;
        return client->Send(wParam, f);
    }
    bool Connect(const std::string& id, const std::string& connectText, uint8_t level = 0) {
        TPacketFields f;
        f.ClientID = id;
        f.Text = connectText;
        f.Level = level;
        return client->Send(8, f);
    }

    // Runs vxsend and expects it to succeed.
    void Vxsend(const std::string& args) {
        TVxsendResult r = RunVxsend(args);
        EXPECT_EQ(r.ExitCode, 0u) << "vxsend " << args << "\n" << r.Output;
    }

    // The section frame whose ID label reads idLabel, once it exists.
    std::unique_ptr<TSectionView> WaitForSection(const std::string& idLabel) {
        std::unique_ptr<TSectionView> s;
        WaitFor([&] { return (s = viewer.Section(idLabel)) != nullptr; });
        return s;
    }

    // Waits until the value that get() reads equals want; returns the last value read.
    template <class T, class F> T Eventually(const T& want, F get, DWORD ms = 10000) {
        T last{};
        WaitFor([&] { return (last = get()) == want; }, ms);
        return last;
    }
    std::string EventuallyText(const std::string& want, const std::function<std::string()>& get,
                               DWORD ms = 10000) {
        return Eventually<std::string>(want, get, ms);
    }
    int EventuallyCount(int want, const std::function<int()>& get, DWORD ms = 10000) {
        return Eventually<int>(want, get, ms);
    }

    std::unique_ptr<TNoticeListener> listener;
    TViewerProcess viewer;
    std::unique_ptr<TDebugClient> client;
};

// The window handle that vxsend printed ("... window 00000000000200A4").
inline HWND PrintedHandle(const std::string& output) {
    size_t at = output.find("window ");
    if (at == std::string::npos) return nullptr;
    return reinterpret_cast<HWND>(std::strtoull(output.c_str() + at + 7, nullptr, 16));
}

} // namespace vxtest
