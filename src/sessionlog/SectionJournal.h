// A section's session log as the section hears of it: every change goes to
// the section's file as it happens, the identity and level whenever they
// differ from what the file last got, and a failure (a full disk, a folder
// that refuses writes) ends logging for this section only and is told once
// through OnFailed. The section and its rows are never touched.
#pragma once

#include "SectionLog.h"
#include "platform/Platform.h"

#include <chrono>
#include <functional>
#include <string>

namespace vx {

class TSectionJournal : public ISectionJournal {
  public:
    // Why logging stopped: a text for the information line.
    std::function<void(const std::string& why)> OnFailed;

    bool Start(const std::string& folder, const TSectionCore& section, TDateTime now);
    // Starts the log in `folder` at the section's next change or tick, once
    // the section has its client's ID (a new section gets it after it is
    // built). A read-only section is never logged.
    void Arm(const std::string& folder, const IClock* clock);
    // Stops the log and forgets the folder.
    void Disarm();
    // From a one-second timer: writes what is pending and syncs it.
    void Tick(const TSectionCore& section, TDateTime now);
    void Stop();
    bool Active() const { return log_.Active(); }
    const std::string& Path() const { return log_.Path(); }
    const std::string& Error() const { return log_.Error(); }

    void RowAdded(const TSectionCore& s) override;
    void RowInserted(const TSectionCore& s, size_t row) override;
    void RowEdited(const TSectionCore& s, size_t row) override;
    void RowDeleted(const TSectionCore& s, size_t row) override;
    void RowsCleared(const TSectionCore& s) override;
    void RowsDropped(const TSectionCore& s, size_t count) override;
    void MessageAdded(const TSectionCore& s) override;
    void BillboardChanged(const TSectionCore& s) override;
    void InfoLineChanged(const TSectionCore& s, int line) override;
    void InfoPadCleared(const TSectionCore& s) override;

  private:
    // False when the log is not running; else writes identity or level first
    // when the dispatcher changed them.
    bool Ready(const TSectionCore& s);
    void Check(bool ok);
    void Wrote(bool ok);
    void Remember(const TSectionCore& s);

    TSectionLog log_;
    std::string clientID_, application_, caption_, level_;
    std::string folder_;
    const IClock* clock_ = nullptr; // armed when set
    bool told_ = false;
    std::chrono::steady_clock::time_point synced_{};
};

// The information line's text when logging a section stopped.
std::string LogFailedText(const std::string& clientID, const std::string& why);

} // namespace vx
