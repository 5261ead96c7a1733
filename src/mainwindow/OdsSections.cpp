#include "mainwindow/OdsSections.h"

#include "mainwindow/SectionManager.h"
#include "protocol/Common_Types.h"

#include <algorithm>
#include <cstring>

namespace vx {

namespace {

// Rows keep this much of their text; the whole line goes into the row's data.
constexpr size_t kRowTextCapacity = 255;

} // namespace

std::string OdsCaption(const TOdsProcess& process, uint64_t delayed) {
    if (delayed == 0) return process.FileName;
    return process.FileName + ", " + std::to_string(delayed) +
           (delayed == 1 ? " text delayed" : " texts delayed");
}

void TOdsSections::Apply(std::vector<TOdsEvent>& events) {
    for (TOdsEvent& e : events)
        Apply(e);
}

bool TOdsSections::Apply(TOdsEvent& e) {
    if (!e.Process) return false;
    if (e.Kind != TOdsEvent::oeEnded) return AddText(e);
    Ended(*e.Process);
    return false;
}

ISectionFrame* TOdsSections::SectionOf(const TOdsProcess& process, bool& connected) {
    ISectionFrame* frame = manager_.FindSection(process.ClientID);
    if (frame && frame->Core().Connected()) return frame;
    connected = true;
    frame = manager_.ConnectLocal(process.ClientID, kOdsHeader, process.Path,
                                  OdsCaption(process, Delayed(process.ClientID)));
    if (frame &&
        std::find(connected_.begin(), connected_.end(), process.ClientID) == connected_.end())
        connected_.push_back(process.ClientID);
    return frame;
}

bool TOdsSections::AddText(const TOdsEvent& e) {
    bool connected = false;
    ISectionFrame* frame = SectionOf(*e.Process, connected);
    if (!frame) return connected;
    TSectionCore& core = frame->Core();
    if (e.Delayed) {
        core.Caption = OdsCaption(*e.Process, ++delayed_[e.Process->ClientID]);
        core.RefreshInfo();
    }
    for (std::string_view line : SplitLines(e.Text)) {
        TDebugInfoRec rec;
        rec.Group = dgGeneral;
        rec.Kind = dkString;
        rec.Text.assign(line);
        rec.Time = e.Time;
        if (line.size() > kRowTextCapacity) {
            // The data panel shows the whole line.
            rec.DataSize = int32_t(line.size());
            rec.Data = std::make_unique<uint8_t[]>(line.size());
            std::memcpy(rec.Data.get(), line.data(), line.size());
        }
        manager_.AddRow(core, rec);
    }
    return connected;
}

void TOdsSections::Ended(const TOdsProcess& process) {
    if (ISectionFrame* frame = manager_.FindSection(process.ClientID))
        frame->Core().SetConnected(false);
    connected_.erase(std::remove(connected_.begin(), connected_.end(), process.ClientID),
                     connected_.end());
}

void TOdsSections::DisconnectAll() {
    for (const std::string& id : connected_)
        if (ISectionFrame* frame = manager_.FindSection(id)) frame->Core().SetConnected(false);
    connected_.clear();
}

uint64_t TOdsSections::Delayed(const std::string& clientID) const {
    auto it = delayed_.find(clientID);
    return it == delayed_.end() ? 0 : it->second;
}

} // namespace vx
