// Readable names of C++ types, for the exception log and its catch sites.
#pragma once

#include <string>
#include <typeinfo>

namespace vx {

// "vx::ERangeError", "std::bad_alloc", "int": demangled where the compiler
// mangles, without MSVC's "class " or "struct " in front.
std::string TypeName(const std::type_info& type);

// The type of the exception being handled, called from inside a catch
// block (also catch (...)); empty outside one or where the run-time library
// cannot tell.
std::string CurrentExceptionTypeName();

} // namespace vx
