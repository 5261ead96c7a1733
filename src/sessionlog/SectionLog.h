// Logging one section to disk: a file per section and day in the log folder,
// each beginning with the section as it stood, then every change as it came.
//
// The owner passes each change on as it happens (the Writer() calls), and
// calls Tick from a one-second timer. Tick hands the pending block to the
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
};

} // namespace vx
