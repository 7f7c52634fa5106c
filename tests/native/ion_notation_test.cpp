// The ion notation read into ions, with the fault of every refused one, and
// database formulas expanded (brackets, charges) into their elements.
#include <gtest/gtest.h>

#include <string>

#include "ions/condensed_formula.h"
#include "ions/ion_formula.h"
#include "ions/ion_notation.h"
#include "ions/ion_table.h"

namespace ionsift {
namespace {

TEST(IonNotation, ValidAndInvalidNotations) {
    using F = IonNotationFault;
    const struct {
        const char* text;
        F fault;
        std::size_t position;   // of the fault
        int n, charge;          // of a valid one
        const char* added;      // Hill formulas
        const char* removed;
    } cases[] = {
        {"M", F::None, 0, 1, 0, "", ""},
        {"[M+H]+", F::None, 0, 1, 1, "H", ""},
        {"[M]+", F::None, 0, 1, 1, "", ""},
        {"[M]-", F::None, 0, 1, -1, "", ""},
        {"[2M+ACN+H]+", F::None, 0, 2, 1, "C2H4N", ""},
        {"[M+H-2H2O]+", F::None, 0, 1, 1, "H", "H4O2"},
        {"[M-3H]3-", F::None, 0, 1, -3, "", "H3"},
        {"[M+CH3COO]-", F::None, 0, 1, -1, "C2H3O2", ""},
        {"[M+HAc-H]-", F::None, 0, 1, -1, "C2H4O2", "H"},        // the name, not H and actinium
        {"[M+FA+TFA+MeOH+Li]+", F::None, 0, 1, 1, "C4H7F3LiO5", ""},
        {"[M+IsoProp+DMSO+Hac+H]+", F::None, 0, 1, 1, "C7H19O4S", ""},
        {"[3M+2Na+Br-H]2+", F::None, 0, 3, 2, "BrNa2", "H"},
        {"[10M+99H]9+", F::None, 0, 10, 9, "H99", ""},
        {"", F::Empty, 0, 0, 0, "", ""},
        {"[M+HHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHH]+", F::TooLong, 64, 0, 0, "", ""},
        {"M+H", F::NoOpeningBracket, 0, 0, 0, "", ""},
        {" [M+H]+", F::NoOpeningBracket, 0, 0, 0, "", ""},
        {"[X+H]+", F::NoMolecule, 1, 0, 0, "", ""},
        {"[0M+H]+", F::BadMultiplier, 1, 0, 0, "", ""},
        {"[100M+H]+", F::BadMultiplier, 1, 0, 0, "", ""},
        {"[M+02H]+", F::BadMultiplier, 3, 0, 0, "", ""},
        {"[M*H]+", F::NoSign, 2, 0, 0, "", ""},
        {"[M+]+", F::NoGroup, 3, 0, 0, "", ""},
        {"[M+H+]+", F::NoGroup, 5, 0, 0, "", ""},
        {"[M+Xy]+", F::UnknownGroup, 3, 0, 0, "", ""},
        {"[M+acn+H]+", F::UnknownGroup, 3, 0, 0, "", ""},
        {"[M+H 2O]+", F::UnknownGroup, 3, 0, 0, "", ""},
        {"[M+H0]+", F::UnknownGroup, 3, 0, 0, "", ""},
        {"[M+99H9999999]+", F::TooManyAtoms, 5, 0, 0, "", ""},
        {"[M+H", F::NoClosingBracket, 4, 0, 0, "", ""},
        {"[M+H]", F::NoCharge, 5, 0, 0, "", ""},
        {"[M+H]2", F::NoCharge, 5, 0, 0, "", ""},
        {"[M+H]0+", F::BadCharge, 5, 0, 0, "", ""},
        {"[M+H]10+", F::BadCharge, 5, 0, 0, "", ""},
        {"[M+H]+ ", F::TrailingText, 6, 0, 0, "", ""},
        {"[M+H]+-", F::TrailingText, 6, 0, 0, "", ""},
    };
    for (const auto& c : cases) {
        Ion ion;
        IonNotationProblem problem;
        const bool valid = ParseIonNotation(c.text, ion, problem);
        EXPECT_EQ(valid, c.fault == F::None) << c.text;
        if (!valid) {
            EXPECT_EQ(problem.fault, c.fault) << c.text;
            EXPECT_EQ(problem.position, c.position) << c.text;
            continue;
        }
        EXPECT_STREQ(ion.notation, c.text);
        EXPECT_EQ(ion.molecules, c.n) << c.text;
        EXPECT_EQ(ion.charge, c.charge) << c.text;
        EXPECT_STREQ(ion.added, c.added) << c.text;
        EXPECT_STREQ(ion.removed, c.removed) << c.text;
    }
}

TEST(IonNotation, MessagesNameTheFaultAndWhere) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"[M+Xy]+", "unknown group \"Xy\" (an element formula such as H2O or NH4, or a name such as ACN, FA, TFA) "
                    "at character 4 of \"[M+Xy]+\""},
        {"[M+H]", "charge expected after \"]\" (as in ]+, ]2+, ]-) at character 6 of \"[M+H]\""},
        {"", "no ion given"},
    };
    for (const auto& c : cases) {
        Ion ion;
        IonNotationProblem problem;
        ASSERT_FALSE(ParseIonNotation(c.text, ion, problem));
        EXPECT_EQ(IonNotationMessage(c.text, problem), c.message);
    }
}

