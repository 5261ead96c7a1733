// Readable rectangles and points in test failure messages.
#pragma once

#include "sidebar/SideBarTypes.h"

#include <ostream>

namespace vx::sbar {
inline void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
inline void PrintTo(const TPoint& p, std::ostream* os) {
    *os << "(" << p.X << ", " << p.Y << ")";
}
} // namespace vx::sbar
