// The ion notation chemists write, read into an Ion:
//
//   [nM(+|-k group)...]z(+|-)      e.g. [M+H]+, [2M+ACN+H]+, [M+H-2H2O]+, [M-3H]3-, [M]+
//
// n and k are 1 when left out (at most kMaxIonMultiplier); z is 1 when left
// out (at most kMaxIonCharge). A group is an element formula of the isotope
// table's symbols ("H", "Na", "H2O", "NH4", "HCOO") or a named group
// (IonGroupNames: ACN, FA, HAc or Hac, TFA, MeOH, IsoProp, DMSO; a name wins
// over the same letters read as symbols). "M" alone is the neutral molecule.
// No blanks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ions/ion_table.h"

namespace ionsift {

// Longer input is refused unread.
constexpr std::size_t kMaxIonNotationLength = 64;
constexpr int kMaxIonMultiplier = 99;  // n, k
constexpr int kMaxIonCharge = 9;       // |z|

// What is wrong with a notation, for a message in the user's language.
enum class IonNotationFault {
    None,
    Empty,               // nothing typed
    TooLong,             // over kMaxIonNotationLength characters
    NoOpeningBracket,    // not "[" at the start (and not "M")
    NoMolecule,          // no "M" (after the multiplier)
    BadMultiplier,       // n or k is 0, starts with 0 or is over kMaxIonMultiplier
    NoSign,              // neither "+", "-" nor "]" after M or a group
    NoGroup,             // a sign with no group after it
    UnknownGroup,        // neither an element formula of known symbols nor a named group
    TooManyAtoms,        // over 9999999 atoms of an element added or taken
    NoClosingBracket,    // the input ends before "]"
    NoCharge,            // nothing (or no sign) after "]": an ion has a charge
    BadCharge,           // z is 0, starts with 0 or is over kMaxIonCharge
    TrailingText,        // characters after the charge's sign
};

struct IonNotationProblem {
    IonNotationFault fault = IonNotationFault::None;
    std::size_t position = 0;  // 0-based character where the fault is
    std::string part;          // the offending text ("Xy" for an unknown group); may be empty
};

// True with `ion` set, or false with `problem` set (and `ion` unchanged).
// O(length); input over kMaxIonNotationLength is refused before reading.
bool ParseIonNotation(std::string_view text, Ion& ion, IonNotationProblem& problem);

// The problem in English, for the command line and logs:
//   unknown group "Xy" at character 5 of "[M+Xy]+"
std::string IonNotationMessage(std::string_view text, const IonNotationProblem& problem);

struct NamedIonGroup {
    const char* name;     // "ACN"
    const char* formula;  // "C2H3N"
};
struct NamedIonGroups {
    const NamedIonGroup* first;
    std::size_t count;
    const NamedIonGroup* begin() const { return first; }
    const NamedIonGroup* end() const { return first + count; }
};
NamedIonGroups IonGroupNames();

}  // namespace ionsift
