#include "mainwindow/SectionManager.h"

#include "platform/Errors.h"
#include "platform/Fakes.h"
#include "sidebar/vxOutlookBar.h"
#include "support/FakeSectionHost.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vx;

namespace {

struct TTestFrame : ISectionFrame {
    TTestFrame(const TSectionContext& c, std::vector<std::string>& log) : core(c), log(log) {
        // Hiding shows as a visibility change; freeing as the destructor.
        core.OnChanged = [this](TSectionCore& s, unsigned changes) {
            if ((changes & scVisible) && !s.Visible())
                this->log.push_back("hide " + std::to_string(s.SectionNumber));
        };
    }
    ~TTestFrame() override { log.push_back("free " + std::to_string(core.SectionNumber)); }
    TSectionCore& Core() override { return core; }
    TSectionCore core;
    std::vector<std::string>& log;
};

struct Manager : ::testing::Test {
    vxtest::TFakeSectionHost host; // outlives the sections, which tell it things
    TFakePlatform fakes;
    TMemorySettings mem;
    TRegistryHandler reg{mem};
    TSectionShared shared;
    TvxOutlookBar bar;
    std::vector<std::string> log; // outlives the sections, which write to it
    std::unique_ptr<TSectionManager> manager;
    int shows = 0, builds = 0;
    bool failNextBuild = false;
    std::vector<std::string> exceptions;

    // As the main window does: the first button with the tag, and its header
    // once that is empty.
    void RemoveSideBarButton(int tag) {
        for (int h = 0; h < bar.HeaderCount(); ++h) {
            TvxOutlookBarHeader* header = bar.Headers(h);
            for (int b = 0; b < header->ButtonCount(); ++b) {
                if (header->Buttons(b)->Tag != tag) continue;
                header->DeleteButton(b);
                if (header->ButtonCount() == 0) bar.DeleteHeader(h);
                return;
            }
        }
    }

    void SetUp() override {
        host.OnRemoveSideBarButton = [this](int tag) { RemoveSideBarButton(tag); };
        TSectionManagerContext c;
        c.Platform = fakes.Services();
        c.SideBar = &bar;
        c.ShowMainWindow = [this] { ++shows; };
        c.OnException = [this](const std::exception& e) { exceptions.push_back(e.what()); };
        c.Factory = [this]() -> std::unique_ptr<ISectionFrame> {
            ++builds;
            if (failNextBuild) {
                failNextBuild = false;
                throw std::runtime_error("no window");
            }
            TSectionContext s;
            s.Platform = fakes.Services();
            s.Registry = &reg;
            s.Host = &host;
            s.Shared = &shared;
            return std::make_unique<TTestFrame>(s, log);
        };
        manager = std::make_unique<TSectionManager>(c);
    }

    void Send(uint32_t wParam, const std::string& id, const std::string& text = "",
              uint8_t level = 0, int32_t infoLine = 0, const std::string& data = "") {
        TPacketFields f;
        f.ClientID = id;
        f.Text = text;
        f.Level = level;
        f.InfoLine = infoLine;
        f.Data = data;
        std::string block = EncodePacket(f);
        manager->WMCopyData(wParam, block.data(), block.size());
    }
    TSectionCore& Core(size_t i) { return manager->Section(i).Core(); }
};

} // namespace

