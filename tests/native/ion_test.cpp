// Ions: m/z from a neutral mass and back against the host's isotope table,
// the ion's formula, its search window, the error text, and the ranking by
// isotope fit through a recording host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/chem/formula.h"
#include "ions/ion_cells.h"
#include "ions/ion_formula.h"
#include "ions/ion_ranking.h"
#include "ions/ion_table.h"
#include "ions/ion_window.h"
#include "shell/host_numbers.h"
#include "tests/native/recording_host.h"

namespace ionsift {
namespace {

constexpr double kElectron = 0.000548579909;  // Da

// The host's monoisotopic mass of a formula.
double HostMass(const char* formula) {
    if (!*formula) return 0.0;
    const chem::FormulaParse parse = chem::ParseFormula(formula);
    EXPECT_TRUE(parse.ok) << formula;
    return chem::MonoisotopicMass(parse.formula);
}

const Ion& IonNamed(const char* notation) {
    const int index = IonIndex(notation);
    EXPECT_GE(index, 0) << notation;
    return IonTable()[index < 0 ? 0 : index];
}

// Every ion as a chemist writes it: what it adds, what it takes, its charge.
struct IonCase {
    const char* notation;
    const char* added;
    const char* removed;
    int charge;
};
const IonCase kIonCases[] = {
    {"[M+H]+", "H", "", 1},      {"[M+Na]+", "Na", "", 1},   {"[M+K]+", "K", "", 1},
    {"[M+NH4]+", "NH4", "", 1},  {"[M+2H]2+", "H2", "", 2},  {"[M-H]-", "", "H", -1},
    {"[M+Cl]-", "Cl", "", -1},   {"[M+HCOO]-", "HCOO", "", -1},
};

TEST(IonTable, ListsTheNeutralMoleculeThenTheEightIonsInOrder) {
    std::vector<std::string> notations;
    for (const Ion& ion : IonTable()) notations.push_back(ion.notation);
    std::vector<std::string> expected = {"M"};
    for (const IonCase& c : kIonCases) expected.push_back(c.notation);
    EXPECT_EQ(notations, expected);
    EXPECT_TRUE(IsNeutral(IonTable()[0]));
    EXPECT_EQ(IonIndex("[m+na]+"), -1);
    EXPECT_EQ(IonIndex(""), -1);
}

TEST(IonTable, MzAndBackAgreeWithTheHostsIsotopeMasses) {
    // The adducts' atoms weigh what the host's table says, and m/z follows
    // (M + added - removed - z me) / |z| for light and heavy molecules.
    for (const IonCase& c : kIonCases) {
        const Ion& ion = IonNamed(c.notation);
        EXPECT_EQ(ion.charge, c.charge) << c.notation;
        const double added = HostMass(c.added), removed = HostMass(c.removed);
        EXPECT_NEAR(static_cast<double>(AtomsMass(ion.added)), added, 1e-9) << c.notation;
        EXPECT_NEAR(static_cast<double>(AtomsMass(ion.removed)), removed, 1e-9) << c.notation;
        for (const char* molecule : {"C6H12O6", "C2H6O", "C55H72MgN4O5", "C254H377N65O75S6"}) {
            const double neutral = HostMass(molecule);
            const double expected = (neutral + added - removed - c.charge * kElectron) /
                                    std::abs(c.charge);
            const long double mz = IonMz(neutral, ion);
            EXPECT_NEAR(static_cast<double>(mz), expected, 1e-9) << c.notation << " " << molecule;
            EXPECT_NEAR(static_cast<double>(IonNeutral(mz, ion)), neutral, 1e-9);
        }
    }
    const double glucose = HostMass("C6H12O6");
    EXPECT_EQ(FormatFixed(static_cast<double>(IonMz(glucose, IonNamed("[M+H]+"))), 6), "181.070665");
    EXPECT_EQ(FormatFixed(static_cast<double>(IonMz(glucose, IonNamed("[M+Na]+"))), 6), "203.052609");
    EXPECT_EQ(IonMz(glucose, NeutralIon()), static_cast<long double>(glucose));
    // A stick of the ion's distribution: its electrons off, then per charge.
    EXPECT_DOUBLE_EQ(StickMz(400.0, IonNamed("[M+2H]2+")), (400.0 - 2 * kElectron) / 2);
    EXPECT_DOUBLE_EQ(StickMz(179.0, IonNamed("[M-H]-")), 179.0 + kElectron);
    EXPECT_EQ(StickMz(179.0, NeutralIon()), 179.0);
}

TEST(IonWindow, NeutralIsTheMassWindowAndIonsTurnTheirMzBoundsIntoNeutralMasses) {
    const MassWindow neutral = IonMassWindow(500.0, 2.0, NeutralIon());
    const MassWindow plain = MassWindowAround(500.0, MassTolerance(500.0, 2.0));
    EXPECT_EQ(neutral.lower, plain.lower);
    EXPECT_EQ(neutral.upper, plain.upper);

    // 203.052609 +- 5 ppm (1.015263 mDa), less Na, plus an electron.
    const MassWindow sodium = IonMassWindow(203.052609, 5.0, IonNamed("[M+Na]+"));
    EXPECT_EQ(FormatFixed(sodium.lower, 6), "180.062373");
    EXPECT_EQ(FormatFixed(sodium.upper, 6), "180.064404");
    // Doubly charged: twice the m/z, less two protons.
    const MassWindow twice = IonMassWindow(91.038971, 2.0, IonNamed("[M+2H]2+"));
    EXPECT_NEAR(twice.lower, (91.038971 - 91.038971 * 2e-6) * 2 - 2 * 1.00727646, 1e-7);
    EXPECT_TRUE(WindowHoldsMasses(sodium));
    // Sodium alone weighs 23: an m/z of 20 as [M+Na]+ is no molecule.
    EXPECT_FALSE(WindowHoldsMasses(IonMassWindow(20.0, 5.0, IonNamed("[M+Na]+"))));
}

TEST(IonFormula, AddsAndRemovesAtomsInHillOrderAndRefusesWhatItCannotTakeApart) {
    struct Case {
        const char* molecule;
        const char* ion;
        IonFormulaOutcome outcome;
        const char* formula;
    };
    const Case cases[] = {
        {"C6H12O6", "[M+Na]+", IonFormulaOutcome::Formula, "C6H12NaO6"},
        {"C6H12O6", "[M-H]-", IonFormulaOutcome::Formula, "C6H11O6"},
        {"C6H12O6", "[M+NH4]+", IonFormulaOutcome::Formula, "C6H16NO6"},
        {"C6H12O6", "[M+HCOO]-", IonFormulaOutcome::Formula, "C7H13O8"},
        {"C6H12O6", "[M+2H]2+", IonFormulaOutcome::Formula, "C6H14O6"},
        {"O6C6H12", "[M+K]+", IonFormulaOutcome::Formula, "C6H12KO6"},   // reordered
        {"CH3CH2OH", "[M+H]+", IonFormulaOutcome::Formula, "C2H7O"},     // repeated symbols
        {"CCl4", "[M+Cl]-", IonFormulaOutcome::Formula, "CCl5"},
        {"NaCl", "[M+H]+", IonFormulaOutcome::Formula, "ClHNa"},         // no carbon: alphabetical
        {"H2O", "[M-H]-", IonFormulaOutcome::Formula, "HO"},
        {"CCl4", "[M-H]-", IonFormulaOutcome::MissingAtoms, ""},
        {"H", "[M-H]-", IonFormulaOutcome::MissingAtoms, ""},
        {"Ca3(PO4)2", "[M+H]+", IonFormulaOutcome::Unparsable, ""},
        {"c6h12o6", "[M+H]+", IonFormulaOutcome::Unparsable, ""},
        {"C6H12O6+", "[M+H]+", IonFormulaOutcome::Unparsable, ""},
        {"C0H4", "[M+H]+", IonFormulaOutcome::Unparsable, ""},
        {"C12345678", "[M+H]+", IonFormulaOutcome::Unparsable, ""},
        {"H9999999", "[M+H]+", IonFormulaOutcome::Unparsable, ""},  // one too many to write
        {"", "[M+H]+", IonFormulaOutcome::Unparsable, ""},
        // The neutral molecule's formula goes to the host as written.
        {"Ca3(PO4)2", "M", IonFormulaOutcome::Formula, "Ca3(PO4)2"},
        {"", "M", IonFormulaOutcome::Formula, ""},
    };
    for (const Case& c : cases) {
        std::string formula;
        EXPECT_EQ(IonFormula(c.molecule, IonNamed(c.ion), formula), c.outcome)
            << c.molecule << " " << c.ion;
        if (c.outcome == IonFormulaOutcome::Formula) {
            EXPECT_EQ(formula, c.formula) << c.molecule;
        }
    }
}

TEST(MassError, TextHasItsSignTwoDecimalsAndTheUsersSeparator) {
    struct Case {
        double ppm;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {1.2345, '.', "+1.23"}, {-0.4512, ',', "-0,45"}, {-0.004, '.', "+0.00"},
        {0.0, ',', "+0,00"},    {-12.3456, '.', "-12.35"}, {1234.5678, ',', "+1234,57"},
        {std::nan(""), '.', ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MassErrorText(c.ppm, c.separator), c.text) << c.ppm;

    // 203.053 measured for glucose as [M+Na]+ (203.052609): +1.93 ppm; as
    // the neutral molecule the caption's own mass is the theoretical one.
    const double sodium = RowErrorPpm("180,063388", ',', 203.053, IonNamed("[M+Na]+"));
    EXPECT_NEAR(sodium, (203.053 - 203.0526088) / 203.0526088 * 1e6, 1e-3);
    EXPECT_EQ(MassErrorText(sodium, ','), "+1,93");
    EXPECT_NEAR(RowErrorPpm("180.063388", '.', 180.0634, NeutralIon()),
                (180.0634 - 180.063388) / 180.063388 * 1e6, 1e-9);
    EXPECT_TRUE(std::isnan(RowErrorPpm("18O", '.', 180.0, NeutralIon())));
    EXPECT_TRUE(std::isnan(MassErrorPpm(1.0, 0.0)));
    EXPECT_EQ(RmsText(7.0799, ','), "7,08");
    EXPECT_EQ(RmsText(std::nullopt, ','), "");
}

// Rows with their cells, as the window keeps them: one slot per row.
struct List {
    RowIdTable ids;
    std::vector<ResultRow> rows;
    IonCells cells;
    std::vector<std::string> names;

    List(std::vector<std::vector<const char*>> texts) : ids(texts.size()), cells(texts.size()) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            ids[i] = static_cast<std::int32_t>(i);
            rows.push_back({{texts[i][0], texts[i][1], texts[i][2]}, &ids[i]});
        }
    }
    IonCell& Cell(std::size_t row) { return cells[static_cast<std::size_t>(rows[row].id - ids.data())]; }
    std::vector<std::string> Names() const {
        std::vector<std::string> shown;
        for (const ResultRow& row : rows) shown.emplace_back(row.cells[kNameColumn]);
        return shown;
    }
};

TEST(IonOrder, ErrorByMagnitudeRmsByValueEmptyCellsLastInBothDirections) {
    List list({{"1", "", "a"}, {"2", "", "b"}, {"3", "", "c"}, {"4", "", "d"}, {"5", "", "e"}});
    const double errors[] = {-3.0, std::nan(""), 1.0, 2.0, -1.0};
    const std::optional<double> rms[] = {2.5, std::nullopt, 0.5, 2.5, 1.0};
    for (std::size_t i = 0; i < 5; ++i) list.Cell(i) = {errors[i], rms[i]};

    SortByError(list.rows, list.cells, list.ids, false);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"c", "e", "d", "a", "b"}));
    SortByError(list.rows, list.cells, list.ids, true);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"a", "d", "c", "e", "b"}));
    SortByRms(list.rows, list.cells, list.ids, false);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"c", "e", "a", "d", "b"}));
    SortByRms(list.rows, list.cells, list.ids, true);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"a", "d", "e", "c", "b"}));
    // The ranking: RMS up, equal RMS by |error| (d 2.0 before a 3.0), none last.
    SortByRank(list.rows, list.cells, list.ids);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"c", "e", "d", "a", "b"}));
}

