// The main window as a section sees it, for the tests of sections, frames and
// the section manager: it records what it was told last, and a test may act
// on a side-bar removal or a deletion the way the main window does.
#pragma once

#include "sections/SectionHost.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vxtest {

struct TFakeSectionHost : vx::ISectionHost {
    std::string Information;
    std::string Panels[4];
    std::string ShownRows;
    int PanelTexts = 0;     // status panel texts set so far
    int FailPanelTexts = 0; // the next this many status panel texts throw
    std::vector<std::string> Notes;
    std::vector<int> RemovedButtons;
    std::vector<int> DeletedSections;
    std::string Caption = "vxDebugger";
    std::function<void(int tag)> OnRemoveSideBarButton;

    void SetInformationLine(const std::string& text) override { Information = text; }
    void SetStatusPanel(int panel, const std::string& text) override {
        ++PanelTexts;
        if (FailPanelTexts > 0 && FailPanelTexts--) throw std::runtime_error("no status bar");
        if (panel >= 0 && panel < 4) Panels[panel] = text;
    }
    void SetShownRows(const std::string& text) override { ShownRows = text; }
    void LogNote(const std::string& note) override { Notes.push_back(note); }
    void RemoveSideBarButton(int tag) override {
        RemovedButtons.push_back(tag);
        if (OnRemoveSideBarButton) OnRemoveSideBarButton(tag);
    }
    void SectionDeleted(int number) override { DeletedSections.push_back(number); }
    std::string MainCaption() const override { return Caption; }
};

} // namespace vxtest
