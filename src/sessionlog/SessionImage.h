// A session file replayed: the section it describes, as it stood when the
// last good record was written. Rows land in a section's own row store.
#pragma once

#include "SessionReader.h"
#include "protocol/Common_Types.h"
#include "sections/InfoPad.h"
#include "sections/RowStore.h"

#include <string>
#include <vector>

namespace vx {

class TSessionImage {
  public:
    TSessionImage();
    TSessionImage(const TSessionImage&) = delete;
    TSessionImage& operator=(const TSessionImage&) = delete;

    std::string ClientID, ApplicationName, Caption, LevelText;
    TDebugRowStore Rows;
    std::vector<std::string> Billboard;
    TInfoLine Info[TInfoPad::kLines]; // as a new section shows them until set
    // Records that name a row or info line the session does not have, or that
    // a later version wrote: a writer of this version makes none.
    uint64_t Ignored = 0;
    // The most rows kept (0: all): past it the oldest go, as in a section,
    // so a file of any length opens in bounded memory. Dropped counts them.
    size_t KeepAtMost = 0;
    uint64_t Dropped = 0;

    void Apply(const TSessionRecord& record);

  private:
    void FillRecord(const TDebugRowView& row);
    void Keep();
    // The row of the store that the file's row `index` now is; false when
    // that row was dropped.
    bool Held(uint32_t index, size_t& row) const;
    TDebugInfoRec rec_; // reused, so its strings keep their room
};

TSessionScan LoadSession(const std::string& path, TSessionImage& image,
                         const TReadProgress& progress = {});

} // namespace vx
