#include "ui/dialogs/search_button_rule.h"

#include "text/locale_numbers.h"

namespace ionsift {

bool SearchEnabled(const SearchInputs& inputs) {
    if (inputs.dbHandle.empty()) return false;
    if (inputs.massText.empty() || inputs.maxResultsText.empty() || inputs.ppmText.empty()) {
        return false;
    }
    if (inputs.databaseIndex == 0) return false;
    double mass = 0;
    if (!UserTextToReal(inputs.massText, inputs.separator, mass) || !(mass > 0)) return false;
    int maxResults = 0;
    if (!UserTextToInt(inputs.maxResultsText, maxResults) || maxResults <= 1) return false;
    double ppm = 0;
    return UserTextToReal(inputs.ppmText, inputs.separator, ppm) && ppm > 0;
}

}  // namespace ionsift
