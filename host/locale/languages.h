// The languages the localization library knows, by the names the host passes.
#pragma once

namespace ionsift::locale {

// Canonical name (also the catalog folder name) of a language name or alias,
// compared without regard to ASCII case; nullptr when the language is unknown.
const char* CanonicalLanguage(const char* name);

}  // namespace ionsift::locale
