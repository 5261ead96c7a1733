// Writing a whole file so that readers never see half of it: the bytes go to
// a temporary file beside the target, which then takes the target's place.
#pragma once

#include <cstddef>
#include <string>

namespace vx {

// Writes size bytes to path, creating or replacing it. On failure returns
// false, leaves an existing file as it was and removes the temporary file.
bool WriteFileReplacing(const std::string& path, const void* data, size_t size);

} // namespace vx
