// Reads a session file record by record, trusting none of its lengths: every
// allocation is bounded, every record is checked, and reading stops at the
// first damage with every good record before it delivered.
#pragma once

#include "SessionFormat.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vx {

struct TSessionScan {
    bool Opened = false;     // the file could be read at all
    bool Whole = false;      // every byte belongs to good records
    uint64_t Records = 0;    // good records delivered
    uint64_t StopOffset = 0; // where the bad tail starts; the file's size when whole
    TDateTime Created = 0;
    std::string Error; // what is wrong at StopOffset; empty when whole
};

using TRecordSink = std::function<void(const TSessionRecord&)>;

// Told after each block how far reading has come, of the file's size.
using TReadProgress = std::function<void(uint64_t done, uint64_t size)>;

TSessionScan ReadSession(const std::string& path, const TRecordSink& onRecord,
                         const TReadProgress& progress = {});

} // namespace vx
