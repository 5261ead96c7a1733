// A section wired to scripted services, and helpers to build client records.
#pragma once

#include "platform/Fakes.h"
#include "sections/SectionCore.h"
#include "settings/SettingsBackend.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vxtest {

using namespace vx;

struct TRecordingHost : ISectionHost {
    std::string InfoLine, Panels[4];
    std::vector<int> RemovedTags, DeletedSections;
    std::string ShownRows;
    void SetShownRows(const std::string& t) override { ShownRows = t; }
    void SetInformationLine(const std::string& t) override { InfoLine = t; }
    void SetStatusPanel(int panel, const std::string& t) override { Panels[panel] = t; }
    void RemoveSideBarButton(int tag) override { RemovedTags.push_back(tag); }
    void SectionDeleted(int number) override { DeletedSections.push_back(number); }
};

inline TDebugInfoRec Rec(const std::string& text, uint8_t group = dgGeneral,
                         uint8_t kind = dkString) {
    TDebugInfoRec r;
    r.Group = group;
    r.Kind = kind;
    r.Text = text;
    r.Time = 46000.5;
    return r;
}

inline void Attach(TDebugInfoRec& r, const std::string& bytes) {
    r.DataSize = int32_t(bytes.size());
    r.Data = std::make_unique<uint8_t[]>(bytes.size());
    std::memcpy(r.Data.get(), bytes.data(), bytes.size());
}

// Input boxes are modal, so client records are handled while one is open:
// WhileOpen runs inside the next box, before it answers.
struct TBusyDialogs : TFakeDialogs {
    std::function<void()> WhileOpen;
    std::string InputBox(const std::string& c, const std::string& p,
                         const std::string& d) override {
        if (auto f = std::exchange(WhileOpen, nullptr)) f();
        return TFakeDialogs::InputBox(c, p, d);
    }
};

struct SectionTest {
    TFakePlatform Fakes;
    TMemorySettings Settings;
    TRegistryHandler Registry{Settings};
    TRecordingHost Host;
    TDataViewerModel Viewer;
    TSectionShared Shared;
    std::vector<unsigned> Changes;

    std::unique_ptr<TSectionCore> Make(const std::string& clientID = "Client 1",
                                       IDialogs* dialogs = nullptr) {
        TPlatform platform = Fakes.Services();
        if (dialogs) platform.Dialogs = dialogs;
        auto s = std::make_unique<TSectionCore>(
            TSectionContext{platform, &Registry, &Host, &Viewer, &Shared});
        s->ClientID = clientID;
        s->OnChanged = [this](TSectionCore&, unsigned c) { Changes.push_back(c); };
        return s;
    }
    void Add(TSectionCore& s, const std::string& text, uint8_t group = dgGeneral,
             uint8_t kind = dkString) {
        TDebugInfoRec r = Rec(text, group, kind);
        s.AddDebugInfo(r, false);
    }
    void Answer(const std::string& a) { Fakes.Dialogs.InputAnswers.push_back(a); }
};

} // namespace vxtest
