// Consistency of a form description, checked before a window is built from it.
#pragma once

#include <string>

#include "ui/form/form_description.h"

namespace ionsift {

// Empty when the description can be built; otherwise the first problem:
// a duplicate or reserved id, a parent that is not a container listed
// earlier, a custom control without a class, an image without a resource, a column of a control that is
// neither a report list nor a status bar, a menu row whose parent is not an
// earlier menu row, a popup menu that is not among the menu rows.
std::string FormDescriptionProblem(const FormDescription& form);

}  // namespace ionsift
