// Shapes text for the one-line rows of the host's command log.
#pragma once

#include <string>

namespace ionsift::host {

// CR LF, lone CR and lone LF each become the two characters "\n", so a
// multi-line answer stays on its row.
std::string EscapeLineBreaks(const std::string& text);

}  // namespace ionsift::host