TEST_F(Manager, ConnectBuildsSectionsHeadersAndButtons) {
    Send(dkConnect, "a1", "C:\\Apps\\Demo.exe|", 1);
    Send(dkConnect, "a2", "C:\\Apps\\Demo.exe|");
    Send(dkConnect, "m1", "C:\\Other\\Mail.exe|Main", 2);
    ASSERT_EQ(manager->SectionCount(), 3u);
    EXPECT_EQ(Core(0).SectionNumber, 1);
    EXPECT_EQ(Core(2).SectionNumber, 3);
    EXPECT_TRUE(Core(0).Connected());
    EXPECT_EQ(Core(0).ApplicationName, "C:\\Apps\\Demo.exe");
    EXPECT_EQ(Core(0).LevelText, "Medium");
    EXPECT_EQ(Core(2).Caption, "Main");
    ASSERT_EQ(bar.HeaderCount(), 2);
    TvxOutlookBarHeader* demo = bar.Headers(0);
    EXPECT_EQ(demo->Caption(), "Demo.exe");
    EXPECT_EQ(demo->Hint, "C:\\Apps\\Demo.exe");
    ASSERT_EQ(demo->ButtonCount(), 2);
    EXPECT_EQ(demo->Buttons(0)->Caption(), "Section 1");
    EXPECT_EQ(demo->Buttons(1)->Caption(), "Section 2");
    EXPECT_EQ(demo->Buttons(1)->Tag, 2);
    EXPECT_EQ(demo->Buttons(1)->ImageIndex(), 1);
    EXPECT_EQ(bar.Headers(1)->Buttons(0)->Caption(), "Main");

    // A reconnect reuses section and button; the button keeps its caption.
    Send(dkConnect, "a1", "C:\\Apps\\Demo.exe|Renamed", 7);
    EXPECT_EQ(manager->SectionCount(), 3u);
    EXPECT_EQ(Core(0).Caption, "Renamed");
    EXPECT_EQ(Core(0).LevelText, "Medium");
    EXPECT_EQ(demo->ButtonCount(), 2);
    EXPECT_EQ(demo->Buttons(0)->Caption(), "Section 1");

    // No "|": the caption is the whole text, under a header without a name.
    Send(dkConnect, "x", "Just a caption");
    EXPECT_EQ(Core(3).Caption, "Just a caption");
    EXPECT_EQ(bar.Headers(2)->Caption(), "");
    EXPECT_EQ(bar.Headers(2)->Hint, "");
}

TEST_F(Manager, RecordsReachOnlyTheirSection) {
    Send(dkString, "a", "before connect"); // dropped: no section yet
    Send(dkConnect, "a", "App.exe|A");
    Send(dkConnect, "b", "App.exe|B");
    Send(dkString, "a", "row for a", 0, 0, "data");
    Send(dkAddMessage, "b", "line for b");
    Send(dkSetInfoLine, "b", "Name|Value", 0, 2);
    Send(dkString, "nobody", "lost");
    EXPECT_EQ(Core(0).RowCount(), 1u);
    EXPECT_EQ(Core(1).RowCount(), 0u);
    EXPECT_EQ(Core(0).Rows().Row(0).Text, "row for a");
    EXPECT_EQ(Core(0).Rows().Row(0).DataSize, 4);
    EXPECT_EQ(Core(1).Billboard().Count(), 1u);

    // Disconnected sections keep taking rows; the level changes only for known levels.
    Send(dkDisconnect, "a");
    EXPECT_FALSE(Core(0).Connected());
    Send(dkString, "a", "after disconnect");
    EXPECT_EQ(Core(0).RowCount(), 2u);
    Send(dkSetLevel, "a", "", 2);
    EXPECT_EQ(Core(0).LevelText, "High");
    Send(dkSetLevel, "a", "", 7);
    EXPECT_EQ(Core(0).LevelText, "High");
    Send(dkClearDebugInfos, "a");
    EXPECT_EQ(Core(0).RowCount(), 0u);

    // A paused section drops rows and lines and never gets them later.
    Core(1).Paused = true;
    Send(dkAddMessage, "b", "while paused");
    Send(dkString, "b", "while paused");
    Core(1).Paused = false;
    EXPECT_EQ(Core(1).Billboard().Count(), 1u);
    EXPECT_EQ(Core(1).RowCount(), 0u);
}

