#include "RowFields.h"

#include "protocol/Common_Types.h"

#include <cstring>

namespace vx {

std::string_view RowDataText(const TRowRecord& r) {
    if (!r.Data || r.DataSize <= 0) return {};
    const char* p = reinterpret_cast<const char*>(r.Data.get());
    const void* zero = std::memchr(p, 0, size_t(r.DataSize));
    size_t n = zero ? size_t(static_cast<const char*>(zero) - p) : size_t(r.DataSize);
    return {p, n};
}

std::string GroupText(uint8_t group) {
    static const char* const kNames[4] = {"General", "Information", "Warning", "Error"};
    return group <= dgError ? kNames[group] : std::to_string(group);
}

std::string KindText(uint8_t kind) {
    return KindName(kind);
}

} // namespace vx
