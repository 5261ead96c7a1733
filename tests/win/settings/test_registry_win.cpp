// The settings store against Wine's real registry.
#include "settings/RegistryHandler.h"
#include "settings/RegistrySettings_win.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace vx;

namespace {

const std::string kTestSection = "WinTest";

struct Registry : ::testing::Test {
    TRegistrySettings backend;
    TRegistryHandler reg{backend};
    std::vector<std::string> errors;
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kRegistryRoot) + kTestSection).c_str());
        reg.OnError = [this](const std::string& m) { errors.push_back(m); };
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kRegistryRoot) + kTestSection).c_str());
    }
    static bool KeyExists(const std::string& path) {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
            return false;
        RegCloseKey(h);
        return true;
    }
    static DWORD ValueType(const std::string& key, const std::string& name) {
        DWORD type = 0;
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
            return 0;
        RegQueryValueExA(h, name.c_str(), nullptr, &type, nullptr, nullptr);
        RegCloseKey(h);
        return type;
    }
};

} // namespace

TEST_F(Registry, ReadCreatesNestedKeysAndGivesDefaults) {
    const std::string section = kTestSection + "\\Debugger\\C:\\App\\One";
    EXPECT_EQ(reg.RegReadInteger(section, "Data Panel", 150), 150);
    EXPECT_TRUE(KeyExists(std::string(kRegistryRoot) + section));
    EXPECT_TRUE(errors.empty());
}

TEST_F(Registry, ValuesRoundTripAsStrings) {
    reg.RegWriteInteger(kTestSection, "Main Left", -20);
    reg.RegWriteBool(kTestSection, "Main SideBar", false);
    reg.RegWriteString(kTestSection, "Icon Style", "bsSmall");
    const std::string key = std::string(kRegistryRoot) + kTestSection;
    EXPECT_EQ(ValueType(key, "Main Left"), DWORD(REG_SZ));
    EXPECT_EQ(ValueType(key, "Main SideBar"), DWORD(REG_SZ));
    EXPECT_EQ(reg.RegReadInteger(kTestSection, "Main Left", 0), -20);
    EXPECT_FALSE(reg.RegReadBool(kTestSection, "Main SideBar", true));
    EXPECT_EQ(reg.RegReadString(kTestSection, "Icon Style", ""), "bsSmall");
}

TEST_F(Registry, DwordValueIsReportedAndGivesTheDefault) {
    const std::string key = std::string(kRegistryRoot) + kTestSection;
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_SUCCESS);
    DWORD v = 1234;
    RegSetValueExA(h, "Main Width", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof v);
    RegCloseKey(h);
    EXPECT_EQ(reg.RegReadInteger(kTestSection, "Main Width", 799), 799);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Invalid data type for 'Main Width'");
}