TEST(IonOrder, ScoreHighestFirstTiesAsShownByErrorThenUnscoredRowsByRms) {
    List list({{"1", "", "a"}, {"2", "", "b"}, {"3", "", "c"}, {"4", "", "d"},
               {"5", "", "e"}, {"6", "", "f"}, {"7", "", "g"}, {"8", "", "h"}});
    const double none = std::nan("");
    const IonCell cells[] = {
        {-2.0, 1.0, -1.234},         // a: shows -1.23
        {1.0, 1.0, -1.226},          // b: shows -1.23 too, nearer in mass than a
        {0.1, 0.5, std::nullopt},    // c, d: no score, ranked by RMS after the rest
        {0.1, 0.2, std::nullopt},
        {5.0, 9.0, 4.5},             // e: the best score whatever its RMS and error
        {none, std::nullopt, -1.224},  // f: shows -1.22, above a and b
        {1.004, std::nullopt, 0.0},  // g, h: errors that show the same keep their order
        {1.001, std::nullopt, 0.0},
    };
    for (std::size_t i = 0; i < 8; ++i) list.Cell(i) = cells[i];

    SortByScore(list.rows, list.cells, list.ids, false);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"a", "b", "f", "g", "h", "e", "c", "d"}));
    SortByScore(list.rows, list.cells, list.ids, true);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"e", "g", "h", "f", "b", "a", "c", "d"}));
    SortByRank(list.rows, list.cells, list.ids);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"e", "g", "h", "f", "b", "a", "d", "c"}));

    const std::pair<std::optional<double>, const char*> texts[] = {
        {-3.265, "-3,27"}, {12.0, "12,00"}, {-0.004, "0,00"}, {-1234.5, "-1234,50"},
        {std::nullopt, ""}, {std::numeric_limits<double>::infinity(), ""},
    };
    for (const auto& [score, text] : texts) EXPECT_EQ(ScoreText(score, ','), text) << text;
    EXPECT_EQ(ScoreText(0.004, '.'), "0.00");
}

