// When the main tool window's Search button is enabled.
#pragma once

#include <string_view>

namespace ionsift {

struct SearchInputs {
    std::string_view dbHandle;        // empty: no database open
    std::string_view massText;        // as typed, in the user's separator
    std::string_view maxResultsText;
    std::string_view ppmText;
    int databaseIndex = 0;            // selected selector entry; 0 is the prompt
    char separator = '.';
};

// True exactly when, tested in this order: a database is open; the three
// texts are non-empty; an entry other than the prompt is selected; the mass
// converts to a real above 0; the maximum converts to an integer above 1 (a
// maximum of 1 leaves the search disabled); the tolerance converts to a real
// above 0. A text that does not convert counts as false.
bool SearchEnabled(const SearchInputs& inputs);

}  // namespace ionsift
