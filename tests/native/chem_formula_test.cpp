// Formula text in, element counts, Hill text and monoisotopic masses out.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/chem/formula.h"

namespace ionsift::chem {
namespace {

std::string Counts(const Formula& formula) {
    std::string text;
    for (const auto& [symbol, count] : formula.counts) {
        text += symbol + ":" + std::to_string(count) + " ";
    }
    return text;
}

TEST(ParseFormula, ReadsSymbolsCountsAndNestedGroups) {
    struct Case {
        const char* text;
        const char* counts;  // as Counts() writes them, symbols in byte order
    };
    const Case cases[] = {
        {"C6H12O6", "C:6 H:12 O:6 "},
        {"H2O", "H:2 O:1 "},
        {"NaCl", "Cl:1 Na:1 "},
        {"CO", "C:1 O:1 "},       // carbon monoxide, not cobalt
        {"Co", "Co:1 "},
        {"CH3CH2OH", "C:2 H:6 O:1 "},  // repeated symbols add up
        {"Ca3(PO4)2", "Ca:3 O:8 P:2 "},
        {"CH3(CH2)4CH3", "C:6 H:14 "},
        {"((CH3)3C)2O", "C:8 H:18 O:1 "},
        {"(H2O)", "H:2 O:1 "},          // a group without multiplier counts once
        {"K4(Fe(CN)6)", "C:6 Fe:1 K:4 N:6 "},
        {"C2D6O", "C:2 D:6 O:1 "},       // deuterium stays apart from hydrogen
        {"CHD3", "C:1 D:3 H:1 "},
        {"C1000000", "C:1000000 "},      // at the count limit
        {"(C1000)1000", "C:1000000 "},
        {"C1000000H1000000", "C:1000000 H:1000000 "},  // at the formula's limit
        {"U", "U:1 "},
    };
    for (const Case& c : cases) {
        const FormulaParse parse = ParseFormula(c.text);
        ASSERT_TRUE(parse.ok) << c.text << ": " << parse.errorReason;
        EXPECT_EQ(Counts(parse.formula), c.counts) << c.text;
    }
}

TEST(ParseFormula, NamesTheFaultyByteAndTheReason) {
    struct Case {
        std::string text;
        std::size_t position;
        const char* reason;
    };
    const Case cases[] = {
        {"", 0, "empty formula"},
        {"C6Xx2", 2, "unknown element Xx"},
        {"Q", 0, "unknown element Q"},
        {"CH4Tc", 3, "unknown element Tc"},  // no stable isotope, no representative composition
        {"c6h6", 0, "unexpected character 'c'"},
        {"C6 H6", 2, "unexpected byte 0x20"},
        {"C6H6+", 4, "unexpected character '+'"},
        {"C6[H6]", 2, "unexpected character '['"},
        {std::string("C6\0H6", 5), 2, "unexpected byte 0x00"},
        {"2H2O", 0, "count without an element before it"},
        {"C0", 1, "count of zero"},
        {"(CH2)0", 5, "count of zero"},
        {"C6H12)O6", 5, "')' without a matching '('"},
        {"Ca3(PO4", 3, "'(' is never closed"},
        {"((CH3)2", 0, "'(' is never closed"},
        {"C()", 2, "empty parentheses"},
        {"C1000001", 1, "count over 1000000"},
        {"C99999999999999999999999", 1, "count over 1000000"},
        {"C999999C2", 7, "more than 1000000 atoms of C"},
        {"(C1000)1001", 6, "more than 1000000 atoms of C"},
        {"((C100)100)101", 10, "more than 1000000 atoms of C"},
        {"C1000000H1000000O", 16, "more than 2000000 atoms in all"},
        {"(C400000H400000O400000)2", 22, "more than 2000000 atoms in all"},
    };
    for (const Case& c : cases) {
        const FormulaParse parse = ParseFormula(c.text);
        EXPECT_FALSE(parse.ok) << c.text;
        EXPECT_EQ(parse.errorPosition, c.position) << c.text;
        EXPECT_EQ(parse.errorReason, c.reason) << c.text;
        EXPECT_TRUE(parse.formula.Empty()) << c.text;
    }
}

TEST(ParseFormula, NestingIsBoundedWithoutRecursion) {
    const std::string deepest = std::string(kMaxFormulaDepth, '(') + "H" +
                                std::string(kMaxFormulaDepth, ')');
    EXPECT_TRUE(ParseFormula(deepest).ok);

    const std::string tooDeep = "H" + std::string(kMaxFormulaDepth + 1, '(') + "H" +
                                std::string(kMaxFormulaDepth + 1, ')');
    const FormulaParse parse = ParseFormula(tooDeep);
    EXPECT_FALSE(parse.ok);
    EXPECT_EQ(parse.errorPosition, 1u + kMaxFormulaDepth);
    EXPECT_EQ(parse.errorReason, "groups nested deeper than 32");

    // A hostile text of a million parentheses fails at the bound, not the stack.
    EXPECT_FALSE(ParseFormula(std::string(1000000, '(')).ok);
}

TEST(HillFormula, CarbonThenHydrogenThenAlphabetical) {
    struct Case {
        const char* text;
        const char* hill;
    };
    const Case cases[] = {
        {"C6H12O6", "C6H12O6"},
        {"CH3CH2OH", "C2H6O"},
        {"HOCH2CH3", "C2H6O"},
        {"ClCH2Cl", "CH2Cl2"},
        {"BrC6H5", "C6H5Br"},
        {"CDCl3", "CCl3D"},         // D is sorted as a symbol of its own
        {"CD3OD", "CD4O"},
        {"H2SO4", "H2O4S"},          // without carbon, all alphabetical, H included
        {"NaCl", "ClNa"},
        {"Ca3(PO4)2", "Ca3O8P2"},
        {"OC", "CO"},
        {"NH3", "H3N"},
        {"Na2B4O7", "B4Na2O7"},
        {"C", "C"},
    };
    for (const Case& c : cases) {
        const FormulaParse parse = ParseFormula(c.text);
        ASSERT_TRUE(parse.ok) << c.text;
        EXPECT_EQ(HillFormula(parse.formula), c.hill) << c.text;
    }
    // Hand-built formulas (as a structure reader makes them) skip empty elements.
    EXPECT_EQ(HillFormula(Formula{{{"C", 0}, {"H", 4}, {"N", 1}}}), "H4N");
    EXPECT_EQ(HillFormula(Formula{}), "");
}

TEST(MonoisotopicMass, AgreesWithPublishedValues) {
    // Monoisotopic masses as published for these compounds, rounded to 1e-6 Da.
    struct Case {
        const char* formula;
        double mass;
    };
    const Case cases[] = {
        {"C6H12O6", 180.063388},        // glucose
        {"H2O", 18.010565},
        {"CO2", 43.989829},
        {"C2H6O", 46.041865},            // ethanol
        {"C8H10N4O2", 194.080376},       // caffeine
        {"C9H8O4", 180.042259},          // acetylsalicylic acid
        {"C12H22O11", 342.116212},       // sucrose
        {"C8H9NO2", 151.063329},         // paracetamol
        {"C27H46O", 386.354866},         // cholesterol
        {"C10H16N5O13P3", 506.995745},   // ATP
        {"H2SO4", 97.967380},
        {"NaCl", 57.958622},
        {"C6H5Br", 155.957462},          // 79Br is the most abundant bromine
        {"CH2Cl2", 83.953355},
    };
    for (const Case& c : cases) {
        const FormulaParse parse = ParseFormula(c.formula);
        ASSERT_TRUE(parse.ok) << c.formula;
        EXPECT_NEAR(MonoisotopicMass(parse.formula), c.mass, 3e-6) << c.formula;
    }
}

TEST(MonoisotopicMass, UsesTheMostAbundantIsotopeNotTheLightest) {
    // 56Fe (91.754 %) rather than 54Fe; 80Se rather than 74Se; 2H for D.
    EXPECT_NEAR(MonoisotopicMass(ParseFormula("Fe2O3").formula),
                2 * 55.93493633 + 3 * 15.99491461957, 1e-9);
    EXPECT_NEAR(MonoisotopicMass(ParseFormula("Se").formula), 79.9165218, 1e-9);
    EXPECT_NEAR(MonoisotopicMass(ParseFormula("C2D6O").formula),
                24 + 6 * 2.01410177812 + 15.99491461957, 1e-9);
}

TEST(MonoisotopicMass, FormulasNotFromTheParserGiveNoNumber) {
    EXPECT_EQ(MonoisotopicMass(Formula{}), 0.0);
    EXPECT_TRUE(std::isnan(MonoisotopicMass(Formula{{{"C", 2}, {"Xx", 1}}})));
    EXPECT_TRUE(std::isnan(MonoisotopicMass(Formula{{{"C", -2}}})));
}

}  // namespace
}  // namespace ionsift::chem
