// CMP.LOG entries for C++ exceptions: message, type and the catching site.
#include "mainwindow/ExceptionLog.h"

#include "platform/Errors.h"
#include "platform/Fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace vx;

namespace {

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(ExceptionLog, CppEntriesNameTypeAndCatchSiteInsteadOfAnAddress) {
    // Unique: other builds of this test may run beside this one.
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    auto dir = std::filesystem::temp_directory_path() / ("vxlog-" + std::to_string(stamp));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    TFakeLocale locale;
    TFakeClock clock; // 12/9/2025 12:00:00 PM
    TExceptionLog log(dir.string() + "/", locale, clock);

    try {
        throw ERangeError();
    } catch (const std::exception& e) {
        ASSERT_TRUE(log.AppendException(e, "Tfrm_VexelDebugWindow WM_COPYDATA"));
    }
    // What catch (...) hands on is a stand-in; the log names what was thrown.
    try {
        throw 42;
    } catch (...) {
        ASSERT_TRUE(log.AppendException(std::runtime_error("Unknown exception"), "TPanel WM_SIZE"));
    }
    // Reported outside any catch block: the object's own type.
    ASSERT_TRUE(log.AppendException(std::runtime_error("Invalid data type for 'x'"), ""));
    // Text from outside stays on one bounded line.
    ASSERT_TRUE(
        log.Append(std::string(100000, 'x') + "\n", "std::runtime_error", "TRegistryHandler"));

    auto lines = Lines(log.LogPath());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "   1  12/9/2025 12:00:00 PM  Range check error, Type: vx::ERangeError, "
                        "Caught in: Tfrm_VexelDebugWindow WM_COPYDATA\r");
    EXPECT_EQ(lines[2], "   2  12/9/2025 12:00:00 PM  Unknown exception, Type: int, "
                        "Caught in: TPanel WM_SIZE\r");
    EXPECT_EQ(lines[3], "   3  12/9/2025 12:00:00 PM  Invalid data type for 'x', "
                        "Type: std::runtime_error, Caught in: unknown\r");
    EXPECT_LT(lines[4].size(), 1200u);
    EXPECT_NE(lines[4].find("..., Type: std::runtime_error, Caught in: TRegistryHandler"),
              std::string::npos);
    std::filesystem::remove_all(dir);
}
