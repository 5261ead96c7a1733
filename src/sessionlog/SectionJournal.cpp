#include "SectionJournal.h"

namespace vx {

std::string LogFailedText(const std::string& clientID, const std::string& why) {
    return "Logging of \"" + clientID + "\" stopped: " + why;
}

void TSectionJournal::Remember(const TSectionCore& s) {
    clientID_ = s.ClientID;
    application_ = s.ApplicationName;
    caption_ = s.Caption;
    level_ = s.LevelText;
}

bool TSectionJournal::Start(const std::string& folder, const TSectionCore& section, TDateTime now) {
    told_ = false;
    Remember(section);
    synced_ = std::chrono::steady_clock::now();
    bool ok = log_.Start(folder, section, now);
    Check(ok);
    return ok;
}

void TSectionJournal::Arm(const std::string& folder, const IClock* clock) {
    folder_ = folder;
    clock_ = clock;
    told_ = false;
}

void TSectionJournal::Disarm() {
    clock_ = nullptr;
    Stop();
}

void TSectionJournal::Tick(const TSectionCore& section, TDateTime now) {
    if (!Ready(section)) return;
    // A new day starts a new file with the section's state.
    synced_ = std::chrono::steady_clock::now();
    Check(log_.Tick(section, now));
}

void TSectionJournal::Stop() {
    if (log_.Active()) Check(log_.Stop());
}

// A flood may keep the one-second timer from running, so the records that
// arrive see to it themselves that the file reaches the disk every second.
void TSectionJournal::Wrote(bool ok) {
    Check(ok);
    if (!ok || !log_.Active()) return;
    auto now = std::chrono::steady_clock::now();
    if (now - synced_ < std::chrono::seconds(1)) return;
    synced_ = now;
    Check(log_.Writer().Flush(true));
}

void TSectionJournal::Check(bool ok) {
    if (ok || told_) return;
    told_ = true;
    log_.Stop();
    std::string why = log_.Error().empty() ? "the session file cannot be written" : log_.Error();
    if (OnFailed) OnFailed(why);
}

bool TSectionJournal::Ready(const TSectionCore& s) {
    if (!log_.Active()) {
        // The file begins with the section as it now stands, the change just
        // made included.
        if (clock_ && !told_ && !s.ReadOnly() && !s.Deleted() && !s.ClientID.empty())
            Start(folder_, s, clock_->Now());
        return false;
    }
    bool ok = true;
    if (s.ClientID != clientID_ || s.ApplicationName != application_ || s.Caption != caption_)
        ok = log_.IdentityChanged(s);
    if (ok && s.LevelText != level_) ok = log_.LevelChanged(s);
    if (ok) {
        Remember(s);
        return true;
    }
    Check(false);
    return false;
}

void TSectionJournal::RowAdded(const TSectionCore& s) {
    if (Ready(s)) Wrote(log_.RowAdded(s));
}
void TSectionJournal::RowInserted(const TSectionCore& s, size_t row) {
    if (Ready(s)) Wrote(log_.RowInserted(s, row));
}
void TSectionJournal::RowEdited(const TSectionCore& s, size_t row) {
    if (Ready(s)) Wrote(log_.RowEdited(s, row));
}
void TSectionJournal::RowDeleted(const TSectionCore& s, size_t row) {
    if (Ready(s)) Wrote(log_.RowDeleted(row));
}
void TSectionJournal::RowsCleared(const TSectionCore& s) {
    if (Ready(s)) Wrote(log_.RowsCleared());
}
void TSectionJournal::RowsDropped(const TSectionCore&, size_t count) {
    log_.RowsDropped(count);
}
void TSectionJournal::MessageAdded(const TSectionCore& s) {
    if (Ready(s)) Wrote(log_.MessageAdded(s));
}
void TSectionJournal::BillboardChanged(const TSectionCore& s) {
    if (Ready(s)) Wrote(log_.BillboardChanged(s));
}
void TSectionJournal::InfoLineChanged(const TSectionCore& s, int line) {
    if (Ready(s)) Wrote(log_.InfoLineChanged(s, line));
}
void TSectionJournal::InfoPadCleared(const TSectionCore& s) {
    if (Ready(s)) Wrote(log_.InfoPadCleared());
}

} // namespace vx
