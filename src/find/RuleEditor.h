// The section asks the user to edit its rules through this, so that the
// section's own tests can answer for the user; the window program gives it
// the rule dialog.
#pragma once

#include "Rules.h"

#include <string>
#include <vector>

namespace vx {

struct IRuleEditor {
    virtual ~IRuleEditor() = default;
    // Shows the rules of the section named by `caption` for editing; true and
    // the edited rules when the user chose OK, false (rules untouched) when
    // they cancelled.
    virtual bool EditRules(const std::string& caption, std::vector<TFindRule>& rules) = 0;
};

} // namespace vx
