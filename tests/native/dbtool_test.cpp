// dbtool: the valence rules, the synthetic generator's invariants and
// determinism, and both commands writing real SQLite files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/chem/cml_reader.h"
#include "tests/native/db_test_files.h"
#include "host/chem/formula.h"
#include "host/dbtool/dbtool_commands.h"
#include "host/dbtool/structure_rows.h"
#include "host/dbtool/synthetic_molecules.h"
#include "host/dbtool/valence_rules.h"

namespace {

namespace fs = std::filesystem;
using namespace ionsift;
using namespace ionsift::dbtool;

chem::Formula Parse(const std::string& text) {
    const chem::FormulaParse parsed = chem::ParseFormula(text);
    EXPECT_TRUE(parsed.ok) << text << ": " << parsed.errorReason;
    return parsed.formula;
}

long Count(const chem::Formula& formula, const char* symbol) {
    const auto found = formula.counts.find(symbol);
    return found == formula.counts.end() ? 0 : found->second;
}

TEST(ValenceRules, RingsPlusDoubleBonds) {
    struct Case {
        const char* formula;
        long expected;  // -1: no closed-shell molecule
    };
    const Case cases[] = {
        {"CH4", 0},      {"C6H6", 4},     {"C2H4O2", 1},   {"C5H5N", 4},  // pyridine
        {"C6H12O6", 1},  {"C10H16N5O13P3", 7},  // ATP: 1 + (2*10 + 5 + 3 - 16) / 2
        {"C2H6OS", 0},   {"H2O", 0},      {"CH3", -1},     {"C2H7", -1},
        {"CH6", -1},     {"CHCl3", -1},   {"C2H5Br", -1},  {"CH2", -1},  {"C2H2", 2},
        {"CO", 2},       {"HN3", 2},
    };
    for (const Case& c : cases) {
        const auto rdb = RingsPlusDoubleBonds(Parse(c.formula));
        EXPECT_EQ(rdb.value_or(-1), c.expected) << c.formula;
    }
}

TEST(ValenceRules, PlausibleRatios) {
    for (const char* good : {"C6H6", "C10H15N2O8P", "C2H6OS", "C20H25N3O", "C2H6O"}) {
        EXPECT_TRUE(HasPlausibleRatios(Parse(good))) << good;
    }
    // No carbon; too few hydrogens; too many (methanol's 4 per carbon is
    // past the library range); too much nitrogen, oxygen (ATP), sulfur; P
    // without its oxygens.
    for (const char* bad : {"H2O", "C20H2", "CH4O", "C2H4N4", "C10H16N5O13P3", "C2H6S2", "C12H21O2P"}) {
        EXPECT_FALSE(HasPlausibleRatios(Parse(bad))) << bad;
    }
}

TEST(SyntheticMolecules, EveryFormulaIsAValenceCheckedChnopsMoleculeUpTo1500Da) {
    SyntheticMolecules molecules(7);
    std::vector<double> masses;
    int withNitrogen = 0, withSulfur = 0, withPhosphorus = 0;
    for (int i = 0; i < 20000; ++i) {
        const SyntheticMolecule molecule = molecules.Next();
        const chem::Formula formula = Parse(molecule.formulaText);
        ASSERT_EQ(formula.counts, molecule.formula.counts) << molecule.formulaText;
        ASSERT_EQ(chem::HillFormula(formula), molecule.formulaText);
        for (const auto& [symbol, count] : formula.counts) {
            ASSERT_NE(std::string("CHNOPS").find(symbol), std::string::npos) << molecule.formulaText;
            ASSERT_EQ(symbol.size(), 1u);
            ASSERT_GT(count, 0);
        }
        // 2 (rings + double bonds) = 2C + 2 + N + P - H: even and not negative.
        const long c = Count(formula, "C"), h = Count(formula, "H"), n = Count(formula, "N"),
                   p = Count(formula, "P");
        ASSERT_GE(c, 1);
        const long twiceRdb = 2 * c + 2 + n + p - h;
        ASSERT_EQ(twiceRdb % 2, 0) << molecule.formulaText;
        ASSERT_GE(twiceRdb, 0) << molecule.formulaText;
        const long heavy = c + n + p + Count(formula, "O") + Count(formula, "S");
        ASSERT_TRUE(heavy > 1 || twiceRdb == 0) << molecule.formulaText;
        ASSERT_GT(molecule.massMI, 0);
        ASSERT_LE(molecule.massMI, kMaxSyntheticMass);
        ASSERT_NEAR(molecule.massMI, chem::MonoisotopicMass(formula), 1e-9);
        masses.push_back(molecule.massMI);
        withNitrogen += n > 0;
        withSulfur += Count(formula, "S") > 0;
        withPhosphorus += p > 0;
    }
    // A compound-library shape: most molecules of a few hundred Da, a tail
    // towards 1,500 Da, a few very small ones.
    std::sort(masses.begin(), masses.end());
    const double median = masses[masses.size() / 2];
    EXPECT_GT(median, 250);
    EXPECT_LT(median, 550);
    EXPECT_LT(masses.front(), 100);
    EXPECT_GT(masses.back(), 1300);
    const auto over1000 = masses.end() - std::upper_bound(masses.begin(), masses.end(), 1000.0);
    EXPECT_GT(over1000, 100);
    EXPECT_LT(over1000, 2000);
    EXPECT_GT(withNitrogen, 10000);
    EXPECT_GT(withSulfur, 1000);
    EXPECT_GT(withPhosphorus, 50);
}

TEST(SyntheticMolecules, TheSeedDeterminesTheSequence) {
    SyntheticMolecules first(42), second(42), other(43);
    int differences = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string a = first.Next().formulaText;
        ASSERT_EQ(a, second.Next().formulaText) << "molecule " << i;
        differences += a != other.Next().formulaText;
    }
    EXPECT_GT(differences, 900);
    EXPECT_EQ(SyntheticName("C12H18N2O3", 42), "Synthetic C12H18N2O3 #42");
}

