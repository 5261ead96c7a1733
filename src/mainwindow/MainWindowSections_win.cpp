// The main window's side of the section list: freeing every section at the
// end, and taking a deleted section's button off the side bar and its frame
// out of the list.
#include "forms/form_Splash_win.h"
#include "mainwindow/SectionManager.h"
#include "mainwindow/form_MainWindow_win.h"
#include "sections/SectionCore.h"
#include "sections/frame_Sections_win.h"
#include "sessionlog/SectionJournal.h"

#include <exception>

namespace vx {
namespace {

class TDockedSection : public ISectionFrame {
  public:
    explicit TDockedSection(std::unique_ptr<Tfme_Sections> frame) : frame_(std::move(frame)) {}
    TSectionCore& Core() override { return frame_->Core(); }
    Tfme_Sections* Frame() { return frame_.get(); }
    // Declared first: the section's log outlives the section that writes to it.
    TSectionJournal Journal;

  private:
    std::unique_ptr<Tfme_Sections> frame_;
};

} // namespace

// Here, where the section list's element type is complete.
Tfrm_VexelDebugWindow::~Tfrm_VexelDebugWindow() {
    // Destroyed here, while the whole object still stands, so FormDestroy can run.
    if (Handle()) DestroyWindow(Handle());
}

TSectionJournal* Tfrm_VexelDebugWindow::JournalOf(ISectionFrame& section) {
    auto* docked = dynamic_cast<TDockedSection*>(&section);
    return docked ? &docked->Journal : nullptr;
}

Tfme_Sections* Tfrm_VexelDebugWindow::FrameOf(ISectionFrame& section) {
    auto* docked = dynamic_cast<TDockedSection*>(&section);
    return docked ? docked->Frame() : nullptr;
}

std::unique_ptr<ISectionFrame> Tfrm_VexelDebugWindow::CreateSectionFrame() {
    TSectionContext ctx{ctx_.Platform, ctx_.Registry, this, Viewer, &SectionShared};
    ctx.RuleEditor = RuleEditor;
    try {
        auto frame = std::make_unique<Tfme_Sections>(PANEL_PLUGIN_DOCK.Handle(), ctx);
        frame->OnHint = [this](const std::string& hint) { Hints.SetHint(hint); };
        ExportUI.SetOwner(Handle());
        frame->Exports.SetUI(&ExportUI);
        frame->OnSaveSession = [this](Tfme_Sections& f) { act_SaveSessionExecute(&f.Core()); };
        auto docked = std::make_unique<TDockedSection>(std::move(frame));
        AttachSessionLog(docked->Core(), docked->Journal);
        return docked;
    } catch (const std::exception&) {
        return nullptr; // a section that cannot be built is dropped silently
    }
}

void Tfrm_VexelDebugWindow::RemoveSideBarButton(int tag) {
    if (!vxOutlookBar) return;
    for (int h = 0; h < vxOutlookBar->HeaderCount(); ++h) {
        TvxOutlookBarHeader* header = vxOutlookBar->Headers(h);
        for (int b = 0; b < header->ButtonCount(); ++b) {
            if (header->Buttons(b)->Tag != tag) continue;
            header->DeleteButton(b);
            if (header->ButtonCount() == 0) vxOutlookBar->DeleteHeader(h);
            return;
        }
    }
}

// Only a deleted section's frame goes before the end. A closed one keeps its
// windows: its button shows it again at once with its rows, focus, scroll
// position and dragged panel sizes, and there are never more closed sections
// than buttons the user can still click.
void Tfrm_VexelDebugWindow::SectionDeleted(int sectionNumber) {
    if (Handle()) PostMessageA(Handle(), kReleaseSectionMessage, WPARAM(sectionNumber), 0);
}

std::string Tfrm_VexelDebugWindow::MainCaption() const {
    return Text();
}

void Tfrm_VexelDebugWindow::FreeAllSections() {
    Manager->FreeAllSections();
}

// The manager builds frames in the dock panel, hangs their buttons on the side
// bar, shows the window for kind 33 and reports through the error handler.
void Tfrm_VexelDebugWindow::ConnectSectionManager() {
    TSectionManagerContext& c = Manager->Context();
    c.Platform = ctx_.Platform;
    c.SideBar = vxOutlookBar.get();
    c.LargeImages = SideLargeImages.get();
    c.SmallImages = SideSmallImages.get();
    c.Factory = [this] { return CreateSectionFrame(); };
    c.ShowMainWindow = [this] { act_ShowExecute(); };
    c.OnException = [](const std::exception& e) {
        ui::HandleException(e, "TSectionManager WM_COPYDATA");
    };
}

} // namespace vx
