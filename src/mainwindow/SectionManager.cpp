#include "SectionManager.h"

#include "sidebar/vxOutlookBar.h"

#include <algorithm>
#include <cstdio>

namespace vx {

namespace {

// A deleted section's place in the list, holding nothing but its names.
class TDeletedSection : public ISectionFrame {
  public:
    explicit TDeletedSection(std::unique_ptr<TSectionCore> core) : core_(std::move(core)) {}
    TSectionCore& Core() override { return *core_; }

  private:
    std::unique_ptr<TSectionCore> core_;
};

std::string FormatWParam(const char* format, uint32_t wParam) {
    char buf[96];
    std::snprintf(buf, sizeof buf, format, int32_t(wParam));
    return buf;
}

// Kinds 9 and 8 set the level text; an unknown level keeps the old one.
void SetLevel(TSectionCore& core, uint8_t level) {
    if (level <= dlHigh) core.LevelText = LevelName(level);
}

} // namespace

std::string UnknownCopyDataText(uint32_t wParam) {
    return FormatWParam("Unknown Message in Debugger WMCOPYDATA [%d],", wParam);
}

std::string UnknownHandshakeText(uint32_t wParam) {
    return FormatWParam("Unknown Message in Debugger WndProc [%d],", wParam);
}

std::string ApplicationFileName(const std::string& path) {
    size_t pos = path.find_last_of("\\:");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

TSectionManager::TSectionManager(const TSectionManagerContext& context) : ctx_(context) {}

TSectionManager::~TSectionManager() = default;

TSectionManager::TBurst::~TBurst() {
    --m_.burst_;
    m_.FlushBurst();
}

TSectionManager::TPacketSlot::TPacketSlot(TSectionManager& m) : m_(m), packet_(&m.packet_) {
    if (m_.packetTaken_) {
        own_ = std::make_unique<TDecodedPacket>();
        packet_ = own_.get();
    } else {
        m_.packetTaken_ = true;
    }
}

TSectionManager::TPacketSlot::~TPacketSlot() {
    if (!own_) {
        m_.packetTaken_ = false;
        m_.packet_.Rec.Data.reset(); // whatever no row took goes with the record
    }
}

bool TSectionManager::AddRow(TSectionCore& core, TDebugInfoRec& rec) {
    if (burst_ == 0) return core.AddDebugInfo(rec, false);
    if (!core.AddDebugInfoLater(rec)) return false;
    if (std::find(due_.begin(), due_.end(), core.SectionNumber) == due_.end())
        due_.push_back(core.SectionNumber);
    lastDue_ = core.SectionNumber;
    return true;
}

// Never throws: a section whose texts cannot be made is reported, and the
// others still get theirs.
void TSectionManager::FlushBurst() noexcept {
    while (!due_.empty()) {
        // The section that took the last row goes last.
        auto next = due_.begin();
        if (*next == lastDue_ && due_.size() > 1) ++next;
        const int number = *next;
        due_.erase(next);
        if (number < 1 || size_t(number) > sections_.size()) continue;
        try {
            sections_[size_t(number) - 1]->Core().FlushInfo();
        } catch (const std::exception& e) {
            try {
                if (ctx_.OnException) ctx_.OnException(e);
            } catch (...) {
            }
        }
    }
}

// An error box runs a message loop: what the rows before it changed shows first.
void TSectionManager::ShowError(const std::string& text) {
    FlushBurst();
    if (ctx_.Platform.Dialogs) ctx_.Platform.Dialogs->ShowError(text);
}

bool TSectionManager::Handshake(uint32_t wParam) {
    if ((wParam & 0xFF) == hsHello) return true;
    ShowError(UnknownHandshakeText(wParam));
    return false;
}

ISectionFrame* TSectionManager::FindSection(const std::string& clientID) const {
    return FindSection(clientID, std::string());
}

ISectionFrame* TSectionManager::FindSection(const std::string& clientID,
                                            const std::string& host) const {
    for (size_t i = sections_.size(); i-- > 0;) {
        TSectionCore& core = sections_[i]->Core();
        if (core.ClientID == clientID && core.RemoteHost == host && !core.Deleted() &&
            !core.ReadOnly())
            return sections_[i].get();
    }
    return nullptr;
}

ISectionFrame* TSectionManager::CreateSection(const std::string& clientID,
                                              const std::string& application,
                                              const std::string& host) {
    size_t count = sections_.size();
    try {
        std::unique_ptr<ISectionFrame> frame = ctx_.Factory ? ctx_.Factory() : nullptr;
        if (!frame) return nullptr;
        TSectionCore& core = frame->Core();
        core.ClientID = clientID;
        core.RemoteHost = host;
        core.ApplicationName = application;
        sections_.push_back(std::move(frame));
        core.SectionNumber = int(sections_.size());
        core.Paused = false;
        core.ShowSection();
        return sections_.back().get();
    } catch (...) {
        // A half-built section must not stay in the list: its number would be
        // taken and its client would find a frame that cannot show anything.
        sections_.resize(count);
        return nullptr;
    }
}

void TSectionManager::WMCopyData(uint32_t wParam, const void* data, size_t size) {
    TPacketSlot packet(*this);
    if (!DecodePacket(*packet, wParam, data, size)) return;
    try {
        Dispatch(packet->ClientID, std::string(), packet->Rec, wParam);
    } catch (const std::exception& e) {
        FlushBurst();
        if (ctx_.OnException) ctx_.OnException(e);
    }
}

TSectionManager::TRemoteResult TSectionManager::DispatchRemote(const std::string& host,
                                                               uint32_t wParam, const void* data,
                                                               size_t size, std::string* failure) {
    const uint8_t kind = uint8_t(wParam & 0xFF);
    const bool known = kind == dkDisconnect || (kind >= dkConnect && kind <= dkShowViewer);
    if (!known) return TRemoteResult::rrUnknownKind;
    TPacketSlot packet(*this);
    if (!DecodePacket(*packet, wParam, data, size)) return TRemoteResult::rrShort;
    if (kind == dkConnect && !FindSection(packet->ClientID, host)) {
        size_t owned = 0;
        for (auto& s : sections_)
            owned += s->Core().RemoteHost == host && !s->Core().Deleted();
        if (owned >= kMaxRemoteSections) return TRemoteResult::rrTooManySections;
    }
    try {
        Dispatch(packet->ClientID, host, packet->Rec, wParam);
    } catch (const std::exception& e) {
        if (failure) *failure = e.what();
        return TRemoteResult::rrFailed;
    }
    return TRemoteResult::rrApplied;
}

void TSectionManager::RemoteRecordsEnded(const std::string& host) {
    for (auto& s : sections_)
        if (s->Core().RemoteHost == host && !s->Core().Deleted()) s->Core().RecordsEnded();
}

void TSectionManager::Dispatch(const std::string& clientID, const std::string& host,
                               TDebugInfoRec& rec, uint32_t wParam) {
    uint8_t kind = rec.Kind;
    if (kind == dkConnect) return Connect(clientID, host, rec);
    if (kind == dkShowViewer) {
        if (ctx_.ShowMainWindow) ctx_.ShowMainWindow();
        return;
    }
    bool known = kind == dkDisconnect || (kind >= dkSetLevel && kind <= kLastRowKind);
    if (!known) {
        ShowError(UnknownCopyDataText(wParam));
        return;
    }
    ISectionFrame* frame = FindSection(clientID, host);
    if (!frame) return;
    TSectionCore& core = frame->Core();
    switch (kind) {
    case dkDisconnect:
        core.SetConnected(false);
        break;
    case dkSetLevel:
        SetLevel(core, rec.Level);
        core.RefreshInfo();
        break;
    case dkClearMessages:
        core.ClearMessages();
        break;
    case dkClearDebugInfos:
        core.ClearDebugInfos(false);
        break;
    case dkAddMessage:
        core.AddMessage(rec.Text);
        break;
    case dkSetInfoLine:
        core.SetInfoLine(rec.InfoLine, rec.Text);
        break;
    default:
        AddRow(core, rec);
        break;
    }
}

void TSectionManager::Connect(const std::string& clientID, const std::string& host,
                              const TDebugInfoRec& rec) {
    ISectionFrame* frame = FindSection(clientID, host);
    size_t bar = rec.Text.find('|');
    std::string application = bar == std::string::npos ? std::string() : rec.Text.substr(0, bar);
    std::string caption = bar == std::string::npos ? rec.Text : rec.Text.substr(bar + 1, 255);
    if (!frame) frame = CreateSection(clientID, application, host);
    if (!frame) return;
    TSectionCore& core = frame->Core();
    core.SetConnected(true);
    core.SetGroupFilter(0);
    core.Caption = caption;
    SetLevel(core, rec.Level);
    AddSideBarButton(core, application, caption);
    core.RefreshInfo();
}

ISectionFrame* TSectionManager::ConnectLocal(const std::string& clientID, const std::string& header,
                                             const std::string& application,
                                             const std::string& caption) {
    ISectionFrame* frame = FindSection(clientID);
    if (!frame) frame = CreateSection(clientID, application);
    if (!frame) return nullptr;
    TSectionCore& core = frame->Core();
    core.SetConnected(true);
    core.Caption = caption;
    AddSideBarButton(core, header, caption);
    core.RefreshInfo();
    return frame;
}

ISectionFrame* TSectionManager::CreateFileSection(const std::string& clientID,
                                                  const std::string& header,
                                                  const std::string& button) {
    ISectionFrame* frame = CreateSection(clientID, header);
    if (frame) AddSideBarButton(frame->Core(), header, button);
    return frame;
}

void TSectionManager::AddSideBarButton(TSectionCore& core, const std::string& application,
                                       const std::string& caption) {
    TvxOutlookBar* bar = ctx_.SideBar;
    if (!bar) return;
    TvxOutlookBarHeader* header = nullptr;
    const ILocale* locale = ctx_.Platform.Locale;
    for (int i = 0; i < bar->HeaderCount() && !header; ++i) {
        TvxOutlookBarHeader* h = bar->Headers(i);
        bool same = locale ? locale->CompareStr(h->Hint, application) == 0 : h->Hint == application;
        if (same) header = h;
    }
    if (!header) {
        bar->AddHeader(ApplicationFileName(application));
        header = bar->Headers(bar->HeaderCount() - 1);
        header->Hint = application;
    }
    for (int i = 0; i < header->ButtonCount(); ++i)
        if (header->Buttons(i)->Tag == core.SectionNumber) return;
    TOutlookButton* button = header->AddButton("");
    button->SetCaption(caption.empty() ? "Section " + std::to_string(header->ButtonCount())
                                       : caption);
    button->SetLargeImages(ctx_.LargeImages);
    button->SetSmallImages(ctx_.SmallImages);
    button->SetImageIndex(1);
    button->Tag = core.SectionNumber;
    button->OnClick = [this](sbar::TObject* sender) { ShowSectionsExecute(sender); };
}

void TSectionManager::ShowSectionsExecute(sbar::TObject* sender) {
    auto* button = dynamic_cast<TOutlookButton*>(sender);
    if (!button) return;
    intptr_t index = button->Tag - 1;
    if (index < 0 || size_t(index) >= sections_.size()) return;
    TSectionCore& core = sections_[size_t(index)]->Core();
    // Deleting removes only the section's first button; one that a reconnect
    // put under another application must not bring the section back.
    if (core.Deleted()) return;
    if (core.Visible())
        core.BringSectionToFront();
    else
        core.ShowSection();
}

void TSectionManager::FreeAllSections() {
    for (size_t i = sections_.size(); i-- > 0;)
        sections_[i]->Core().HideSection();
    while (!sections_.empty()) {
        sections_.back()->Core().ClearDebugInfos(true);
        sections_.pop_back();
    }
}

bool TSectionManager::ReleaseDeletedSection(int sectionNumber) {
    if (sectionNumber < 1 || size_t(sectionNumber) > sections_.size()) return false;
    std::unique_ptr<ISectionFrame>& slot = sections_[size_t(sectionNumber) - 1];
    if (!slot->Core().Deleted() || dynamic_cast<TDeletedSection*>(slot.get())) return false;
    auto standIn = std::make_unique<TDeletedSection>(slot->Core().DeletedStandIn());
    slot = std::move(standIn); // the frame and all it owns go here
    return true;
}

void TSectionManager::SaveAllPanelSettings() {
    for (auto& section : sections_)
        section->Core().SavePanelSettings();
}

} // namespace vx