constexpr const char* kEthanol =
    "<molecule id='CS_ethanol'><name convention='IUPAC'>Ethanol</name><atomArray>"
    "<atom id='a1' elementType='C' hydrogenCount='3' x3='0' y3='0' z3='0'/>"
    "<atom id='a2' elementType='C' hydrogenCount='2' x3='1.5' y3='0' z3='0'/>"
    "<atom id='a3' elementType='O' hydrogenCount='1' x3='2' y3='1.4' z3='0'/>"
    "</atomArray><bondArray><bond atomRefs2='a1 a2' order='1'/><bond atomRefs2='a2 a3' order='1'/>"
    "</bondArray></molecule>";

constexpr const char* kAceticAcid =
    "<molecule><name>Acetic acid</name><atomArray>"
    "<atom id='c1' elementType='C' hydrogenCount='3'/><atom id='c2' elementType='C'/>"
    "<atom id='o1' elementType='O'/><atom id='o2' elementType='O' hydrogenCount='1'/>"
    "</atomArray><bondArray><bond atomRefs2='c1 c2'/><bond atomRefs2='c2 o1' order='2'/>"
    "<bond atomRefs2='c2 o2'/></bondArray></molecule>";

TEST(DbtoolBuild, WritesOneRowPerUsableFileAndReportsTheRest) {
    TempDir dir;
    const fs::path cml = dir.path() / "cml";
    dir.Write("cml/good.cml", kEthanol);
    dir.Write("cml/sub/acid.CML", kAceticAcid);
    const std::string ammonia = "<molecule><atomArray><atom elementType='N' hydrogenCount='3'/></atomArray></molecule>";
    dir.Write("cml/sub/deeper/nameless.cml", ammonia);
    const std::string ethanol = kEthanol;
    dir.Write("cml/bad.cml", ethanol.substr(0, ethanol.find("<atom id='a3'")));  // truncated
    dir.Write("cml/dummy.cml", "<molecule><atomArray><atom elementType='Du'/></atomArray></molecule>");
    dir.Write("cml/readme.txt", "not a structure");
    const fs::path db = dir.path() / "out" / "structures.db";
    fs::create_directories(db.parent_path());

    std::ostringstream report;
    ASSERT_EQ(BuildStructureDb(cml, db, report), 0) << report.str();
    // Path order: good.cml, sub/acid.CML, sub/deeper/nameless.cml.
    const std::vector<std::string> rows = Query(db, "SELECT ID, printf('%.6f', MassMI), Formula, Name, "
                                                    "length(Structure) FROM Molecules ORDER BY ID");
    const std::vector<std::string> expected = {
        "1|46.041865|C2H6O|Ethanol|" + std::to_string(std::string(kEthanol).size()),
        "2|60.021129|C2H4O2|Acetic acid|" + std::to_string(std::string(kAceticAcid).size()),
        "3|17.026549|H3N|nameless|" + std::to_string(ammonia.size()),
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(Query(db, "SELECT Structure FROM Molecules WHERE ID = 1"), std::vector<std::string>{kEthanol});

    const std::string text = report.str();
    EXPECT_NE(text.find("skipped bad.cml: line 1: the text ends inside"), std::string::npos) << text;
    EXPECT_NE(text.find("skipped dummy.cml: formula Du: unknown element"), std::string::npos) << text;
    EXPECT_EQ(text.find("readme"), std::string::npos) << text;
    EXPECT_NE(text.find("5 CML files, 3 molecules written"), std::string::npos) << text;
    EXPECT_NE(text.find("2 skipped"), std::string::npos) << text;

    // A second build replaces the file rather than adding to it.
    fs::remove(cml / "good.cml");
    ASSERT_EQ(BuildStructureDb(cml, db, report), 0);
    EXPECT_EQ(Query(db, "SELECT count(*), min(Name) FROM Molecules"), std::vector<std::string>{"2|Acetic acid"});
}

TEST(DbtoolBuild, FailsWithoutUsableFilesAndLeavesNoDatabase) {
    TempDir dir;
    const fs::path db = dir.path() / "structures.db";
    std::ostringstream report;
    EXPECT_EQ(BuildStructureDb(dir.path() / "missing", db, report), 1);
    EXPECT_NE(report.str().find("cannot list"), std::string::npos) << report.str();

    dir.Write("empty/notes.txt", "x");
    EXPECT_EQ(BuildStructureDb(dir.path() / "empty", db, report), 1);
    EXPECT_NE(report.str().find("no .cml files"), std::string::npos) << report.str();

    dir.Write("bad/a.cml", "<molecule/>");
    EXPECT_EQ(BuildStructureDb(dir.path() / "bad", db, report), 1);
    EXPECT_NE(report.str().find("none of the 1 CML files"), std::string::npos) << report.str();

    dir.Write("good/a.cml", kEthanol);
    EXPECT_EQ(BuildStructureDb(dir.path() / "good", dir.path() / "no-such-folder" / "x.db", report), 1);
    EXPECT_NE(report.str().find("cannot create"), std::string::npos) << report.str();

    EXPECT_FALSE(fs::exists(db));
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
    }
}

