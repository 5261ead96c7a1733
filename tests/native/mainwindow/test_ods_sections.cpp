#include "mainwindow/OdsSections.h"
#include "mainwindow/SectionManager.h"

#include "platform/Fakes.h"
#include "sidebar/vxOutlookBar.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct TOdsFrame : ISectionFrame {
    explicit TOdsFrame(const TSectionContext& c) : core(c) {}
    TSectionCore& Core() override { return core; }
    TSectionCore core;
};

struct OdsSections : ::testing::Test {
    TFakePlatform fakes;
    TMemorySettings mem;
    TRegistryHandler reg{mem};
    TSectionShared shared;
    TvxOutlookBar bar;
    std::unique_ptr<TSectionManager> manager;
    std::unique_ptr<TOdsSections> ods;

    void SetUp() override {
        TSectionManagerContext c;
        c.Platform = fakes.Services();
        c.SideBar = &bar;
        c.Factory = [this]() -> std::unique_ptr<ISectionFrame> {
            TSectionContext s;
            s.Platform = fakes.Services();
            s.Registry = &reg;
            s.Shared = &shared;
            return std::make_unique<TOdsFrame>(s);
        };
        manager = std::make_unique<TSectionManager>(c);
        ods = std::make_unique<TOdsSections>(*manager);
    }

    static std::shared_ptr<const TOdsProcess> Process(uint32_t pid, const char* path) {
        return std::make_shared<const TOdsProcess>(MakeOdsProcess(pid, 1000 + pid, path));
    }
    void Send(const std::shared_ptr<const TOdsProcess>& p, const std::string& text,
              bool delayed = false) {
        std::vector<TOdsEvent> events(1);
        events[0].Process = p;
        events[0].Text = text;
        events[0].Time = 46000.5;
        events[0].Delayed = delayed;
        ods->Apply(events);
    }
    void End(const std::shared_ptr<const TOdsProcess>& p) {
        std::vector<TOdsEvent> events(1);
        events[0].Kind = TOdsEvent::oeEnded;
        events[0].Process = p;
        ods->Apply(events);
    }
    TSectionCore& Core(size_t i) { return manager->Section(i).Core(); }
};

} // namespace

TEST_F(OdsSections, EachProcessGetsASectionUnderOneHeaderWithARowPerLine) {
    auto a = Process(10, "C:\\Apps\\Alpha.exe"), b = Process(20, "C:\\Apps\\Beta.exe");
    Send(a, "one\r\ntwo");
    Send(b, "beta");
    Send(a, "three\n");
    ASSERT_EQ(manager->SectionCount(), 2u);
    TSectionCore& alpha = Core(0);
    ASSERT_EQ(alpha.RowCount(), 3u);
    EXPECT_EQ(alpha.Rows().Text(0), "one");
    EXPECT_EQ(alpha.Rows().Text(2), "three");
    EXPECT_EQ(alpha.Rows().Row(0).Group, dgGeneral);
    EXPECT_EQ(alpha.Rows().Row(0).Kind, dkString);
    EXPECT_DOUBLE_EQ(alpha.Rows().Row(0).Time, 46000.5);
    EXPECT_EQ(Core(1).RowCount(), 1u);
    EXPECT_TRUE(alpha.Connected());
    EXPECT_EQ(alpha.Labels().Application, "Application Name: C:\\Apps\\Alpha.exe");
    EXPECT_EQ(alpha.Labels().ID, "Client ID: PID:10 [Alpha.exe]");
    ASSERT_EQ(bar.HeaderCount(), 1);
    EXPECT_EQ(bar.Headers(0)->Caption(), kOdsHeader);
    ASSERT_EQ(bar.Headers(0)->ButtonCount(), 2);
    EXPECT_EQ(bar.Headers(0)->Buttons(0)->Caption(), "Alpha.exe");
    EXPECT_EQ(bar.Headers(0)->Buttons(1)->Caption(), "Beta.exe");
}

TEST_F(OdsSections, ALongLineIsKeptWholeInTheRowData) {
    auto a = Process(10, "C:\\Apps\\Alpha.exe");
    std::string longLine(4000, 'L');
    Send(a, longLine + "\nshort");
    TSectionCore& s = Core(0);
    ASSERT_EQ(s.RowCount(), 2u);
    const auto& row = s.Rows().Row(0);
    ASSERT_EQ(row.DataSize, 4000);
    s.FocusRow(0);
    EXPECT_EQ(s.Details().Data, longLine);
    EXPECT_EQ(s.Rows().Row(1).DataSize, 0);
}

TEST_F(OdsSections, AnEndedProcessShowsDisconnectedAndANewOneWithItsIdGetsItsOwnSection) {
    auto first = Process(10, "C:\\Apps\\Alpha.exe");
    Send(first, "before");
    End(first);
    EXPECT_FALSE(Core(0).Connected());
    // The system gave the ID out again: another start time, another section.
    auto again =
        std::make_shared<const TOdsProcess>(MakeOdsProcess(10, 99999, "C:\\Apps\\Alpha.exe"));
    Send(again, "after");
    ASSERT_EQ(manager->SectionCount(), 2u);
    EXPECT_EQ(Core(0).RowCount(), 1u);
    EXPECT_TRUE(Core(1).Connected());
    EXPECT_EQ(bar.Headers(0)->ButtonCount(), 2);
}

TEST_F(OdsSections, DelayedTextsAreCountedInTheSectionCaptionAndStoppingDisconnects) {
    auto a = Process(10, "C:\\Apps\\Alpha.exe");
    Send(a, "1");
    Send(a, "2", true);
    Send(a, "3", true);
    EXPECT_EQ(ods->Delayed(a->ClientID), 2u);
    EXPECT_EQ(Core(0).Labels().ID, "Client ID: PID:10 [Alpha.exe, 2 texts delayed]");
    EXPECT_EQ(Core(0).RowCount(), 3u);
    ods->DisconnectAll();
    EXPECT_FALSE(Core(0).Connected());
    Send(a, "4"); // capturing again: the same process finds its section
    EXPECT_EQ(manager->SectionCount(), 1u);
    EXPECT_TRUE(Core(0).Connected());
}
