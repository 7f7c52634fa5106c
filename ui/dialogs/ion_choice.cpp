#include "ui/dialogs/ion_choice.h"

#include <algorithm>
#include <iterator>
#include <cstdio>

#include "shell/string_table.h"

namespace ionsift {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool Contains(const std::vector<std::string>& notations, const std::string& notation) {
    return std::find(notations.begin(), notations.end(), notation) != notations.end();
}

bool BuiltIn(const std::string& notation) { return IonIndex(notation) >= 0; }

// The text of each fault the parser reports, by string ID.
struct FaultText {
    IonNotationFault fault;
    int stringId;
};
constexpr FaultText kFaultTexts[] = {
    {IonNotationFault::Empty, 81},          {IonNotationFault::TooLong, 82},
    {IonNotationFault::NoOpeningBracket, 83}, {IonNotationFault::NoMolecule, 84},
    {IonNotationFault::BadMultiplier, 85},  {IonNotationFault::NoSign, 86},
    {IonNotationFault::NoGroup, 87},        {IonNotationFault::UnknownGroup, 88},
    {IonNotationFault::NoClosingBracket, 89}, {IonNotationFault::NoCharge, 90},
    {IonNotationFault::BadCharge, 91},      {IonNotationFault::TrailingText, 92},
    {IonNotationFault::TooManyAtoms, 94},
};
constexpr int kFaultAtCharacterId = 93;
constexpr int kUnknownGroupId = 88;

std::string Formatted(const char* format, const char* text, int number = 0) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, text, number);
    return buffer;
}

bool HasRepeats(const std::vector<std::string>& notations) {
    for (std::size_t i = 0; i < notations.size(); ++i) {
        if (std::find(notations.begin() + static_cast<std::ptrdiff_t>(i) + 1, notations.end(),
                      notations[i]) != notations.end()) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string JoinNotations(const std::vector<std::string>& notations) {
    std::string text;
    for (const std::string& notation : notations) {
        if (!text.empty()) text += kNotationSeparator;
        text += notation;
    }
    return text;
}

std::vector<std::string> SplitNotations(std::string_view text) {
    std::vector<std::string> notations;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(kNotationSeparator), text.size());
        notations.emplace_back(TrimBlanks(text.substr(0, end)));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    if (notations.size() == 1 && notations.front().empty()) notations.clear();
    return notations;
}

IonChoice IonChoiceFromSettings(std::string_view ion, std::string_view set, std::string_view own) {
    IonChoice choice;
    choice.own = SplitNotations(own);
    const bool ownDamaged =
        HasRepeats(choice.own) ||
        std::any_of(choice.own.begin(), choice.own.end(), [](const std::string& notation) {
            return notation.empty() || BuiltIn(notation) || !KnownIon(notation);
        });
    if (ownDamaged) choice.own.clear();

    const std::vector<std::string> several = SplitNotations(set);
    const bool setValid =
        several.size() > 1 && !HasRepeats(several) &&
        std::all_of(several.begin(), several.end(), [&choice](const std::string& notation) {
            return ResolveIon(notation, choice.own) != nullptr;
        });
    if (setValid) {
        choice.chosen = several;
    } else if (several.empty() && ResolveIon(std::string(TrimBlanks(ion)), choice.own)) {
        choice.chosen = {std::string(TrimBlanks(ion))};
    } else {
        choice.chosen = {NeutralIon().notation};
    }
    return choice;
}

IonSettingTexts IonChoiceSettings(const IonChoice& choice, const std::string& ionBefore) {
    IonSettingTexts texts;
    texts.own = JoinNotations(choice.own);
    if (choice.Several()) {
        texts.ion = ionBefore;
        texts.set = JoinNotations(choice.chosen);
    } else {
        texts.ion = choice.chosen.empty() ? NeutralIon().notation : choice.chosen.front();
    }
    return texts;
}

const Ion* ResolveIon(const std::string& notation, const std::vector<std::string>& own) {
    const int row = IonIndex(notation);
    if (row >= 0) return &IonTable()[row];
    return Contains(own, notation) ? KnownIon(notation) : nullptr;
}

NewIonCheck CheckNewIon(const std::string& notation, const std::vector<std::string>& own,
                        std::string& message) {
    message.clear();
    if (BuiltIn(notation) || Contains(own, notation)) return NewIonCheck::Present;
    Ion ion;
    IonNotationProblem problem;
    if (ParseIonNotation(notation, ion, problem)) return NewIonCheck::Valid;
    message = IonNotationText(problem);
    return NewIonCheck::Invalid;
}

std::string IonNotationText(const IonNotationProblem& problem) {
    const auto text = std::find_if(std::begin(kFaultTexts), std::end(kFaultTexts),
                                   [&problem](const FaultText& row) { return row.fault == problem.fault; });
    if (text == std::end(kFaultTexts)) return {};
    const int id = text->stringId;
    const std::string what = id == kUnknownGroupId ? Formatted(LocFormat(id), problem.part.c_str())
                                                   : std::string(LocString(id));
    if (problem.fault == IonNotationFault::Empty || problem.fault == IonNotationFault::TooLong) {
        return what;
    }
    return Formatted(LocFormat(kFaultAtCharacterId), what.c_str(),
                     static_cast<int>(problem.position) + 1);
}

std::vector<IonEntry> IonSelectorEntries(const IonChoice& choice) {
    std::vector<IonEntry> entries;
    for (const Ion& ion : IonTable()) entries.push_back({IonEntryKind::Ion, ion.notation});
    for (const std::string& notation : choice.own) entries.push_back({IonEntryKind::Ion, notation});
    if (choice.Several()) entries.push_back({IonEntryKind::Several, {}});
    entries.push_back({IonEntryKind::Dialog, {}});
    return entries;
}

int ChoiceEntryIndex(const std::vector<IonEntry>& entries, const IonChoice& choice) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IonEntry& entry = entries[i];
        const bool shows = choice.Several()
                               ? entry.kind == IonEntryKind::Several
                               : entry.kind == IonEntryKind::Ion && !choice.chosen.empty() &&
                                     entry.notation == choice.chosen.front();
        if (shows) return static_cast<int>(i);
    }
    return 0;
}

}  // namespace ionsift