TEST_F(Manager, ABurstOfRowsMakesTheTextsOfEachSectionsLastRowOnce) {
    Send(dkConnect, "a", "App.exe|A");
    Send(dkConnect, "b", "App.exe|B");
    const int before = host.PanelTexts;
    {
        TSectionManager::TBurst burst(*manager);
        for (int i = 1; i <= 401; ++i)
            Send(dkString, i % 2 ? "a" : "b", "row", 0, 0, "data " + std::to_string(i));
        EXPECT_EQ(host.PanelTexts, before);
        EXPECT_TRUE(Core(0).InfoDue());
    }
    // Each section once; the one that took the last row last, so the status
    // bar shows it as it would have after every row.
    EXPECT_LE(host.PanelTexts - before, 8);
    EXPECT_EQ(host.Panels[2], "201 messages");
    EXPECT_EQ(Core(0).Details().Data, "data 401");
    EXPECT_EQ(Core(1).Details().Data, "data 400");
    EXPECT_FALSE(Core(0).InfoDue());
    Send(dkString, "a", "row", 0, 0, "alone");
    EXPECT_EQ(Core(0).Details().Data, "alone"); // no burst: at once

    // A section whose texts fail is reported; the other still gets its texts,
    // and neither is left waiting for a burst that never flushes it again.
    {
        TSectionManager::TBurst burst(*manager);
        Send(dkString, "a", "row", 0, 0, "a again");
        Send(dkString, "b", "row", 0, 0, "b again");
        host.FailPanelTexts = 1;
    }
    EXPECT_EQ(exceptions.size(), 1u);
    EXPECT_EQ(Core(1).Details().Data, "b again");
    {
        TSectionManager::TBurst burst(*manager);
        Send(dkString, "a", "row", 0, 0, "a later");
    }
    EXPECT_EQ(host.Panels[2], "204 messages");
}

TEST_F(Manager, UnknownKindsAndHandshakes) {
    Send(0x122, "a");
    Send(0, "a");
    Send(0x108, "a", "App.exe|A"); // kind 8 in the low byte
    ASSERT_EQ(fakes.Dialogs.Errors.size(), 2u);
    EXPECT_EQ(fakes.Dialogs.Errors[0], "Unknown Message in Debugger WMCOPYDATA [290],");
    EXPECT_EQ(fakes.Dialogs.Errors[1], "Unknown Message in Debugger WMCOPYDATA [0],");
    EXPECT_EQ(manager->SectionCount(), 1u);
    EXPECT_EQ(UnknownCopyDataText(0xFFFFFFFF), "Unknown Message in Debugger WMCOPYDATA [-1],");

    EXPECT_TRUE(manager->Handshake(1));
    EXPECT_TRUE(manager->Handshake(0x101));
    EXPECT_FALSE(manager->Handshake(2));
    EXPECT_EQ(fakes.Dialogs.Errors.back(), "Unknown Message in Debugger WndProc [2],");

    // Kind 33 needs no connect.
    Send(dkShowViewer, "");
    EXPECT_EQ(shows, 1);
}

TEST_F(Manager, HostileBlocksAreDroppedAndRangeErrorsReported) {
    Send(dkConnect, "a", "App.exe|A");
    std::string shortBlock(100, '\x0E');
    manager->WMCopyData(dkString, shortBlock.data(), shortBlock.size());
    manager->WMCopyData(dkString, nullptr, 852);
    EXPECT_EQ(Core(0).RowCount(), 0u);
    // An info line index that does not fit a byte is refused and reported.
    Send(dkSetInfoLine, "a", "Name|Value", 0, 300);
    ASSERT_EQ(exceptions.size(), 1u);
    Send(dkString, "a", "still alive");
    EXPECT_EQ(Core(0).RowCount(), 1u);
}

