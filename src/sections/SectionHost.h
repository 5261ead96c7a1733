// What a section reaches outside itself: the main window (information line,
// status panels, side bar), the shared data viewer, and the program-wide
// colour switch.
#pragma once

#include <functional>
#include <string>

namespace vx {

// The main window as a section sees it.
struct ISectionHost {
    virtual ~ISectionHost() = default;
    virtual void SetInformationLine(const std::string& text) = 0;
    virtual void SetStatusPanel(int panel, const std::string& text) = 0; // panels 1 to 3
    // How many rows the list shows of all, while the filter or the rules hide
    // some ("1,234 of 100,000 rows shown"); empty when every row is shown.
    virtual void SetShownRows(const std::string& /*text*/) {}
    // A note for the exception log that needs no box (a saved rule that
    // could not be read).
    virtual void LogNote(const std::string& /*note*/) {}
    // Removes the first side-bar button whose tag is `tag` (and its group when
    // that leaves it empty).
    virtual void RemoveSideBarButton(int tag) = 0;
    // The user deleted the section with this number. Called last from the
    // delete command, inside the frame's own click: a host that releases the
    // frame must do so later.
    virtual void SectionDeleted(int /*sectionNumber*/) {}
    // The main window's current caption: reports say which program wrote them.
    virtual std::string MainCaption() const { return "vxDebugger"; }
};

// The data viewer window shared by all sections.
struct IDataViewer {
    virtual ~IDataViewer() = default;
    virtual void SetText(const std::string& text) = 0; // the memo's whole text
    virtual void Show() = 0;                           // visible and in front, not modal
};

// The viewer's portable side: it keeps nothing but its memo text. The window
// shows Text and reacts to the two events.
class TDataViewerModel : public IDataViewer {
  public:
    std::function<void()> OnTextChanged;
    std::function<void()> OnShow;

    const std::string& Text() const { return text_; }
    int ShowCount() const { return shows_; }
    void SetText(const std::string& text) override {
        if (text == text_) return;
        text_ = text;
        if (OnTextChanged) OnTextChanged();
    }
    void Show() override {
        ++shows_;
        if (OnShow) OnShow();
    }

  private:
    std::string text_;
    int shows_ = 0;
};

// State shared by every section of the program.
struct TSectionShared {
    bool UseColors = true;    // rows are coloured by group; not saved
    bool TimeColumns = false; // the debug list shows the times between rows
};

} // namespace vx
