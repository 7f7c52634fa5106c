// The host's elements and isotopes: the plug-in core's table, so that both
// sides compute with the same data.
#pragma once

#include "isotopes/isotope_table.h"

namespace ionsift::chem {

using ionsift::Element;
using ionsift::FindElement;
using ionsift::Isotope;
using ionsift::IsotopeRows;
using ionsift::IsotopeTable;

}  // namespace ionsift::chem
