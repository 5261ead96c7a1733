// Scripted stand-ins for the platform services, for tests. Each answers the
// way the test says and records what it was asked.
#pragma once

#include "Platform.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vx {

struct TFakeClock : IClock {
    TDateTime Value = 46000.5; // 2025-12-09 12:00:00
    TDateTime Now() const override { return Value; }
};

// English (United States) pictures unless a test sets others.
struct TFakeLocale : ILocale {
    std::string ShortDate = "M/d/yyyy";
    std::string LongTime = "h:mm:ss tt";
    std::string ShortTime = "h:mm tt";
    unsigned CodePage = 1252;
    std::string ShortDatePicture() const override { return ShortDate; }
    std::string LongTimePicture() const override { return LongTime; }
    std::string ShortTimePicture() const override { return ShortTime; }
    unsigned AnsiCodePage() const override { return CodePage; }
};

struct TFakeClipboard : IClipboard {
    std::string Text;
    int SetCount = 0;
    bool Fail = false;
    bool SetText(const std::string& text) override {
        ++SetCount;
        if (Fail) return false;
        Text = text;
        return true;
    }
    std::string GetText() override { return Text; }
};

struct TFakeShell : IShell {
    struct Call {
        std::string Target, Folder;
        int ShowCmd;
    };
    std::vector<Call> Calls;
    intptr_t Result = 42;
    intptr_t Open(const std::string& target, const std::string& folder, int showCmd) override {
        Calls.push_back({target, folder, showCmd});
        return Result;
    }
};

struct TFakeDialogs : IDialogs {
    std::vector<std::string> Errors, Informations, Confirmations;
    struct Input {
        std::string Caption, Prompt, Default;
    };
    std::vector<Input> Inputs;
    std::deque<bool> ConfirmAnswers;      // empty: answer No
    std::deque<std::string> InputAnswers; // empty: cancel (returns the default)
    std::vector<TSaveDialogParams> SaveDialogs;
    std::deque<std::string> SaveAnswers; // empty string: cancelled

    void ShowError(const std::string& t) override { Errors.push_back(t); }
    void ShowInformation(const std::string& t) override { Informations.push_back(t); }
    bool ConfirmYesNo(const std::string& t) override {
        Confirmations.push_back(t);
        if (ConfirmAnswers.empty()) return false;
        bool a = ConfirmAnswers.front();
        ConfirmAnswers.pop_front();
        return a;
    }
    std::string InputBox(const std::string& c, const std::string& p,
                         const std::string& d) override {
        Inputs.push_back({c, p, d});
        if (InputAnswers.empty()) return d;
        std::string a = InputAnswers.front();
        InputAnswers.pop_front();
        return a;
    }
    bool SaveFile(const TSaveDialogParams& params, std::string& fileName) override {
        SaveDialogs.push_back(params);
        if (SaveAnswers.empty()) return false;
        std::string a = SaveAnswers.front();
        SaveAnswers.pop_front();
        if (a.empty()) return false;
        fileName = a;
        return true;
    }
    std::vector<TSaveDialogParams> OpenDialogs;
    std::deque<std::string> OpenAnswers; // empty string: cancelled
    bool OpenFile(const TSaveDialogParams& params, std::string& fileName) override {
        OpenDialogs.push_back(params);
        if (OpenAnswers.empty() || OpenAnswers.front().empty()) {
            if (!OpenAnswers.empty()) OpenAnswers.pop_front();
            return false;
        }
        fileName = OpenAnswers.front();
        OpenAnswers.pop_front();
        return true;
    }
};

// Temporary names follow the Windows pattern: dir + 3 prefix letters + hex + ".tmp".
struct TFakeFileSystem : IFileSystem {
    std::string Temp = "C:\\Temp\\";
    std::string Program = "C:\\Program Files\\vxDebugger\\";
    std::set<std::string> Existing;
    bool UseRealFiles = false; // FileExists asks the real file system
    std::string TempPath() const override { return Temp; }
    std::string TempFileName(const std::string& dir, const std::string& prefix,
                             unsigned unique) const override;
    bool FileExists(const std::string& path) const override;
    std::string ProgramFolder() const override { return Program; }
};

struct TFakeScreen : IScreen {
    int W = 1024, H = 768, PPI = 96;
    int Width() const override { return W; }
    int Height() const override { return H; }
    int PixelsPerInchY() const override { return PPI; }
};

// Reports what a Windows font of the same name would realise to.
struct TFakeFonts : IFonts {
    TRealisedFont Realise(const TFont& font) const override;
    TFont DefaultFont() const override { return TFont{}; }
};

// A complete set of fakes, wired into a TPlatform.
struct TFakePlatform {
    TFakeClock Clock;
    TFakeLocale Locale;
    TFakeClipboard Clipboard;
    TFakeShell Shell;
    TFakeDialogs Dialogs;
    TFakeFileSystem Files;
    TFakeScreen Screen;
    TFakeFonts Fonts;
    TPlatform Services() {
        return TPlatform{&Clock, &Locale, &Clipboard, &Shell, &Dialogs, &Files, &Screen, &Fonts};
    }
};

} // namespace vx
