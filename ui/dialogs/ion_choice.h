// The ions the tool window searches for, as its selector and the Ions
// dialog choose them and the settings keep them: the user's own notations
// and the chosen set (the neutral molecule, one ion, or several).
//
//   ION=[M+Na]+                      one ion
//   IONSET=[M+H]+;[M+Na]+;[M+K]+    several (then ION is left as it was)
//   USERIONS=[M+C2H5OH+H]+           the user's own notations
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ions/ion_notation.h"
#include "ions/ion_table.h"

namespace ionsift {

constexpr char kNotationSeparator = ';';

struct IonChoice {
    std::vector<std::string> own;     // the user's own notations, in the order added
    std::vector<std::string> chosen;  // searched: {"M"} for the neutral molecule
    bool Several() const { return chosen.size() > 1; }
};

std::string JoinNotations(const std::vector<std::string>& notations);
// Blanks around a notation are dropped; an empty text gives none.
std::vector<std::string> SplitNotations(std::string_view text);

// The ion a notation names: a row of the built-in table, or, for one of
// `own`, the ion the notation describes (KnownIon). Null when it names none.
const Ion* ResolveIon(const std::string& notation, const std::vector<std::string>& own);

// The settings' three texts read as a choice. Own notations that are no
// ion, repeated or built in, damage the list: none is kept. A set with a
// notation that names no ion, or one ion twice, is damaged: the neutral
// molecule is searched, as when ION names no ion.
IonChoice IonChoiceFromSettings(std::string_view ion, std::string_view set, std::string_view own);

// What the settings hold for a choice: ION the single ion (unchanged from
// `ionBefore` while several are chosen), IONSET the several ("" for one),
// USERIONS the user's own.
struct IonSettingTexts {
    std::string ion, set, own;
};
IonSettingTexts IonChoiceSettings(const IonChoice& choice, const std::string& ionBefore);

// Whether a typed notation can become one of the user's own.
enum class NewIonCheck {
    Valid,     // an ion, neither built in nor among `own`
    Invalid,   // no ion: `message` says why, in the user's language
    Present,   // built in or among `own` already
};
NewIonCheck CheckNewIon(const std::string& notation, const std::vector<std::string>& own,
                        std::string& message);

// The parser's verdict on a notation in the user's language:
//   "[M+Xy]+" -> unknown group "Xy" at character 4
std::string IonNotationText(const IonNotationProblem& problem);

// The entries of the ion selector, in order: the neutral molecule, the
// built-in table, the user's own ions, "k ions" while several are chosen,
// and last the entry that opens the Ions dialog.
enum class IonEntryKind { Ion, Several, Dialog };
struct IonEntry {
    IonEntryKind kind;
    std::string notation;  // Ion entries only
};
std::vector<IonEntry> IonSelectorEntries(const IonChoice& choice);
// The entry that shows the choice: its ion's, or "k ions".
int ChoiceEntryIndex(const std::vector<IonEntry>& entries, const IonChoice& choice);

}  // namespace ionsift