TEST(IonRanking, OneIsoDistPerIonFormulaRmsIntoTheCellsAndTheRowsRanked) {
    testing::RecordingHost host;
    // The host's masses are those of neutral atoms: the plug-in takes an
    // electron off each before comparing with the measured m/z.
    host.Respond([](const std::string& command) -> testing::RecordingHost::Answer {
        if (command == "IsoDist C6H12NaO6") return {0, "203.053157 100\n204.056512 6.5\n"};
        if (command == "IsoDist C6H6Na") return {0, "101.036 100\n102.04 6.6\n"};
        return {3, "bad formula"};
    });
    List list({{"180.0634", "C6H12O6", "glucose"},
               {"180.063388", "C6H12O6", "fructose"},
               {"78.04695", "C6H6", "benzene"},
               {"180.0634", "C6H(12", "broken"},
               {"46.041865", "C2H6O", "ethanol"}});
    const Ion& sodium = IonNamed("[M+Na]+");
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        list.Cell(i).errorPpm = RowErrorPpm(list.rows[i].cells[0], '.', 203.0526, sodium);
    }
    const std::vector<TPeak> measured = {{false, 203.0526, 100.0}, {false, 204.0559, 6.6}};
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    RankByIsotopeFit(list.rows, list.cells, list.ids, sodium, measured,
                     [&](std::size_t done, std::size_t total) { progress.emplace_back(done, total); });

    EXPECT_EQ(host.Commands(), (std::vector<std::string>{"IsoDist C6H12NaO6", "IsoDist C6H6Na",
                                                         "IsoDist C2H6NaO"}));
    EXPECT_EQ(progress.back(), std::make_pair(std::size_t{3}, std::size_t{3}));
    // Isomers share the RMS; fructose's caption lies nearer the measured m/z.
    EXPECT_EQ(list.Names(),
              (std::vector<std::string>{"fructose", "glucose", "benzene", "broken", "ethanol"}));
    // (203.053157 - me - 203.0526)^2 + (204.056512 - me - 204.0559)^2 + 0.1^2, over 2.
    const double d1 = 203.053157 - kElectron - 203.0526, d2 = 204.056512 - kElectron - 204.0559;
    ASSERT_TRUE(list.Cell(0).rms);
    EXPECT_NEAR(*list.Cell(0).rms, std::sqrt((d1 * d1 + d2 * d2 + 0.01) / 2), 1e-9);
    EXPECT_EQ(list.Cell(1).rms, list.Cell(0).rms);
    EXPECT_TRUE(list.Cell(2).rms && *list.Cell(2).rms > 100);  // a different mass altogether
    EXPECT_FALSE(list.Cell(3).rms);  // a formula the ion cannot be made of: nothing sent
    EXPECT_FALSE(list.Cell(4).rms);  // the host refused it
}

TEST(IonRanking, ComputedPeaksAreTheChartsTopsAtTheIonsMz) {
    // Given out of mass order and doubly charged: read back ascending, halved.
    const std::vector<TPeak> peaks =
        ComputedPeaks("401.2 5\n400.2 100\n", IonNamed("[M+2H]2+"));
    ASSERT_EQ(peaks.size(), 2u);
    EXPECT_DOUBLE_EQ(peaks[0].Mass, (400.2 - 2 * kElectron) / 2);
    EXPECT_EQ(peaks[0].Prob, 100.0);
    EXPECT_DOUBLE_EQ(peaks[1].Mass, (401.2 - 2 * kElectron) / 2);
}

}  // namespace
}  // namespace ionsift
