// Exceptions the application shows in its standard error box and appends to
// its exception log.
#pragma once

#include <stdexcept>
#include <string>

namespace vx {

// A value that does not fit a narrower field.
class ERangeError : public std::out_of_range {
  public:
    explicit ERangeError(const std::string& what = "Range check error") : std::out_of_range(what) {}
};

} // namespace vx
