#include "platform/TypeName.h"

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#define VX_HAVE_CXXABI 1
#endif

#include <cstdlib>
#include <memory>

namespace vx {

namespace {

std::string Readable(const char* raw) {
    if (!raw) return {};
#ifdef VX_HAVE_CXXABI
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(raw, nullptr, nullptr, &status),
                                                std::free);
    if (status == 0 && name) return name.get();
#endif
    std::string text = raw;
    for (const char* prefix : {"class ", "struct "})
        if (text.rfind(prefix, 0) == 0) return text.substr(std::char_traits<char>::length(prefix));
    return text;
}

} // namespace

std::string TypeName(const std::type_info& type) {
    return Readable(type.name());
}

std::string CurrentExceptionTypeName() {
#ifdef VX_HAVE_CXXABI
    if (const std::type_info* type = abi::__cxa_current_exception_type()) return TypeName(*type);
#endif
    return {};
}

} // namespace vx
