// Interned unit and procedure names: a log repeats the same few dozen names
// millions of times, so each row keeps a 32-bit id instead of two strings.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vx {

class TNameTable {
  public:
    // Id of name, adding it when new; the empty name is always id 0.
    uint32_t Intern(std::string_view name);
    std::string_view Name(uint32_t id) const {
        return id == 0 ? std::string_view() : names_[id - 1];
    }
    size_t Count() const { return names_.size(); }
    void Clear();

  private:
    std::deque<std::string> names_; // a deque never moves its strings, so the keys stay valid
    std::unordered_map<std::string_view, uint32_t> ids_;
};

} // namespace vx
