// The time columns of the debug list: milliseconds between two record times.
#pragma once

#include "platform/Platform.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace vx {

// Milliseconds from `from` to `to` (negative when the clock went back), rounded
// to the nearest; none when either time is no number or the span does not fit.
inline std::optional<int64_t> ElapsedMs(TDateTime from, TDateTime to) {
    double ms = (to - from) * 86400000.0;
    if (!std::isfinite(ms) || std::fabs(ms) > 9.0e18) return std::nullopt;
    return int64_t(std::llround(ms));
}

} // namespace vx