TEST_F(Manager, FailedBuildLeavesNothingBehindAndDeletedSectionsStayHidden) {
    failNextBuild = true;
    Send(dkConnect, "a", "App.exe|A");
    EXPECT_EQ(manager->SectionCount(), 0u);
    EXPECT_EQ(bar.HeaderCount(), 0);
    Send(dkConnect, "a", "App.exe|A");
    ASSERT_EQ(manager->SectionCount(), 1u);
    EXPECT_EQ(Core(0).SectionNumber, 1);

    // The user deletes the disconnected section; the client's next connect
    // gets a new section with the next number.
    Send(dkDisconnect, "a");
    Core(0).act_Delete();
    EXPECT_EQ(Core(0).ClientID, "DEL_a");
    Send(dkString, "a", "lost");
    Send(dkConnect, "a", "App.exe|A");
    ASSERT_EQ(manager->SectionCount(), 2u);
    EXPECT_EQ(Core(1).SectionNumber, 2);
    EXPECT_EQ(Core(0).RowCount(), 0u);
    // Not even a client whose own ID has the prefix reaches the hidden
    // section: it would fill a list nobody can see.
    Send(dkString, "DEL_a", "lost");
    EXPECT_EQ(Core(0).RowCount(), 0u);
    Send(dkConnect, "DEL_a", "App.exe|Own");
    ASSERT_EQ(manager->SectionCount(), 3u);
    EXPECT_EQ(Core(2).ClientID, "DEL_a");
}

TEST_F(Manager, DeletedSectionIsReleasedButKeepsItsNumber) {
    Send(dkConnect, "a", "App.exe|A");
    Send(dkConnect, "b", "App.exe|B");
    Send(dkDisconnect, "a");
    Core(0).act_Delete();
    ASSERT_EQ(host.DeletedSections, std::vector<int>{1});
    log.clear();
    EXPECT_FALSE(manager->ReleaseDeletedSection(2)); // not deleted
    EXPECT_TRUE(manager->ReleaseDeletedSection(1));
    EXPECT_EQ(log, std::vector<std::string>{"free 1"});
    EXPECT_FALSE(manager->ReleaseDeletedSection(1)); // already a stand-in
    EXPECT_FALSE(manager->ReleaseDeletedSection(9));
    ASSERT_EQ(manager->SectionCount(), 2u);
    EXPECT_TRUE(Core(0).Deleted());
    EXPECT_EQ(Core(0).ClientID, "DEL_a");
    EXPECT_EQ(Core(0).SectionNumber, 1);
    // The list goes on numbering by position, and the end frees the stand-in too.
    Send(dkConnect, "a", "App.exe|A");
    ASSERT_EQ(manager->SectionCount(), 3u);
    EXPECT_EQ(Core(2).SectionNumber, 3);
    EXPECT_EQ(bar.Headers(0)->Buttons(1)->Tag, 3);
    manager->FreeAllSections();
    EXPECT_EQ(manager->SectionCount(), 0u);
    EXPECT_FALSE(mem.KeyExists(std::string(kRegistryRoot) + "Debugger\\DEL_a"));
}

TEST_F(Manager, ButtonsShowTheirSectionAndFreeAllSavesPanels) {
    Send(dkConnect, "a", "App.exe|A");
    Send(dkConnect, "b", "App.exe|B");
    Core(0).HideSection();
    EXPECT_FALSE(Core(0).Visible());
    TOutlookButton* button = bar.Headers(0)->Buttons(0);
    button->OnClick(button);
    EXPECT_TRUE(Core(0).Visible());
    manager->FreeAllSections();
    EXPECT_EQ(manager->SectionCount(), 0u);
    EXPECT_TRUE(mem.KeyExists(std::string(kRegistryRoot) + "Debugger\\a"));
    EXPECT_NE(mem.Find(std::string(kRegistryRoot) + "Debugger\\b", "Info Panel"), nullptr);
}

