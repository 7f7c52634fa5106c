#include "text/letter_case_win.h"

#include <windows.h>

#include "text/letter_case.h"

namespace ionsift {

void ReadAnsiUpperCase() {
    UpperCaseTable table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        const char original = static_cast<char>(byte);
        char upper = original;
        CharUpperBuffA(&upper, 1);
        char back = upper;
        CharLowerBuffA(&back, 1);
        // A letter whose upper case the code page lacks (the micro sign's is
        // Greek) may come back as a look-alike: it keeps no upper case then.
        table[byte] = static_cast<unsigned char>(back == original ? upper : original);
    }
    SetAnsiUpperCase(table);
}

}  // namespace ionsift