TEST(IonNotation, UserIonsWorkLikeBuiltInOnesAndLiveOn) {
    // Lithium and fluorine come from the isotope table, not a short list.
    const Ion* own = KnownIon("[M+2Li-H+HF]+");
    ASSERT_NE(own, nullptr);
    // glucose C6H12O6 180.0633881022 + 2 Li 7.0160034366 + F 18.99840316273 - e.
    EXPECT_NEAR(static_cast<double>(IonMz(180.0633881022, *own)),
                180.0633881022 + 2 * 7.0160034366 + 18.99840316273 - 0.000548579909, 1e-9);
    std::string formula;
    EXPECT_EQ(IsoDistFormula("C6H12O6", *own, formula), IonFormulaOutcome::Formula);
    EXPECT_EQ(formula, "C6H12FLi2O6");
    EXPECT_EQ(KnownIon("[M+2Li-H+HF]+"), own);  // kept once
    EXPECT_EQ(KnownIon("[M+H]+"), &IonTable()[IonIndex("[M+H]+")]);
    EXPECT_EQ(KnownIon("[M+H"), nullptr);
    // A copy keeps its texts after the original is gone.
    Ion copy;
    {
        Ion parsed;
        IonNotationProblem problem;
        ASSERT_TRUE(ParseIonNotation("[M+Br]-", parsed, problem));
        copy = parsed;
    }
    EXPECT_STREQ(copy.notation, "[M+Br]-");
    EXPECT_STREQ(copy.added, "Br");
}

TEST(CondensedFormula, BracketsAndChargesExpandIntoElements) {
    const struct {
        const char* text;
        const char* hill;  // nullptr: refused
        int charge;
    } cases[] = {
        {"C6H12O6", "C6H12O6", 0},
        {"CH3(CH2)4CH3", "C6H14", 0},
        {"Ca3(PO4)2", "Ca3O8P2", 0},
        {"C2H5(C6H4(OH))2", "C14H15O2", 0},
        {"K4[Fe(CN)6]", "C6FeK4N6", 0},
        {"C5H14NO+", "C5H14NO", 1},
        {"[C5H14NO]+", "C5H14NO", 1},
        {"C2H6N2+", "C2H6N2", 1},        // N2, one charge
        {"C10H14N2+2", "C10H14N2", 2},
        {"C10H14N2++", "C10H14N2", 2},
        {"[SO4]2-", "O4S", -2},
        {"[Fe(CN)6]3-", "C6FeN6", -3},
        {"C3H3O2-", "C3H3O2", -1},
        {" C6H12O6\r\n", "C6H12O6", 0},
        {"C6 H12 O6", "C6H12O6", 0},
        {"D2O", "D2O", 0},
        {"", nullptr, 0},
        {"+", nullptr, 0},
        {"C6H12O6; DbClose", nullptr, 0},
        {"Ca3(PO4", nullptr, 0},
        {"Ca3PO4)2", nullptr, 0},
        {"()", nullptr, 0},
        {"(CH2)0", nullptr, 0},
        {"C0H4", nullptr, 0},
        {"Xx2", nullptr, 0},
        {"c6h12o6", nullptr, 0},
        {"C 6H12", nullptr, 0},
        {"(H9999999)2", nullptr, 0},
        {"[SO4]0-", nullptr, 0},
        {"C6H12O6+100", nullptr, 0},
        {"((((((((((((((((((H))))))))))))))))))", nullptr, 0},  // 18 deep
    };
    for (const auto& c : cases) {
        ExpandedFormula formula;
        const bool expanded = ExpandFormula(c.text, formula);
        EXPECT_EQ(expanded, c.hill != nullptr) << c.text;
        if (!expanded || !c.hill) continue;
        EXPECT_EQ(HillFormula(formula.counts), c.hill) << c.text;
        EXPECT_EQ(formula.charge, c.charge) << c.text;
    }
    ExpandedFormula formula;
    EXPECT_FALSE(ExpandFormula(std::string(kMaxCondensedFormulaLength + 1, 'H'), formula));
}

}  // namespace
}  // namespace ionsift