TEST_F(Manager, PausedSectionTakesOnlyConnectDisconnectAndLevel) {
    Send(dkConnect, "a", "App.exe|A", dlLow);
    Send(dkString, "a", "row");
    Send(dkAddMessage, "a", "line");
    Send(dkSetInfoLine, "a", "Name|Value", 0, 1);
    Core(0).act_Pause(true);

    Send(dkClearMessages, "a");
    Send(dkClearDebugInfos, "a");
    Send(dkSetInfoLine, "a", "Other|changed", 0, 1);
    Send(dkAddMessage, "a", "dropped");
    EXPECT_EQ(Core(0).RowCount(), 1u);
    EXPECT_EQ(Core(0).Billboard().Count(), 1u);
    EXPECT_EQ(Core(0).InfoPad().Line(1).Value, "Value");

    Send(dkDisconnect, "a");
    EXPECT_FALSE(Core(0).Connected());
    Send(dkSetLevel, "a", "", dlHigh);
    EXPECT_EQ(Core(0).LevelText, "High");
    // An unknown level keeps the text, yet the section is still refreshed.
    unsigned changes = 0;
    Core(0).OnChanged = [&](TSectionCore&, unsigned c) { changes |= c; };
    Send(dkSetLevel, "a", "", 7);
    EXPECT_EQ(Core(0).LevelText, "High");
    EXPECT_TRUE(changes & scLabels);
    Core(0).ChooseGroupFilter(4);
    Send(dkConnect, "a", "App.exe|Again", dlMedium);
    EXPECT_TRUE(Core(0).Connected());
    EXPECT_EQ(Core(0).Caption, "Again");
    EXPECT_EQ(Core(0).LevelText, "Medium");
    // The connect resets the filter value but neither re-filters nor changes the glyph.
    EXPECT_EQ(Core(0).GroupFilter(), 0);
    EXPECT_EQ(Core(0).VisibleCount(), 0u);
    EXPECT_EQ(Core(0).GroupsGlyph(), 37);
    EXPECT_TRUE(Core(0).Paused);
}

TEST_F(Manager, ReconnectsAndDeletesKeepTheSideBarInStep) {
    Send(dkConnect, "a", "C:\\One.exe|A");
    // Another application named on a reconnect: a second button under its own
    // header, while the section keeps its first application.
    Send(dkConnect, "a", "D:Two.exe|Renamed");
    ASSERT_EQ(manager->SectionCount(), 1u);
    EXPECT_EQ(Core(0).ApplicationName, "C:\\One.exe");
    ASSERT_EQ(bar.HeaderCount(), 2);
    EXPECT_EQ(bar.Headers(1)->Caption(), "Two.exe");
    ASSERT_EQ(bar.Headers(1)->ButtonCount(), 1);
    EXPECT_EQ(bar.Headers(1)->Buttons(0)->Caption(), "Renamed");
    EXPECT_EQ(bar.Headers(1)->Buttons(0)->Tag, 1);

    // Deleting the only section of an application takes its header away; the
    // client's next connect builds section 2 under a new header.
    Send(dkConnect, "b", "C:\\Solo.exe|B");
    Send(dkDisconnect, "b");
    Core(1).act_Delete();
    ASSERT_EQ(bar.HeaderCount(), 2);
    Send(dkConnect, "b", "C:\\Solo.exe|");
    ASSERT_EQ(manager->SectionCount(), 3u);
    ASSERT_EQ(bar.HeaderCount(), 3);
    EXPECT_EQ(bar.Headers(2)->Caption(), "Solo.exe");
    EXPECT_EQ(bar.Headers(2)->Buttons(0)->Tag, 3);
    EXPECT_EQ(bar.Headers(2)->Buttons(0)->Caption(), "Section 1");

    // Deleting takes only a section's first button; the one under the other
    // application stays but no longer shows the section.
    Send(dkDisconnect, "a");
    Core(0).act_Delete();
    ASSERT_EQ(bar.HeaderCount(), 2);
    TOutlookButton* leftover = bar.Headers(0)->Buttons(0);
    ASSERT_EQ(leftover->Tag, 1);
    leftover->OnClick(leftover);
    EXPECT_FALSE(Core(0).Visible());
}

