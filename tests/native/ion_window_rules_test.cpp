// The tool window's portable rules for searching several ions: the rows of
// the per-ion queries merged, the selector's entries, the choice as the
// settings keep it, the notation typed into the Ions dialog, the Ions
// dialog's description and the self-describing table copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/copy_table.h"
#include "resources/dlg_ions_ids.h"
#include "search/merged_results.h"
#include "search/results_answer.h"
#include "ui/dialogs/dlg_ions_form.h"
#include "ui/dialogs/ion_choice.h"
#include "ui/dialogs/row_ion_cells.h"
#include "ui/form/form_check.h"

namespace ionsift {
namespace {

ResultPart PartOf(const char* answer) {
    ResultPart part;
    AnswerCounts counts;
    EXPECT_EQ(ReadResultsAnswer(answer, '.', part.ids, part.rows, counts), AnswerReading::Read);
    part.newlines = counts.newlines;
    return part;
}

TEST(MergeResultParts, RowsByMassThenPartEachKeepingItsSlotTextAndTag) {
    std::vector<ResultPart> parts;
    parts.push_back(PartOf("31;180.063388;C6H12O6;glucose\n5;78.04695;C6H6;benzene\n"));
    parts.push_back(PartOf(""));  // an ion whose window found nothing
    parts.push_back(PartOf("31;180.063388;C6H12O6;glucose\n7;18.010565;H2O;water\n"));
    RowIdTable ids;
    ResultRows rows;
    SlotTags tags;
    MergeResultParts(parts, '.', ids, rows, tags);
    EXPECT_TRUE(parts.empty());
    ASSERT_EQ(ids, (RowIdTable{31, 5, 31, 7}));
    EXPECT_EQ(tags, (SlotTags{0, 0, 2, 2}));
    struct Expected {
        const char* name;
        std::size_t slot;
    };
    // Glucose is found as two ions: two rows, the first part's first.
    const Expected expected[] = {{"water", 3}, {"benzene", 1}, {"glucose", 0}, {"glucose", 2}};
    ASSERT_EQ(rows.rows.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_STREQ(rows.rows[i].cells[kNameColumn], expected[i].name) << i;
        EXPECT_EQ(rows.rows[i].id, ids.data() + expected[i].slot) << i;
    }
    // The answers' copies outlive their parts.
    EXPECT_STREQ(rows.rows[0].cells[kMassColumn], "18.010565");
    rows.Clear();
    EXPECT_TRUE(rows.moreTexts.empty());
}

TEST(IonChoice, SettingsTextsReadAsAChoiceAndDamagedOnesAsTheNeutralMolecule) {
    struct Case {
        const char* ion;
        const char* set;
        const char* own;
        std::vector<std::string> chosen;
        std::vector<std::string> ownKept;
    };
    const std::vector<std::string> none;
    const std::vector<std::string> neutral = {"M"};
    const Case cases[] = {
        {"M", "", "", neutral, none},
        {"[M+K]+", "", "", {"[M+K]+"}, none},
        {"[M+Xy]+", "", "", neutral, none},                                    // no ion
        {"[M+H]+", "[M+H]+;[M+Na]+", "", {"[M+H]+", "[M+Na]+"}, none},
        {"[M+H]+", " [M+H]+ ; [M-H]- ", "", {"[M+H]+", "[M-H]-"}, none},     // blanks
        {"[M+H]+", "[M+H]+;[M+Q]+", "", neutral, none},                        // damaged set
        {"[M+H]+", "[M+H]+;[M+H]+", "", neutral, none},                        // one ion twice
        {"[M+H]+", "[M+H]+", "", neutral, none},                               // one is no set
        {"[M+C2H5OH+H]+", "", "[M+C2H5OH+H]+", {"[M+C2H5OH+H]+"}, {"[M+C2H5OH+H]+"}},
        {"[M+C2H5OH+H]+", "", "", neutral, none},                              // not the user's
        {"M", "[M+H]+;[M+C2H5OH+H]+", "[M+C2H5OH+H]+;[M+3Na]3+",
         {"[M+H]+", "[M+C2H5OH+H]+"}, {"[M+C2H5OH+H]+", "[M+3Na]3+"}},
        {"M", "", "[M+C2H5OH+H]+;[M+", neutral, none},                         // damaged own list
        {"M", "", "[M+H]+", neutral, none},                                    // built in
    };
    for (const Case& c : cases) {
        const IonChoice choice = IonChoiceFromSettings(c.ion, c.set, c.own);
        EXPECT_EQ(choice.chosen, c.chosen) << c.ion << " | " << c.set << " | " << c.own;
        EXPECT_EQ(choice.own, c.ownKept) << c.own;
        // What is read is written back as it was read.
        const IonSettingTexts texts = IonChoiceSettings(choice, c.ion);
        EXPECT_EQ(IonChoiceFromSettings(texts.ion, texts.set, texts.own).chosen, c.chosen);
    }
    IonChoice several{{"[M+3Na]3+"}, {"[M+H]+", "[M+3Na]3+"}};
    const IonSettingTexts texts = IonChoiceSettings(several, "[M+K]+");
    EXPECT_EQ(texts.ion, "[M+K]+") << "kept while several are chosen";
    EXPECT_EQ(texts.set, "[M+H]+;[M+3Na]3+");
    EXPECT_EQ(texts.own, "[M+3Na]3+");
    several.chosen = {"[M+Na]+"};
    EXPECT_EQ(IonChoiceSettings(several, "[M+K]+").set, "");
    EXPECT_EQ(IonChoiceSettings(several, "[M+K]+").ion, "[M+Na]+");
}

TEST(IonChoice, TheSelectorListsNeutralTheTableOwnIonsThenTheSetAndTheDialog) {
    const int table = IonTable().count;
    IonChoice choice{{"[M+3Na]3+"}, {"[M+3Na]3+"}};
    std::vector<IonEntry> entries = IonSelectorEntries(choice);
    ASSERT_EQ(static_cast<int>(entries.size()), table + 2);
    EXPECT_EQ(entries[0].notation, "M");
    EXPECT_EQ(entries[1].notation, "[M]+");
    EXPECT_EQ(entries[static_cast<std::size_t>(table)].notation, "[M+3Na]3+");
    EXPECT_EQ(entries.back().kind, IonEntryKind::Dialog);
    EXPECT_EQ(ChoiceEntryIndex(entries, choice), table);

    choice.chosen = {"[M+H]+", "[M-H]-"};
    entries = IonSelectorEntries(choice);
    ASSERT_EQ(static_cast<int>(entries.size()), table + 3);
    EXPECT_EQ(entries[static_cast<std::size_t>(table) + 1].kind, IonEntryKind::Several);
    EXPECT_EQ(ChoiceEntryIndex(entries, choice), table + 1);
    choice.chosen = {"[M+Na]+"};
    EXPECT_EQ(IonSelectorEntries(choice)[static_cast<std::size_t>(ChoiceEntryIndex(IonSelectorEntries(choice), choice))].notation,
              "[M+Na]+");
}

TEST(IonChoice, ATypedNotationIsNewValidOrSaysWhatIsWrongAndWhere) {
    struct Case {
        const char* typed;
        NewIonCheck check;
        const char* message;
    };
    const Case cases[] = {
        {"[M+C2H5OH+H]+", NewIonCheck::Valid, ""},
        {"[M+Na]+", NewIonCheck::Present, ""},
        {"[M+3Na]3+", NewIonCheck::Present, ""},  // the user's already
        {"M", NewIonCheck::Present, ""},
        {"", NewIonCheck::Invalid, "nothing typed"},
        {"[M+Xy]+", NewIonCheck::Invalid, "unknown group \"Xy\" at character 4"},
        {"M+H]+", NewIonCheck::Invalid, "no \"[\" at the start at character 1"},
        {"[M+H+]+", NewIonCheck::Invalid, "no group after the sign at character 6"},
        {"[M+H]+x", NewIonCheck::Invalid, "text after the charge at character 7"},
    };
    for (const Case& c : cases) {
        std::string message;
        EXPECT_EQ(CheckNewIon(c.typed, {"[M+3Na]3+"}, message), c.check) << c.typed;
        EXPECT_EQ(message, c.message) << c.typed;
    }
}

TEST(IonsDialog, DescriptionIsConsistentWithTwoCheckListsAndOkAsDefault) {
    const FormDescription& form = DlgIonsForm();
    EXPECT_EQ(FormDescriptionProblem(form), "");
    EXPECT_FALSE(form.resizable);
    int checkLists = 0, defaults = 0;
    for (int i = 0; i < form.controlCount; ++i) {
        const ControlRow& row = form.controls[i];
        EXPECT_LE(row.rect.Right(), form.clientWidth) << row.name;
        EXPECT_LE(row.rect.Bottom(), form.clientHeight) << row.name;
        if (row.options & kCheckBoxes) ++checkLists;
        if (row.options & kDefaultButton) EXPECT_EQ(row.id, dlg_ions::BT_Ok);
        defaults += (row.options & kDefaultButton) != 0;
    }
    EXPECT_EQ(checkLists, 2);
    EXPECT_EQ(defaults, 1);
}

TEST(CopyTable, TitlesThenRowsTabSeparatedCrLfAndRowsDescribeTheirIon) {
    const std::vector<std::vector<std::string>> cells = {{"180.063388", "[M+Na]+"}, {"78.04695", ""}};
    const std::string command = CopyTableCommand(
        {"Mass", "Ion"}, cells.size(), [&](std::size_t row, std::size_t column) { return cells[row][column]; });
    EXPECT_EQ(command, "CopyText \"Mass\tIon\r\n180.063388\t[M+Na]+\r\n78.04695\t\r\n\"");

    struct Case {
        const char* mass;
        const char* formula;
        const char* ion;
        double measured;
        char separator;
        RowIonCells expected;
    };
    // m/z = (n M + added - removed - z me) / |z|, from NIST masses:
    // Na 22.9897692820, H 1.00782503223, me 0.000548579909.
    const Case cases[] = {
        {"180.063388", "C6H12O6", "[M+Na]+", 203.0526, '.', {"C6H12NaO6", "203.052609", "203.052600"}},
        {"180,063388", "C6H12O6", "[M+2H]2+", 91.039, ',', {"C6H14O6", "91,038970", "91,039000"}},
        {"180.063388", "C6H12O6", "M", 180.0634, '.', {"C6H12O6", "180.063388", "180.063400"}},
        {"153.823", "CCl4", "[M-H]-", 152.8, '.', {"", "152.815724", "152.800000"}},  // no H to lose
        {"n/a", "C6H12O6", "[M+Na]+", 1, '.', {"C6H12NaO6", "", "1.000000"}},
    };
    for (const Case& c : cases) {
        const Ion* ion = KnownIon(c.ion);
        ASSERT_NE(ion, nullptr) << c.ion;
        const RowIonCells got = DescribeRowIon(c.mass, c.formula, *ion, c.measured, c.separator);
        EXPECT_EQ(got.formula, c.expected.formula) << c.ion;
        EXPECT_EQ(got.mzCalculated, c.expected.mzCalculated) << c.ion;
        EXPECT_EQ(got.mzMeasured, c.expected.mzMeasured) << c.ion;
    }
}

}  // namespace
}  // namespace ionsift
