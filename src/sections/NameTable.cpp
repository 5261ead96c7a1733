#include "NameTable.h"

#include <stdexcept>

namespace vx {

uint32_t TNameTable::Intern(std::string_view name) {
    if (name.empty()) return 0;
    auto it = ids_.find(name);
    if (it != ids_.end()) return it->second;
    if (names_.size() >= UINT32_MAX - 1) throw std::length_error("too many names");
    names_.emplace_back(name);
    uint32_t id = uint32_t(names_.size());
    ids_.emplace(names_.back(), id);
    return id;
}

void TNameTable::Clear() {
    std::unordered_map<std::string_view, uint32_t>().swap(ids_);
    std::deque<std::string>().swap(names_);
}

} // namespace vx
