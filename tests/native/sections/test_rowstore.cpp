#include "SectionFixture.h"
#include "sections/RowStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>
#include <new>

using namespace vx;
using namespace vxtest;

// Array new/delete go through malloc here so a test can count how often a
// given data block is released.
namespace {
const void* g_watched[8];
int g_released[8];
int g_watchCount = 0;

int Watch(const void* p) {
    g_watched[g_watchCount] = p;
    g_released[g_watchCount] = 0;
    return g_watchCount++;
}
void NoteRelease(void* p) {
    for (int i = 0; i < g_watchCount; ++i)
        g_released[i] += g_watched[i] == p;
}
} // namespace

void* operator new[](std::size_t n) {
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete[](void* p) noexcept {
    NoteRelease(p);
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    NoteRelease(p);
    std::free(p);
}

TEST(RowStore, RowTakesOverItsDataAndReleasesItExactlyOnce) {
    g_watchCount = 0;
    auto store = std::make_unique<TDebugRowStore>();
    TDebugInfoRec a = Rec("a"), b = Rec("b"), c = Rec("c"), d = Rec("d");
    Attach(a, "alpha");
    Attach(b, "beta");
    Attach(c, "gamma");
    Attach(d, "delta");
    int wa = Watch(a.Data.get()), wb = Watch(b.Data.get()), wc = Watch(c.Data.get()),
        wd = Watch(d.Data.get());
    const uint8_t* pb = b.Data.get();
    store->Append(a);
    store->Append(b);
    store->Append(c);
    EXPECT_EQ(a.Data, nullptr); // the record gave its block away
    EXPECT_EQ(store->Row(1).Data, pb);
    EXPECT_EQ(store->DataBytes(), 14u);

    store->Erase(1);
    EXPECT_EQ(g_released[wb], 1);
    EXPECT_EQ(g_released[wa] + g_released[wc], 0);
    EXPECT_EQ(store->Text(1), "c"); // later rows moved up with their data
    EXPECT_EQ(store->Row(1).DataSize, 5);
    store->Clear();
    EXPECT_EQ(g_released[wa] + g_released[wb] + g_released[wc], 3);
    EXPECT_EQ(store->DataBlocks(), 0u);

    // Destroying the store releases what its rows hold.
    store->Append(d);
    store.reset();
    EXPECT_EQ(g_released[wd], 1);

    // A block whose size says "none" is released at once rather than leaked;
    // a size without a block is no data either.
    TDebugRowStore other;
    TDebugInfoRec e = Rec("e");
    e.Data = std::make_unique<uint8_t[]>(4);
    int we = Watch(e.Data.get());
    other.Append(e);
    EXPECT_EQ(g_released[we], 1);
    EXPECT_EQ(other.Row(0).Data, nullptr);
    TDebugInfoRec f = Rec("f");
    f.DataSize = 10;
    other.Append(f);
    EXPECT_EQ(other.Row(1).DataSize, 0);
    g_watchCount = 0;
}

TEST(RowStore, TextsAndNamesAreCutAndInterned) {
    TDebugRowStore store;
    TDebugInfoRec a = Rec(std::string(300, 'm'));
    a.UnitName = "Main.pas";
    a.ProcName = std::string(260, 'p');
    TDebugInfoRec b = Rec("");
    b.UnitName = "Main.pas";
    store.Append(a);
    store.Append(b);
    EXPECT_EQ(store.Text(0), std::string(255, 'm'));
    EXPECT_EQ(store.ProcName(0), std::string(255, 'p'));
    EXPECT_EQ(store.Text(1), "");
    EXPECT_EQ(store.UnitName(0).data(), store.UnitName(1).data()); // one stored copy
    const char* captions[] = {"Group", "Type", "Message", "Time"};
    ASSERT_EQ(store.ColumnCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(store.ColumnCaption(i), captions[i]);
}

TEST(RowStore, RepeatedEditsKeepTextsRightAndMemoryBounded) {
    TDebugRowStore store;
    for (int i = 0; i < 100; ++i) {
        TDebugInfoRec r = Rec("row " + std::to_string(i));
        store.Append(r);
    }
    auto text = [](int k) { return std::string(200, char('a' + k % 26)) + std::to_string(k); };
    for (int k = 0; k < 5000; ++k)
        store.SetText(size_t(k % 100), text(k));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(store.Text(size_t(i)), text(4900 + i));
    // 5000 edits of ~200 bytes would hold 1 MB without reclaiming dead text.
    EXPECT_LT(store.MemoryReserved(), 300000u);
}

TEST(RowStore, ShownRowsFollowFilterInsertAndErase) {
    TDebugRowStore store;
    for (uint8_t g : {0, 1, 0, 2, 0}) {
        TDebugInfoRec r = Rec("g" + std::to_string(g), g);
        store.Append(r);
    }
    store.ShowGroup(0);
    ASSERT_EQ(store.VisibleCount(), 3u);
    EXPECT_EQ(store.RowOfVisible(1), 2u);
    EXPECT_EQ(store.VisibleOfRow(3), TDebugRowStore::npos);
    EXPECT_EQ(store.VisibleOfRow(4), 2u);

    TDebugInfoRec w = Rec("warning", 2); // shown whatever its group, until the next filter
    store.Append(w);
    TDebugInfoRec n = Rec("note", 3, dkNote);
    store.Insert(3, n); // every later row moves down in the shown index
    EXPECT_EQ(store.VisibleCount(), 5u);
    EXPECT_EQ(store.Text(store.RowOfVisible(2)), "note");
    EXPECT_EQ(store.RowOfVisible(3), 5u);
    EXPECT_EQ(store.Text(store.RowOfVisible(4)), "warning");

    store.Erase(1); // hidden
    store.Erase(0); // shown
    EXPECT_EQ(store.VisibleCount(), 4u);
    for (size_t v = 0; v < store.VisibleCount(); ++v)
        EXPECT_EQ(store.VisibleOfRow(store.RowOfVisible(v)), v);
    store.Erase(2); // the last hidden row: all rows are shown again
    EXPECT_EQ(store.VisibleCount(), store.Count());
    EXPECT_EQ(store.RowOfVisible(2), 2u);
}

// The history limit drops the oldest rows at once: their data goes, the shown
// index and any listener follow, and adopting a store brings its rows along.
TEST(RowStore, DroppingTheOldestRowsKeepsTheRestInStep) {
    struct TShifts : IRowStoreListener {
        size_t Dropped = 0, Appended = 0, Cleared = 0;
        void RowAppended(size_t) override { ++Appended; }
        void RowInserted(size_t) override {}
        void RowErased(size_t) override { ADD_FAILURE() << "one erase per dropped row"; }
        void RowEdited(size_t) override {}
        void RowsCleared() override { ++Cleared; }
        void GroupShown() override {}
        void RowsDropped(size_t n) override { Dropped += n; }
    } heard;
    TDebugRowStore store;
    store.SetListener(&heard);
    for (int i = 0; i < 10; ++i) {
        TDebugInfoRec r = Rec("r" + std::to_string(i), uint8_t(i % 2));
        Attach(r, "data");
        store.Append(r);
    }
    store.ShowGroup(1); // rows 1, 3, 5, 7, 9
    store.DropFront(4);
    EXPECT_EQ(heard.Dropped, 4u);
    ASSERT_EQ(store.Count(), 6u);
    EXPECT_EQ(store.Text(0), "r4");
    EXPECT_EQ(store.DataBlocks(), 6u);
    ASSERT_EQ(store.VisibleCount(), 3u);
    EXPECT_EQ(store.Text(store.RowOfVisible(0)), "r5");
    EXPECT_EQ(store.VisibleOfRow(5), 2u);
    store.DropFront(1); // r4, the only hidden row left but r6 and r8
    EXPECT_EQ(store.VisibleOfRow(0), 0u);
    EXPECT_EQ(store.Text(store.RowOfVisible(0)), "r5");

    TDebugRowStore loaded;
    TDebugInfoRec r = Rec("from a file");
    loaded.Append(r);
    store.Adopt(loaded);
    EXPECT_EQ(heard.Cleared, 1u);
    EXPECT_EQ(heard.Appended, 11u);
    ASSERT_EQ(store.Count(), 1u);
    EXPECT_EQ(store.VisibleCount(), 1u);
    EXPECT_EQ(store.Text(0), "from a file");
    EXPECT_EQ(store.DataBlocks(), 0u);
    EXPECT_EQ(loaded.Count(), 0u);
}

// Rows kept in blocks: every way rows come and go, across block boundaries,
// leaves the same sequence as a plain vector would, and what goes is freed.
TEST(RowStore, BlocksOfRowsBehaveAsOneSequence) {
    TBlockVector<std::unique_ptr<int>, 2> rows; // blocks of four
    std::vector<int> model;
    std::srand(7);
    int next = 0;
    auto check = [&] {
        ASSERT_EQ(rows.size(), model.size());
        for (size_t i = 0; i < model.size(); ++i)
            ASSERT_EQ(*rows[i], model[i]) << "at " << i;
        size_t seen = 0;
        rows.for_each([&](std::unique_ptr<int>& p) { EXPECT_EQ(*p, model[seen++]); });
        EXPECT_EQ(seen, model.size());
    };
    for (int step = 0; step < 3000; ++step) {
        const int op = std::rand() % 10;
        const size_t n = model.size();
        if (op < 5 || n == 0) {
            rows.push_back(std::make_unique<int>(next));
            model.push_back(next++);
        } else if (op == 5) {
            const size_t at = size_t(std::rand()) % (n + 1);
            rows.insert(at, std::make_unique<int>(next));
            model.insert(model.begin() + std::ptrdiff_t(at), next++);
        } else if (op == 6) {
            const size_t at = size_t(std::rand()) % n;
            rows.erase(at);
            model.erase(model.begin() + std::ptrdiff_t(at));
        } else if (op == 7) {
            const size_t count = size_t(std::rand()) % (n / 2 + 2);
            rows.erase_front(count);
            model.erase(model.begin(), model.begin() + std::ptrdiff_t(std::min(count, n)));
        } else if (op == 8 && step % 97 == 0) {
            rows.clear();
            model.clear();
        }
        check();
    }
    // Blocks that held only dropped rows are given back: of 25 full blocks,
    // the last three rows keep one.
    rows.clear();
    for (int i = 0; i < 100; ++i)
        rows.push_back(std::make_unique<int>(i));
    const size_t before = rows.capacity_bytes();
    rows.erase_front(97);
    EXPECT_EQ(*rows[0], 97);
    EXPECT_LE(rows.capacity_bytes() + 24 * 4 * sizeof(std::unique_ptr<int>), before);

    // A short list under a history limit stays as small as its rows.
    TBlockVector<int> recent;
    for (int i = 0; i < 20000; ++i) {
        recent.push_back(int(i));
        if (recent.size() > 100) recent.erase_front(10);
    }
    EXPECT_EQ(recent[0] + int(recent.size()) - 1, 19999);
    EXPECT_LT(recent.capacity_bytes(), 2048 * sizeof(int));
}
