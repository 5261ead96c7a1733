#include "settings/RegistryHandler.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct Settings : ::testing::Test {
    TMemorySettings mem;
    TRegistryHandler reg{mem};
    std::vector<std::string> errors;
    void SetUp() override {
        reg.OnError = [this](const std::string& m) { errors.push_back(m); };
    }
    std::string Key(const std::string& section) { return kRegistryRoot + section; }
};

} // namespace

TEST_F(Settings, ReadsCreateTheKeyAndGiveDefaults) {
    EXPECT_EQ(reg.RegReadInteger("Display", "Main Left", 361), 361);
    EXPECT_EQ(reg.RegReadString("Display", "Icon Style", "bsLarge"), "bsLarge");
    EXPECT_TRUE(reg.RegReadBool("Debugger\\client", "Info Panel", true));
    EXPECT_TRUE(mem.KeyExists(Key("Display")));
    EXPECT_TRUE(mem.KeyExists(Key("Debugger\\client")));
    EXPECT_TRUE(mem.KeyExists("Software\\Vexel\\Debugger\\1.0\\Debugger"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(Settings, ValuesAreStoredAsText) {
    reg.RegWriteInteger("Display", "Main Left", -5);
    reg.RegWriteBool("Display", "Main SideBar", true);
    reg.RegWriteBool("Display", "Main StatusBar", false);
    reg.RegWriteString("Display", "Icon Style", "bsSmall");
    EXPECT_EQ(mem.Find(Key("Display"), "Main Left")->Data, "-5");
    EXPECT_EQ(mem.Find(Key("Display"), "Main SideBar")->Data, "1");
    EXPECT_EQ(mem.Find(Key("Display"), "Main StatusBar")->Data, "0");
    EXPECT_EQ(reg.RegReadInteger("Display", "Main Left", 0), -5);
    EXPECT_FALSE(reg.RegReadBool("Display", "Main StatusBar", true));
    EXPECT_EQ(reg.RegReadString("Display", "Icon Style", ""), "bsSmall");
}

TEST_F(Settings, TextsThatAreNoNumbersGiveTheDefault) {
    const std::pair<const char*, int> cases[] = {
        {"799", 799},
        {" 12", 12},
        {"+7", 7},
        {"-0", 0},
        {"$10", 16},
        {"0x1F", 31},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", -1},
        {"abc", -1},
        {"12abc", -1},
        {"1.5", -1},
        {"2147483648", -1},
        {"-", -1},
        {"12 ", -1},
    };
    for (auto& [text, expected] : cases) {
        reg.RegWriteString("Display", "Value", text);
        EXPECT_EQ(reg.RegReadInteger("Display", "Value", -1), expected) << '"' << text << '"';
    }
    // Booleans read as integers: any number but 0 is true; no number gives the default.
    reg.RegWriteString("Display", "Main Information Line", "2");
    EXPECT_TRUE(reg.RegReadBool("Display", "Main Information Line", false));
    reg.RegWriteString("Display", "Main Information Line", "yes");
    EXPECT_TRUE(reg.RegReadBool("Display", "Main Information Line", true));
    EXPECT_FALSE(reg.RegReadBool("Display", "Main Information Line", false));
}

TEST_F(Settings, StringsEndAtTheFirstNul) {
    mem.WriteString(Key("Display"), "Icon Style", std::string("bsLarge\0junk", 12));
    EXPECT_EQ(reg.RegReadString("Display", "Icon Style", ""), "bsLarge");
    // A default that looks like nothing is still the default.
    EXPECT_EQ(reg.RegReadInteger("Display", "Missing", 0), 0);
}

TEST_F(Settings, ValueOfAnotherTypeIsReportedAndGivesTheDefault) {
    mem.PutNonString(Key("Display"), "Main Width");
    EXPECT_EQ(reg.RegReadInteger("Display", "Main Width", 799), 799);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Invalid data type for 'Main Width'");
    // Without a handler the read still falls back quietly.
    reg.OnError = nullptr;
    EXPECT_EQ(reg.RegReadString("Display", "Main Width", "d"), "d");
}

TEST_F(Settings, KeysAndNamesIgnoreCase) {
    reg.RegWriteString("Debugger\\App\\One", "Data Panel", "120");
    EXPECT_EQ(reg.RegReadInteger("debugger\\APP\\one", "data panel", 0), 120);
    EXPECT_TRUE(mem.KeyExists(Key("Debugger\\App")));
    mem.ReadOnly = true;
    EXPECT_FALSE(reg.RegWriteInteger("Display", "Main Left", 1));
}