TEST_F(Manager, FreeAllSectionsHidesEveryOneBeforeFreeingAny) {
    for (const char* id : {"a", "b", "c"})
        Send(dkConnect, id, std::string("App.exe|") + id);
    Core(1).act_Pause(true); // a paused section is freed all the same
    log.clear();
    manager->FreeAllSections();
    std::vector<std::string> want = {"hide 3", "hide 2", "hide 1", "free 3", "free 2", "free 1"};
    EXPECT_EQ(log, want);
    EXPECT_EQ(manager->SectionCount(), 0u);
}

TEST_F(Manager, RemoteRecordsReachOnlySectionsOfTheirHost) {
    using R = TSectionManager::TRemoteResult;
    auto remote = [this](const std::string& host, uint32_t wParam, const std::string& id,
                         const std::string& text = "", int32_t infoLine = 0) {
        TPacketFields f;
        f.ClientID = id;
        f.Text = text;
        f.InfoLine = infoLine;
        std::string block = EncodePacket(f);
        return manager->DispatchRemote(host, wParam, block.data(), block.size());
    };
    Send(dkConnect, "app", "App.exe|Local");
    // A remote peer cannot write into the local section of the same ID.
    EXPECT_EQ(remote("127.0.0.2", dkString, "app", "intruder"), R::rrApplied);
    EXPECT_EQ(Core(0).RowCount(), 0u);
    remote("127.0.0.2", dkConnect, "app", "App.exe|Two");
    remote("127.0.0.3", dkConnect, "app", "App.exe|Three");
    ASSERT_EQ(manager->SectionCount(), 3u);
    remote("127.0.0.2", dkString, "app", "from two");
    remote("127.0.0.3", dkString, "app", "from three");
    Send(dkString, "app", "local");
    remote("127.0.0.2", dkDisconnect, "app");
    EXPECT_EQ(Core(0).RowCount(), 1u);
    EXPECT_EQ(Core(1).Rows().Row(0).Text, "from two");
    EXPECT_EQ(Core(2).Rows().Row(0).Text, "from three");
    EXPECT_TRUE(Core(0).Connected());
    EXPECT_FALSE(Core(1).Connected());
    EXPECT_TRUE(Core(2).Connected());
    EXPECT_EQ(Core(1).Labels().ID, "Client ID: app [Two] from 127.0.0.2");
    EXPECT_EQ(Core(0).Labels().ID, "Client ID: app [Local]");
    EXPECT_EQ(manager->FindSection("app"), &manager->Section(0));

    // Nothing a remote peer sends raises a box; the trouble comes back instead.
    EXPECT_EQ(remote("127.0.0.2", 0x122, "app"), R::rrUnknownKind);
    std::string failure;
    TPacketFields f;
    f.ClientID = "app";
    f.InfoLine = 300;
    std::string block = EncodePacket(f);
    EXPECT_EQ(
        manager->DispatchRemote("127.0.0.2", dkSetInfoLine, block.data(), block.size(), &failure),
        R::rrFailed);
    EXPECT_FALSE(failure.empty());
    EXPECT_EQ(manager->DispatchRemote("127.0.0.2", dkString, block.data(), 100), R::rrShort);
    EXPECT_TRUE(fakes.Dialogs.Errors.empty());
    EXPECT_TRUE(exceptions.empty());

    // One host cannot make sections without end; others still can.
    for (size_t i = 1; i < TSectionManager::kMaxRemoteSections; ++i)
        EXPECT_EQ(remote("127.0.0.2", dkConnect, "id" + std::to_string(i)), R::rrApplied);
    const size_t count = manager->SectionCount();
    EXPECT_EQ(remote("127.0.0.2", dkConnect, "one too many"), R::rrTooManySections);
    EXPECT_EQ(remote("127.0.0.2", dkConnect, "app", "App.exe|Again"), R::rrApplied);
    EXPECT_EQ(remote("127.0.0.4", dkConnect, "app"), R::rrApplied);
    EXPECT_EQ(manager->SectionCount(), count + 1);
}
