// Logging one section to disk: a file per section and day in the log folder,
// each beginning with the section as it stood, then every change as it came.
//
// The owner passes each change on right after the section made it (the
// calls below read the section as it now stands), and calls Tick from a
// one-second timer. Tick hands the pending block to the
// system and asks for it to reach the disk, so a crash, a killed process or a
// power cut loses at most the last second; an idle section costs nothing,
// since nothing is synced when nothing was written.
//
// A failure stops logging for that section and keeps the reason in Error();
// the section and its rows are never touched.
#pragma once

#include "SessionWriter.h"
#include "sections/SectionCore.h"

#include <string>

namespace vx {

// Writes what a section holds: identity, level, rows, billboard, info pad.
bool WriteSectionState(TSessionWriter& writer, const TSectionCore& section);

class TSectionLog {
  public:
    // Creates the folder if needed and a new file for the day of `now`, and
    // writes the section's state to it.
    bool Start(const std::string& folder, const TSectionCore& section, TDateTime now);
    bool Tick(const TSectionCore& section, TDateTime now);
    bool Stop();

    // The changes, each after the section made it.
    bool RowAdded(const TSectionCore& s); // the section's last row
    bool RowInserted(const TSectionCore& s, size_t row);
    bool RowEdited(const TSectionCore& s, size_t row);
    bool RowDeleted(size_t row) { return writer_.DeleteRow(row + dropped_); }
    bool RowsCleared() {
        dropped_ = 0;
        return writer_.ClearRows();
    }
    // The history limit dropped the oldest rows from memory; the file keeps
    // them, so its row numbers now run ahead of the section's by the drops.
    void RowsDropped(size_t count) { dropped_ += count; }
    bool MessageAdded(const TSectionCore& s); // the billboard's last line
    bool BillboardChanged(const TSectionCore& s);
    bool InfoLineChanged(const TSectionCore& s, int line);
    bool InfoPadCleared() { return writer_.ClearInfoPad(); }
    bool IdentityChanged(const TSectionCore& s) {
        return writer_.Identity(s.ClientID, s.ApplicationName, s.Caption);
    }
    bool LevelChanged(const TSectionCore& s) { return writer_.Level(s.LevelText); }

    bool Active() const { return writer_.IsOpen(); }
    TSessionWriter& Writer() { return writer_; }
    const std::string& Error() const { return error_.empty() ? writer_.Error() : error_; }
    const std::string& Path() const { return writer_.Path(); }

  private:
    bool OpenFor(const TSectionCore& section, TDateTime now);

    TSessionWriter writer_;
    std::string folder_;
    std::string error_;
    long day_ = 0;
    uint64_t dropped_ = 0; // rows in the file before the section's first row
};

} // namespace vx
