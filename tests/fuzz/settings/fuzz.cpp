// The settings readers, fed stored values a user or another program may have
// left: every read gets the next fuzzed text (or a value of another type, or
// none). Integers must parse as the reference below says, a written value
// must read back as itself, and the program's settings readers must take
// whatever is stored.
#include "FuzzSupport.h"
#include "forms/form_About.h"
#include "mainwindow/MainWindowSettings.h"
#include "platform/Fakes.h"
#include "sections/PanelLayout.h"
#include "sessionlog/SessionLogSettings.h"
#include "settings/RegistryHandler.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>

using namespace vx;
using vxfuzz::Check;

namespace {

// Hands out the fuzzed values in the order they are asked for.
struct TFuzzedStore : ISettingsBackend {
    explicit TFuzzedStore(FuzzedDataProvider& in) : In(in) {}
    FuzzedDataProvider& In;
    TReadResult ReadString(const std::string&, const std::string&, std::string& value) override {
        switch (In.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            return TReadResult::Missing;
        case 1:
            return TReadResult::WrongType;
        default:
            value = In.ConsumeRandomLengthString(64);
            return TReadResult::Ok;
        }
    }
    bool WriteString(const std::string&, const std::string&, const std::string&) override {
        return true;
    }
};

// What the store accepts as an integer, written without looking at the parser.
bool ReferenceInt(const std::string& s, int& value) {
    size_t i = s.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    bool neg = s[i] == '-';
    if (s[i] == '-' || s[i] == '+') ++i;
    unsigned base = 10;
    if (s.compare(i, 1, "$") == 0)
        base = 16, i += 1;
    else if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0)
        base = 16, i += 2;
    if (i >= s.size()) return false;
    unsigned __int128 v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = unsigned(c - 'A' + 10);
        else
            return false;
        v = v * base + d;
        if (v > (unsigned __int128)(1) << 40) v = (unsigned __int128)(1) << 40; // far out of range
    }
    int64_t n = int64_t(v);
    if (neg) n = -n;
    if (base == 16 && !neg && n > INT32_MAX && n <= int64_t(UINT32_MAX)) n = int32_t(uint32_t(n));
    if (n < INT32_MIN || n > INT32_MAX) return false;
    value = int(n);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    std::string text = in.ConsumeRandomLengthString(40);
    int got = 12345, want = 12345;
    bool ok = TryParseInt(text, got), wantOk = ReferenceInt(text, want);
    Check(ok == wantOk, "the integer parser accepts what the reference accepts");
    if (ok) Check(got == want, "the integer parser gives the reference's value");

    TMemorySettings memory;
    TRegistryHandler stored(memory);
    int number = in.ConsumeIntegral<int>();
    Check(stored.RegWriteInteger("Fuzz", "Number", number), "an integer is written");
    Check(stored.RegReadInteger("Fuzz", "Number", ~number) == number, "an integer reads back");
    std::string value = in.ConsumeRandomLengthString(64);
    Check(stored.RegWriteString("Fuzz", "Text", value), "a text is written");
    Check(stored.RegReadString("Fuzz", "Text", "") == value.substr(0, value.find('\0')),
          "a text reads back up to its first zero byte");

    TFuzzedStore fuzzed(in);
    TRegistryHandler registry(fuzzed);
    registry.OnError = [](const std::string& message) {
        Check(!message.empty(), "an error names itself");
    };
    TFakeScreen screen;
    TMainWindowSettings window = LoadMainWindowSettings(registry, screen, TMainWindowSettings{});
    Check(window.Left >= 0 && window.Top >= 0 && window.Width <= screen.W &&
              window.Height <= screen.H,
          "the main window is clamped to the screen");
    TPanelLayout layout;
    LoadPanelSettings(layout, registry, in.ConsumeRandomLengthString(20));
    Check(layout.DataWidth >= 0 && layout.MemoHeight >= 0 && layout.InfoPadHeight >= 0,
          "panel sizes are never negative");
    (void)ReadSessionLogSettings(registry, "C:\\Logs");
    (void)LoadAboutPosition(registry, TFormPosition{});
    (void)registry.RegReadBool("Fuzz", "Flag", in.ConsumeBool());
    return 0;
}