TEST(DbtoolSynth, WritesNumberedSyntheticRowsWithAMassIndex) {
    TempDir dir;
    std::ostringstream report;
    const fs::path first = dir.path() / "a.db", second = dir.path() / "b.db";
    ASSERT_EQ(BuildSyntheticDb(500, first, 11, report), 0) << report.str();
    ASSERT_EQ(BuildSyntheticDb(500, second, 11, report), 0) << report.str();
    EXPECT_EQ(Query(first, "SELECT count(*), min(ID), max(ID), count(Structure) FROM Molecules"),
              std::vector<std::string>{"500|1|500|0"});
    EXPECT_EQ(Query(first, "SELECT count(*) FROM Molecules WHERE Name <> 'Synthetic ' || Formula || ' #' || ID "
                           "OR MassMI <= 0 OR MassMI > 1500"),
              std::vector<std::string>{"0"});
    const std::string everything = "SELECT group_concat(ID || Formula || MassMI || Name, ',') FROM Molecules";
    EXPECT_EQ(Query(first, everything), Query(second, everything));
    EXPECT_EQ(Query(first, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Molecules' "
                           "AND sql LIKE '%(MassMI)%'").size(),
              1u);
    // The mass-window query the plug-in sends is served by that index.
    const auto plan = Query(first, "EXPLAIN QUERY PLAN SELECT ID, MassMI, Formula, Name FROM Molecules "
                                   "WHERE (MassMI > 300) AND (MassMI < 301) ORDER BY MassMI ASC LIMIT 50");
    ASSERT_FALSE(plan.empty());
    EXPECT_NE(plan[0].find("USING INDEX"), std::string::npos) << plan[0];

    EXPECT_EQ(BuildSyntheticDb(0, dir.path() / "none.db", 11, report), 1);
    EXPECT_FALSE(fs::exists(dir.path() / "none.db"));
}

// The package's files state their monoisotopic weight: an oracle that owes
// nothing to our formula or mass code.
TEST(DbtoolBuild, PackagedStructuresAgreeWithTheirStatedMonoisotopicWeight) {
    const fs::path root = "/usr/share/chemical-structures";
    if (!fs::is_directory(root)) GTEST_SKIP() << "chemical-structures-data not installed";
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".cml") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const StructureRow row = RowFromCml(text, entry.path().stem().string());
        ASSERT_TRUE(row.ok) << entry.path() << ": " << row.error;
        const std::string marker = "dictRef=\"cml:monoisotopicwt\" units=\"units:g\">";
        const auto at = text.find(marker);
        if (at == std::string::npos) continue;  // a few files state none
        EXPECT_NEAR(row.row.massMI, std::atof(text.c_str() + at + marker.size()), 1e-5) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 500);
}

}  // namespace
