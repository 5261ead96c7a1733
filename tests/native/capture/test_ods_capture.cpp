#include "capture/OdsQueue.h"
#include "capture/OdsText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

using namespace vx;

namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    for (std::string_view l : SplitLines(text))
        out.emplace_back(l);
    return out;
}

TOdsEvent Text(const std::string& text) {
    TOdsEvent e;
    e.Text = text;
    return e;
}

} // namespace

TEST(OdsText, BufferTextStopsAtItsNulOrTheBufferEnd) {
    char buffer[kDbwinBufferSize];
    std::memset(buffer, 'x', sizeof buffer); // a sender that wrote no NUL
    EXPECT_EQ(DbwinText(buffer, sizeof buffer).size(), kDbwinTextCapacity);
    std::memcpy(buffer + 4, "hello\0world", 12);
    EXPECT_EQ(DbwinText(buffer, sizeof buffer), "hello");
    EXPECT_EQ(DbwinText(buffer, 4), "");
    EXPECT_EQ(DbwinText(nullptr, sizeof buffer), "");
}

TEST(OdsText, EveryKindOfLineBreakEndsARow) {
    EXPECT_EQ(Lines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(Lines("last\r\n"), std::vector<std::string>{"last"});
    EXPECT_EQ(Lines("\n\n"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Lines("a\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Lines(""), std::vector<std::string>{""});
}

TEST(OdsText, AProcessIsKnownByItsIdAndStartTime) {
    TOdsProcess a = MakeOdsProcess(1234, 0x01DB0000AAAA0000ull, "C:\\Apps\\Tool.exe");
    TOdsProcess again = MakeOdsProcess(1234, 0x01DB0000BBBB0000ull, "C:\\Apps\\Tool.exe");
    EXPECT_NE(a.ClientID, again.ClientID);
    EXPECT_EQ(a.ClientID.substr(0, a.ClientID.find(' ')), "PID:1234");
    EXPECT_EQ(a.FileName, "Tool.exe");
    EXPECT_EQ(MakeOdsProcess(7, 0, "").FileName, "Process 7");
}

TEST(OdsQueue, OnlyTheFirstTextPostsUntilTheConsumerFindsTheQueueEmpty) {
    TOdsQueue q(100);
    EXPECT_TRUE(q.Push(Text("1")).Post);
    EXPECT_FALSE(q.Push(Text("2")).Post);
    std::vector<TOdsEvent> out;
    EXPECT_TRUE(q.Take(out, 1));
    EXPECT_FALSE(q.Take(out, 10));
    EXPECT_FALSE(q.Push(Text("3")).Post); // the consumer comes back by itself
    EXPECT_FALSE(q.Release());            // and must: a text is waiting
    EXPECT_FALSE(q.Take(out, 10));
    EXPECT_TRUE(q.Release());
    EXPECT_TRUE(q.Push(Text("4")).Post);
    EXPECT_FALSE(q.Take(out, 10));
    ASSERT_EQ(out.size(), 4u);
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_EQ(out[i].Text, std::to_string(i + 1));
}

TEST(OdsQueue, AFullQueueMakesTheReaderWaitAndNothingIsDropped) {
    TOdsQueue q(4);
    constexpr int kCount = 2000;
    std::thread reader([&] {
        for (int i = 0; i < kCount; ++i)
            q.Push(Text(std::to_string(i)));
    });
    std::vector<TOdsEvent> got;
    while (got.size() < size_t(kCount)) {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        EXPECT_LE(q.Size(), 4u);
        q.Take(got, 3);
    }
    reader.join();
    size_t delayed = 0;
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(got[size_t(i)].Text, std::to_string(i));
        delayed += got[size_t(i)].Delayed;
    }
    EXPECT_GT(delayed, 0u);
    EXPECT_LT(delayed, size_t(kCount));
}

TEST(OdsQueue, ClosingReleasesAWaitingReader) {
    TOdsQueue q(1);
    q.Push(Text("kept"));
    std::atomic<bool> closed{false};
    std::thread reader([&] { closed = q.Push(Text("waits")).Closed; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    q.Close();
    reader.join();
    EXPECT_TRUE(closed);
    q.Reset();
    EXPECT_EQ(q.Size(), 0u);
    EXPECT_TRUE(q.Push(Text("after")).Post);
}

TEST(OdsQueue, TheBytesOfItsTextsBoundTheQueueAsWellAsTheirNumber) {
    const size_t small = TOdsQueue::EventBytes(Text("1"));
    TOdsQueue q(1000, 3 * small);
    for (int i = 0; i < 3; ++i)
        q.Push(Text("1"));
    std::atomic<bool> pushed{false};
    std::thread reader([&] {
        q.Push(Text("2"));
        pushed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(pushed); // full by bytes long before it is full by count
    std::vector<TOdsEvent> out;
    q.Take(out, 1);
    reader.join();
    EXPECT_TRUE(out.size() == 1 && pushed);
    q.Take(out, 10);
    EXPECT_EQ(q.Bytes(), 0u);
    // A text longer than the whole bound still goes through an empty queue.
    const std::string longText(4 * small, 'x');
    q.Push(Text(longText));
    EXPECT_EQ(q.Bytes(), TOdsQueue::EventBytes(Text(longText)));
}
