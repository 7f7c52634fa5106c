// dbtool import: compound files written here in each format, imported through
// the function the command runs, read back from SQLite and through the host's
// CML reader; the exit statuses; a database left as it was when an import
// fails or is interrupted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <zlib.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/chem/cml_blob.h"
#include "host/chem/cml_reader.h"
#include "host/chem/formula.h"
#include "host/dbtool/import_command.h"
#include "host/dbtool/import_formats.h"
#include "host/dbtool/progress_line.h"
#include "host/dbtool/record_conversion.h"
#include "host/dbtool/record_reader.h"
#include "tests/native/db_test_files.h"
#include "text/utf8_text.h"

extern char** environ;

namespace {

using namespace ionsift;
using namespace ionsift::dbtool;

// Monoisotopic masses of the most abundant isotopes (NIST, AME 2016), typed
// here so that the expected masses owe nothing to host/chem.
double MassOf(const std::map<std::string, int>& atoms) {
    const std::map<std::string, double> masses = {
        {"C", 12.0},           {"H", 1.00782503223},  {"D", 2.01410177812},
        {"N", 14.00307400443}, {"O", 15.99491461957}, {"Na", 22.9897692820},
        {"Cl", 34.968852682},
    };
    double mass = 0;
    for (const auto& [symbol, count] : atoms) mass += masses.at(symbol) * count;
    return mass;
}

void WriteGzip(const fs::path& path, const std::string& text) {
    gzFile file = gzopen(path.string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(gzwrite(file, text.data(), static_cast<unsigned>(text.size())), static_cast<int>(text.size()));
    gzclose(file);
}

// Caffeine without hydrogen atoms: all ten are implicit.
constexpr const char* kCaffeine = R"(caffeine
     RDKit          2D

 14 15  0  0  0  0  0  0  0  0999 V2000
    2.7760    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
    1.2760    0.0000    0.0000 N   0  0  0  0  0  0  0  0  0  0  0  0
    0.3943    1.2135    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
   -1.0323    0.7500    0.0000 N   0  0  0  0  0  0  0  0  0  0  0  0
   -1.0323   -0.7500    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
    0.3943   -1.2135    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
    0.7062   -2.6807    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
    2.1328   -3.1443    0.0000 O   0  0  0  0  0  0  0  0  0  0  0  0
   -0.4086   -3.6844    0.0000 N   0  0  0  0  0  0  0  0  0  0  0  0
   -0.0967   -5.1517    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
   -1.8351   -3.2209    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
   -2.9499   -4.2246    0.0000 O   0  0  0  0  0  0  0  0  0  0  0  0
   -2.1470   -1.7537    0.0000 N   0  0  0  0  0  0  0  0  0  0  0  0
   -3.5736   -1.2902    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
  1  2  1  0
  2  3  1  0
  3  4  2  0
  4  5  1  0
  5  6  2  0
  6  7  1  0
  7  8  2  0
  7  9  1  0
  9 10  1  0
  9 11  1  0
 11 12  2  0
 11 13  1  0
 13 14  1  0
  6  2  1  0
 13  5  1  0
M  END
> <IUPAC>
1,3,7-trimethylpurine-
2,6-dione

> <CAS>
58-08-2

$$$$
)";

// A cation whose atoms all sit at the origin, i.e. without coordinates.
constexpr const char* kMethylammonium = R"(methylammonium
     RDKit          2D

  2  1  0  0  0  0  0  0  0  0999 V2000
    0.0000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
    0.0000    0.0000    0.0000 N   0  0  0  0  0  0  0  0  0  0  0  0
  1  2  1  0
M  CHG  1   2   1
M  END
> <CAS>
17000-00-9

$$$$
)";

// Its second atom's y coordinate is not a number (line 6 of the record).
constexpr const char* kBroken = R"(broken
     RDKit          2D

  2  1  0  0  0  0  0  0  0  0999 V2000
    0.0000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0
    1.2990    abc       0.0000 N   0  0  0  0  0  0  0  0  0  0  0  0
  1  2  1  0
M  END
$$$$
)";

// V3000, an anion, and no title.
constexpr const char* kEthanolate = R"(
     RDKit          2D

  0  0  0  0  0  0  0  0  0  0999 V3000
M  V30 BEGIN CTAB
M  V30 COUNTS 3 2 0 0 0
M  V30 BEGIN ATOM
M  V30 1 C 0.000000 0.000000 0.000000 0
M  V30 2 C 1.299038 0.750000 0.000000 0
M  V30 3 O 2.598076 -0.000000 0.000000 0 CHG=-1
M  V30 END ATOM
M  V30 BEGIN BOND
M  V30 1 1 1 2
M  V30 2 1 2 3
M  V30 END BOND
M  V30 END CTAB
M  END
$$$$
)";

constexpr const char* kSmiles =
    "SMILES Name\n"
    "CC(=O)Oc1ccccc1C(=O)O aspirin\n"
    "# a comment\n"
    "C[N+](C)(C)C.[Cl-]\ttetramethylammonium chloride\n"
    "[2H]C([2H])([2H])O methanol-d3\n"
    "c1cccc1 not aromatic\n"
    "[13CH4] labelled methane\n"
    "\n"
    "*C dummy\n"
    "OCC1OC(O)C(O)C(O)C1O\n";

constexpr const char* kCsv =
    "\xEF\xBB\xBF\"Name\",SMILES,Notes\r\n"
    "\"glucose, open chain\",OCC(O)C(O)C(O)C(O)C=O,\"two\r\nlines\"\r\n"
    "sodium chloride,[Na+].[Cl-],x\r\n"
    "no structure,,x\r\n";

constexpr const char* kTsv =
    "formula\ttitle\n"
    "C6H12O6\thexose\n"
    "C6Xx\tbad\n";

struct Row {
    std::string name;
    std::string formula;
    double mass;
};

TEST(DbtoolImport, EveryFormatGivesFormulaMassNameAndADrawableStructure) {
    TempDir dir;
    dir.Write("lib.sdf", std::string(kCaffeine) + kMethylammonium + kBroken + kEthanolate);
    WriteGzip(dir.path() / "lib.smi.gz", kSmiles);
    dir.Write("lib.csv", kCsv);
    dir.Write("lib.tsv", kTsv);
    const fs::path db = dir.path() / "out.db";
    ImportOptions options;
    options.nameField = "IUPAC";
    options.workers = 3;
    std::ostringstream report;
    const std::vector<fs::path> files = {dir.path() / "lib.sdf", dir.path() / "lib.smi.gz", dir.path() / "lib.csv",
                                         dir.path() / "lib.tsv"};
    ASSERT_EQ(ImportFiles(db, files, options, report), 0) << report.str();

    const std::vector<Row> expected = {
        {"1,3,7-trimethylpurine- 2,6-dione", "C8H10N4O2", MassOf({{"C", 8}, {"H", 10}, {"N", 4}, {"O", 2}})},
        {"methylammonium", "CH6N", MassOf({{"C", 1}, {"H", 6}, {"N", 1}})},
        {"lib.sdf:4", "C2H5O", MassOf({{"C", 2}, {"H", 5}, {"O", 1}})},
        {"aspirin", "C9H8O4", MassOf({{"C", 9}, {"H", 8}, {"O", 4}})},
        {"tetramethylammonium chloride", "C4H12ClN", MassOf({{"C", 4}, {"H", 12}, {"Cl", 1}, {"N", 1}})},
        {"methanol-d3", "CHD3O", MassOf({{"C", 1}, {"H", 1}, {"D", 3}, {"O", 1}})},
        {"lib.smi.gz:7", "C6H12O6", MassOf({{"C", 6}, {"H", 12}, {"O", 6}})},
        {"glucose, open chain", "C6H12O6", MassOf({{"C", 6}, {"H", 12}, {"O", 6}})},
        {"sodium chloride", "ClNa", MassOf({{"Cl", 1}, {"Na", 1}})},
        {"hexose", "C6H12O6", MassOf({{"C", 6}, {"H", 12}, {"O", 6}})},
    };
    const auto rows = Query(db, "SELECT ID, Name, Formula, printf('%.9f', MassMI), Structure IS NULL "
                                "FROM Molecules ORDER BY ID");
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::vector<std::string> field;
        std::stringstream split(rows[i]);
        for (std::string part; std::getline(split, part, '|');) field.push_back(part);
        ASSERT_EQ(field.size(), 5u) << rows[i];
        EXPECT_EQ(field[0], std::to_string(i + 1));
        EXPECT_EQ(field[1], expected[i].name);
        EXPECT_EQ(field[2], expected[i].formula) << expected[i].name;
        EXPECT_NEAR(std::stod(field[3]), expected[i].mass, 1e-6) << expected[i].name;
        EXPECT_EQ(field[4], expected[i].name == "hexose" ? "1" : "0") << expected[i].name;  // a formula has no structure
    }

    // The host reads every structure back to the same formula, laid out where
    // the record had no coordinates (the cation, every SMILES). An import
    // stores them packed.
    for (const std::string& stored : Query(db, "SELECT Formula || '|' || typeof(Structure) || '|' || "
                                               "hex(Structure) FROM Molecules WHERE Structure IS NOT NULL")) {
        const std::string formula = stored.substr(0, stored.find('|'));
        const std::size_t hexAt = stored.rfind('|') + 1;
        EXPECT_EQ(stored.substr(formula.size() + 1, hexAt - formula.size() - 2), "blob");
        std::string bytes;
        for (std::size_t at = hexAt; at + 1 < stored.size(); at += 2) {
            bytes.push_back(static_cast<char>(std::stoi(stored.substr(at, 2), nullptr, 16)));
        }
        const chem::CmlUnpack unpacked = chem::UnpackCml(bytes);
        ASSERT_TRUE(unpacked.ok) << unpacked.error;
        const std::string& row = unpacked.cml;
        const chem::CmlRead read = chem::ReadCml(row);
        ASSERT_TRUE(read.ok) << read.error << "\n" << row;
        EXPECT_EQ(chem::HillFormula(chem::FormulaOf(read.molecule)), formula);
        double spread = 0;
        for (const chem::CmlAtom& atom : read.molecule.atoms) {
            EXPECT_TRUE(atom.hasCoordinates) << row;
            spread = std::max(spread, std::abs(atom.x - read.molecule.atoms[0].x) + std::abs(atom.y - read.molecule.atoms[0].y));
        }
        EXPECT_GT(spread, 0.5) << row;
    }

    // Skipped records by file and line, in file order, then the count.
    const std::vector<std::string> said = {
        // The records before it take 42 and 13 lines; the fault is on its line 6.
        "lib.sdf:" + std::to_string(42 + 13 + 6) + ": Cannot process coordinates",
        "lib.smi.gz:6: Can't kekulize mol",
        "lib.smi.gz:7: atom 1 is the isotope 13C, which a formula cannot hold",
        "lib.smi.gz:9: atom 1 * is a query or dummy atom, not an element",
        "lib.csv: no column named IUPAC; names come from the name or title column",
        "lib.csv:5: the smiles column is empty",
        "lib.tsv: no column named IUPAC",
        "lib.tsv:3: formula C6Xx: unknown element Xx at character 3",
        "imported 10, skipped 6",
    };
    std::istringstream lines(report.str());
    std::string line;
    for (const std::string& start : said) {
        ASSERT_TRUE(std::getline(lines, line)) << report.str();
        const auto file = line.find("lib.");  // files are named with their folder
        const std::string shown = file == std::string::npos ? line : line.substr(file);
        EXPECT_EQ(shown.substr(0, start.size()), start) << report.str();
    }
    EXPECT_FALSE(std::getline(lines, line)) << report.str();
}

// MOL blocks written here: atoms on a zigzag (coordinates that need no
// layout), "N+" a charge of +1, single bonds unless an order is given.
struct MolBond {
    int from, to, order = 1;
};

std::string V2000(const std::string& title, const std::vector<std::string>& atoms, const std::vector<MolBond>& bonds) {
    char line[100];
    std::string block = title + "\n  hand\n\n";
    std::snprintf(line, sizeof line, "%3zu%3zu  0  0  0  0  0  0  0  0999 V2000\n", atoms.size(), bonds.size());
    block += line;
    std::string charges;
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        const bool charged = atoms[i].back() == '+';
        std::snprintf(line, sizeof line, "%10.4f%10.4f%10.4f %-3s 0  0  0  0  0  0  0  0  0  0  0  0\n", 1.3 * i,
                      0.75 * (i % 2), 0.0, atoms[i].substr(0, atoms[i].size() - charged).c_str());
        block += line;
        if (charged) charges += "M  CHG  1" + std::string(line, static_cast<std::size_t>(std::snprintf(line, sizeof line, "%4zu   1\n", i + 1)));
    }
    for (const MolBond& bond : bonds) {
        std::snprintf(line, sizeof line, "%3d%3d%3d  0\n", bond.from, bond.to, bond.order);
        block += line;
    }
    return block + charges + "M  END\n";
}

std::string V3000(const std::string& title, const std::vector<std::string>& atoms, const std::vector<MolBond>& bonds) {
    std::string block = title + "\n  hand\n\n  0  0  0  0  0  0  0  0  0  0999 V3000\nM  V30 BEGIN CTAB\n";
    block += "M  V30 COUNTS " + std::to_string(atoms.size()) + " " + std::to_string(bonds.size()) + " 0 0 0\n";
    block += "M  V30 BEGIN ATOM\n";
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        const bool charged = atoms[i].back() == '+';
        block += "M  V30 " + std::to_string(i + 1) + " " + atoms[i].substr(0, atoms[i].size() - charged) + " " +
                 std::to_string(1.3 * i) + " " + std::to_string(0.75 * (i % 2)) + " 0 0" + (charged ? " CHG=1" : "") + "\n";
    }
    block += "M  V30 END ATOM\nM  V30 BEGIN BOND\n";
    for (std::size_t i = 0; i < bonds.size(); ++i) {
        block += "M  V30 " + std::to_string(i + 1) + " " + std::to_string(bonds[i].order) + " " +
                 std::to_string(bonds[i].from) + " " + std::to_string(bonds[i].to) + "\n";
    }
    return block + "M  V30 END BOND\nM  V30 END CTAB\nM  END\n";
}

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Every record of a file as "<line> <formula> <name>" or "<line> skipped: <category>",
// each row's structure read back by the host to the same formula.
std::vector<std::string> Outcomes(FileFormat format, const std::string& text) {
    RecordReader reader(format, {});
    reader.OpenText(text);
    std::vector<std::string> seen;
    ImportRecord record;
    while (reader.Next(record)) {
        const ConvertedRecord converted = ConvertRecord(record, record.title);
        if (!converted.ok) {
            seen.push_back(std::to_string(converted.line) + " skipped: " + converted.category);
            EXPECT_FALSE(converted.error.empty());
            continue;
        }
        const MoleculeRow& row = converted.row;
        seen.push_back(std::to_string(record.line) + " " + row.formula + " " + row.name);
        EXPECT_TRUE(IsValidUtf8(row.name)) << row.name;
        if (!row.structure) continue;
        const chem::CmlRead read = chem::ReadCml(row.structure->cml);
        EXPECT_TRUE(read.ok && IsValidUtf8(row.structure->cml)) << read.error << row.structure->cml;
        EXPECT_EQ(chem::HillFormula(chem::FormulaOf(read.molecule)), row.formula) << row.structure->cml;
        // Drawn where the toolkit lays it out; a giant record is not laid out.
        const bool laidOut = !read.molecule.atoms.empty() && read.molecule.atoms[0].hasCoordinates;
        EXPECT_EQ(laidOut, read.molecule.atoms.size() <= kMaxLaidOutAtoms) << row.formula;
    }
    EXPECT_TRUE(reader.Error().empty()) << reader.Error();
    return seen;
}

// One row per way a record was lost, invented or garbled. Formulas counted by
// hand; lines counted from each block's length (4 header lines, one per atom
// and bond, "M  CHG" where charged, "M  END").
TEST(DbtoolImport, NothingLostNothingInvented) {
    const std::string ethanolH = V2000("ethanol", {"C", "C", "O", "H", "H", "H", "H", "H", "H"},
                                       {{1, 2}, {2, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 7}, {2, 8}, {3, 9}});  // 22 lines
    const std::string methylamineH = V2000("methylamine", {"C", "N", "H", "H", "H", "H", "H"},
                                           {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 6}, {2, 7}});  // 18 lines
    const std::string carbonH5 = V2000("CH5", {"C", "H", "H", "H", "H", "H"},
                                       {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}});  // 16 lines
    const std::string nitrogenH4 = V2000("NH4", {"N", "H", "H", "H", "H"}, {{1, 2}, {1, 3}, {1, 4}, {1, 5}});  // 14
    // Methaniminium, H2C=NH2+, every H drawn: CH4N.
    const std::string iminiumH = V3000("iminium", {"C", "N+", "H", "H", "H", "H"},
                                       {{1, 2, 2}, {1, 3}, {1, 4}, {2, 5}, {2, 6}});
    const std::string water = V2000("water", {"O"}, {});              // 6 lines
    const std::string ammonia = V2000("ammonia", {"N"}, {});          // 6 lines
    const std::string methane = V2000("methane", {"C"}, {});          // 6 lines
    const std::string sulfane = V2000("hydrogen sulfide", {"S"}, {});  // 6 lines
    const std::string hydrazine = V2000("", {"N", "N"}, {{1, 2}});     // 8 lines, no title
    const std::string methanol = V2000("methanol", {"C", "O"}, {{1, 2}});               // 8 lines
    const std::string formaldehyde = V2000("", {"C", "O"}, {{1, 2, 2}});                // 8 lines
    const std::string acetylene = V2000("acetylene", {"C", "C"}, {{1, 2, 3}});         // 8 lines
    struct Case {
        const char* fault;
        FileFormat format;
        std::string text;
        std::vector<std::string> outcomes;
    };
    const Case cases[] = {
        {"hydrogens as drawn",
         FileFormat::kSd,
         ethanolH + "$$$$\n" + methylamineH + "$$$$\n" + carbonH5 + "$$$$\n" + nitrogenH4 + "$$$$\n" + iminiumH + "$$$$\n",
         {"1 C2H6O ethanol", "24 CH5N methylamine", "43 skipped: valence", "60 skipped: valence", "75 CH4N iminium"}},
        {"hydrogens as written in SMILES",
         FileFormat::kSmiles,
         "[H]C([H])([H])([H])[H] five\n[H]OC([H])([H])C([H])([H])[H] ethanol\n[H][N+]([H])=C([H])[H] iminium\n",
         {"1 skipped: valence", "2 C2H6O ethanol", "3 CH4N iminium"}},
        // Water's data item ends on a blank line 9 and ammonia follows without
        // "$$$$"; methane's block runs into the next title; the last record's
        // title is blank (line 32, after the blank line that ends an item).
        {"a missing $$$$",
         FileFormat::kSd,
         water + "> <NOTE>\nwet\n\n" + ammonia + "$$$$\n" + methane + sulfane + "> <NOTE>\nx\n\n" + hydrazine + "$$$$\n",
         {"1 H2O water", "10 H3N ammonia", "17 CH4 methane", "23 H2S hydrogen sulfide", "32 H4N2 "}},
        {"MOL files joined with cat", FileFormat::kSd, methanol + formaldehyde + acetylene,
         {"1 CH4O methanol", "9 CH2O ", "17 C2H2 acetylene"}},
        {"text after M  END that is no record", FileFormat::kSd, methane + "trailing words\n",
         {"1 CH4 methane", "7 skipped: unreadable"}},
        // Line 2's quote is closed by line 4's opening one, line 7's by none.
        {"a quote that never closes",
         FileFormat::kCsv,
         "name,smiles\n\"open name,CCO\nwater,O\n\"a, b\",CC\n\"two\nlines\",CO\n\"last,N\n",
         {"2 skipped: unterminated quote", "3 H2O water", "4 C2H6 a, b", "5 CH4O two\nlines",
          "7 skipped: unterminated quote"}},
        {"names in Latin-1 or Windows-1252",
         FileFormat::kSmiles,
         "CCO \xE9thanol\nO caf\xC3\xA9\nN \x80uro \x96 ammonia\n",
         {"1 C2H6O \xC3\xA9thanol", "2 H2O caf\xC3\xA9", "3 H3N \xE2\x82\xAC" "uro \xE2\x80\x93 ammonia"}},
        {"a Latin-1 title and column",
         FileFormat::kSd, V2000("\xE4ther", {"C", "O", "C"}, {{1, 2}, {2, 3}}), {"1 C2H6O \xC3\xA4ther"}},
        {"a Latin-1 column", FileFormat::kTsv, "Name\tSMILES\nw\xE4sser\tO\n", {"2 H2O w\xC3\xA4sser"}},
        // Polyethylene of 300 carbons (C300H602) is read but not laid out;
        // polypropylene of 5,001 atoms, and a V3000 block of 5,000, are not read.
        {"giant records",
         FileFormat::kSmiles,
         Repeated("C", 300) + " chain\n" + Repeated("CC(C)", 1667) + " polymer\n",
         {"1 C300H602 chain", "2 skipped: too large"}},
        {"a giant MOL block", FileFormat::kSd,
         "giant\n  hand\n\n  0  0  0  0  0  0  0  0  0  0999 V3000\nM  V30 BEGIN CTAB\nM  V30 COUNTS 5000 4999 0 0 0\n"
         "M  V30 BEGIN ATOM\n" + Repeated("M  V30 1 C 0 0 0 0\n", 5000) + "M  V30 END ATOM\nM  END\n",
         {"1 skipped: too large"}},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Outcomes(c.format, c.text), c.outcomes) << c.fault;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0) << c.fault;
    }
}

// What a run leaves behind: the database's rows and any stray file.
std::vector<std::string> Snapshot(const TempDir& dir, const fs::path& db) {
    std::vector<std::string> seen = Query(db, "SELECT group_concat(ID || Name || MassMI, ',') FROM Molecules");
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (name.find(".partial") != std::string::npos || name.find("-journal") != std::string::npos) {
            seen.push_back(name);
        }
    }
    return seen;
}

TEST(DbtoolImport, ExitStatusAndAnExistingDatabaseLeftAsItWas) {
    TempDir dir;
    const fs::path db = dir.path() / "out.db";
    dir.Write("good.smi", "CCO ethanol\nO water\n");
    std::ostringstream first;
    ASSERT_EQ(ImportFiles(db, {dir.path() / "good.smi"}, {}, first), 0) << first.str();
    EXPECT_EQ(first.str(), "imported 2, skipped 0\n");
    const auto before = Snapshot(dir, db);

    dir.Write("empty.smi", "");
    dir.Write("bad.smi", "C1CC(\nXx\n");
    dir.Write("lib.txt", "CCO\n");
    dir.Write("noheader.csv", "a,b\nCCO,x\n");
    dir.Write("plain.smi.gz", "CCO\n");
    const std::string zipped = (dir.path() / "cut.smi.gz").string();
    WriteGzip(zipped, std::string(200000, 'C') + "\n");
    fs::resize_file(zipped, fs::file_size(zipped) / 2);
    struct Case {
        std::vector<std::string> files;
        bool append;
        int status;
        std::string said;  // a part of the report
    };
    const Case cases[] = {
        {{"empty.smi"}, false, 1, "imported 0, skipped 0"},
        {{"bad.smi"}, false, 1, "imported 0, skipped 2"},
        {{"bad.smi", "empty.smi"}, true, 1, "imported 0, skipped 2"},
        {{"lib.txt"}, false, 2, "lib.txt: not a known compound file"},
        {{"missing.smi"}, true, 2, "missing.smi: No such file"},
        {{"good.smi", "noheader.csv"}, false, 2, "noheader.csv: line 1: the header has no column named smiles"},
        {{"good.smi", "noheader.csv"}, true, 2, "out.db is left as it was"},
        {{"plain.smi.gz"}, false, 2, "plain.smi.gz: not gzip data"},
        {{"good.smi", "cut.smi.gz"}, true, 2, "cut.smi.gz: unexpected end of file"},
        {{}, false, 2, "no files"},
    };
    for (const Case& c : cases) {
        std::vector<fs::path> files;
        for (const std::string& file : c.files) files.push_back(dir.path() / file);
        ImportOptions options;
        options.append = c.append;
        std::ostringstream report;
        EXPECT_EQ(ImportFiles(db, files, options, report), c.status) << report.str();
        EXPECT_NE(report.str().find(c.said), std::string::npos) << report.str();
        EXPECT_EQ(Snapshot(dir, db), before) << c.said;
    }
    // Appending to a file that is not there creates nothing.
    std::ostringstream report;
    ImportOptions append;
    append.append = true;
    EXPECT_EQ(ImportFiles(dir.path() / "none.db", {dir.path() / "good.smi"}, append, report), 2);
    EXPECT_FALSE(fs::exists(dir.path() / "none.db"));
}

TEST(DbtoolImport, AppendContinuesTheIdsInOneTransaction) {
    TempDir dir;
    const fs::path db = dir.path() / "out.db";
    dir.Write("a.smi", "CCO ethanol\nO water\n");
    dir.Write("b.tsv", "Title\tSMILES\nammonia\tN\nbroken\tC1CC(\n");
    std::ostringstream report;
    ASSERT_EQ(ImportFiles(db, {dir.path() / "a.smi"}, {}, report), 0);
    ImportOptions append;
    append.append = true;
    ASSERT_EQ(ImportFiles(db, {dir.path() / "b.tsv"}, append, report), 0) << report.str();
    EXPECT_EQ(Query(db, "SELECT group_concat(ID || ':' || Name, ' ') FROM Molecules"),
              std::vector<std::string>{"1:ethanol 2:water 3:ammonia"});
    const auto plan = Query(db, "EXPLAIN QUERY PLAN SELECT ID FROM Molecules WHERE MassMI > 17 AND MassMI < 18");
    ASSERT_FALSE(plan.empty());
    EXPECT_NE(plan[0].find("MoleculesByMass"), std::string::npos) << plan[0];
}

// Every file of the folder with its bytes and mode: what a refused import must not change.
std::map<std::string, std::string> FolderState(const TempDir& dir) {
    std::map<std::string, std::string> state;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        struct stat status {};
        lstat(entry.path().c_str(), &status);
        std::string bytes;
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        state[entry.path().filename().string()] = std::to_string(status.st_mode) + ":" + bytes;
    }
    return state;
}

TEST(DbtoolImport, ReplacesNothingButItsOwnDatabases) {
    TempDir dir;
    dir.Write("compounds.sdf", kCaffeine);
    dir.Write("more.smi", "CCO ethanol\n");
    dir.Write("notes.txt", "not a database\n");
    std::ostringstream report;
    ASSERT_EQ(ImportFiles(dir.path() / "ro.db", {dir.path() / "more.smi"}, {}, report), 0) << report.str();
    fs::permissions(dir.path() / "ro.db", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_directory(dir.path() / "folder.db");
    fs::create_hard_link(dir.path() / "more.smi", dir.path() / "link.db");
    struct Case {
        std::string out;
        std::vector<std::string> files;
        bool append;
        std::string said;
    };
    const Case cases[] = {
        {"compounds.sdf", {"more.smi"}, false, "compounds.sdf is not a molecule database"},  // OUT forgotten
        {"compounds.sdf", {"more.smi"}, true, "compounds.sdf is not a molecule database"},
        {"more.smi", {"compounds.sdf", "more.smi"}, false, "is the input"},
        {"link.db", {"more.smi"}, true, "link.db is the input"},  // the same file by another name
        {"notes.txt", {"more.smi"}, false, "notes.txt is not a molecule database"},
        {"ro.db", {"more.smi"}, false, "ro.db is read-only"},
        {"ro.db", {"more.smi"}, true, "ro.db is read-only"},
        {"folder.db", {"more.smi"}, false, "folder.db is not a regular file"},
    };
    const auto before = FolderState(dir);
    for (const Case& c : cases) {
        std::vector<fs::path> files;
        for (const std::string& file : c.files) files.push_back(dir.path() / file);
        ImportOptions options;
        options.append = c.append;
        std::ostringstream said;
        EXPECT_EQ(ImportFiles(dir.path() / c.out, files, options, said), 2) << said.str();
        EXPECT_NE(said.str().find(c.said), std::string::npos) << said.str();
        EXPECT_EQ(FolderState(dir), before) << c.out << " append " << c.append;
    }
}

TEST(DbtoolImport, AReplacedDatabaseKeepsItsModeAndALinkStays) {
    TempDir dir;
    dir.Write("a.smi", "CCO ethanol\n");
    dir.Write("b.smi", "O water\nN ammonia\n");
    const fs::path db = dir.path() / "out.db";
    const mode_t mask = umask(022);
    std::ostringstream report;
    ASSERT_EQ(ImportFiles(db, {dir.path() / "a.smi"}, {}, report), 0) << report.str();
    struct stat status {};
    ASSERT_EQ(stat(db.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u);  // a new file, as any program makes one
    for (const mode_t mode : {0600u, 0640u, 0664u}) {
        ASSERT_EQ(chmod(db.c_str(), mode), 0);
        ASSERT_EQ(ImportFiles(db, {dir.path() / (mode == 0640u ? "b.smi" : "a.smi")}, {}, report), 0) << report.str();
        ASSERT_EQ(stat(db.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
    EXPECT_EQ(Query(db, "SELECT count(*) FROM Molecules"), std::vector<std::string>{"1"});
    fs::create_symlink(db, dir.path() / "link.db");
    ASSERT_EQ(ImportFiles(dir.path() / "link.db", {dir.path() / "b.smi"}, {}, report), 0) << report.str();
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.db"));
    EXPECT_EQ(Query(db, "SELECT group_concat(Name) FROM Molecules"), std::vector<std::string>{"water,ammonia"});
    umask(mask);
}

// The summary line counts the skips by reason, most first.
TEST(DbtoolImport, SummaryCountsSkipsByReason) {
    struct Case {
        long long imported;
        std::map<std::string, long long> skipped;
        std::string said;
    };
    const Case cases[] = {
        {5, {}, "imported 5, skipped 0"},
        {160, {{"isotope label", 2}, {"too large", 1}, {"valence", 9}},
         "imported 160, skipped 12: 9 valence, 2 isotope label, 1 too large"},
        {0, {{"", 2}, {"empty", 2}, {"other", 1}}, "imported 0, skipped 5: 3 other, 2 empty"},
        {1, {{"b", 1}, {"a", 1}, {"c", 0}}, "imported 1, skipped 2: 1 a, 1 b"},
    };
    for (const Case& c : cases) EXPECT_EQ(ImportSummary(c.imported, c.skipped), c.said);

    // The import's own last line: its reasons add up to the skips.
    TempDir dir;
    dir.Write("mixed.smi", "CCO ethanol\nC1CC( open ring\n*C dummy\n");
    std::ostringstream report;
    ASSERT_EQ(ImportFiles(dir.path() / "out.db", {dir.path() / "mixed.smi"}, {}, report), 0) << report.str();
    const std::string text = report.str();
    const std::string last = text.substr(text.rfind('\n', text.size() - 2) + 1);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(last, parts, std::regex("imported 1, skipped 2: (.*)\n"))) << text;
    long long counted = 0;
    const std::string reasons = parts[1];
    const std::regex reason("(\\d+) [^,]+");
    for (auto it = std::sregex_iterator(reasons.begin(), reasons.end(), reason); it != std::sregex_iterator(); ++it) {
        counted += std::stoll((*it)[1]);
    }
    EXPECT_EQ(counted, 2) << text;
}

// The real command, its stderr into a file.
pid_t StartDbtool(std::vector<std::string> words, const fs::path& errors) {
    words.insert(words.begin(), IONSIFT_DBTOOL);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, IONSIFT_DBTOOL, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? child : -1;
}

std::string TextOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The temporary files of out.db that a writer made (not `foreign`).
std::vector<std::string> TemporaryFiles(const TempDir& dir, const std::string& foreign) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (name.find(".partial") != std::string::npos && name != foreign && name != "out.db.partial") {
            found.push_back(name);
        }
    }
    return found;
}

// A second import into the database waits for the first, then works on the
// file the first left, and neither touches a file that is not its own: not a
// file with the old fixed name, nor one that looks like a temporary file.
TEST(DbtoolImport, TwoImportsIntoOneDatabaseTakeTurns) {
    TempDir dir;
    const fs::path db = dir.path() / "out.db";
    std::string big;
    constexpr int kBig = 5000;
    for (int i = 0; i < kBig; ++i) big += "CC(=O)Oc1ccccc1C(=O)O aspirin " + std::to_string(i) + "\n";
    dir.Write("big.smi", big);
    dir.Write("small.smi", "CCO ethanol\nO water\nN ammonia\n");
    const std::string lookalike = "out.db.Ab12Cd.partial";
    struct Case {
        bool secondAppends;
        std::string rows;  // count and highest ID
    };
    for (const Case& c : {Case{true, std::to_string(kBig + 3) + "|" + std::to_string(kBig + 3)}, Case{false, "3|3"}}) {
        std::ostringstream report;
        ASSERT_EQ(ImportFiles(db, {dir.path() / "small.smi"}, {}, report), 0) << report.str();
        dir.Write("out.db.partial", "someone's notes\n");
        dir.Write(lookalike, "someone else's notes\n");
        const pid_t first = StartDbtool({"import", db.string(), (dir.path() / "big.smi").string()}, dir.path() / "first.err");
        ASSERT_GT(first, 0);
        // The first holds the lock once its temporary file is there.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (TemporaryFiles(dir, lookalike).empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::vector<std::string> second = {"import", db.string(), (dir.path() / "small.smi").string()};
        if (c.secondAppends) second.insert(second.begin() + 1, "--append");
        const pid_t next = StartDbtool(second, dir.path() / "second.err");
        ASSERT_GT(next, 0);
        int firstStatus = -1, secondStatus = -1;
        ASSERT_EQ(waitpid(first, &firstStatus, 0), first);
        ASSERT_EQ(waitpid(next, &secondStatus, 0), next);
        const std::string firstSaid = TextOf(dir.path() / "first.err"), secondSaid = TextOf(dir.path() / "second.err");
        EXPECT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0) << firstSaid;
        EXPECT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0) << secondSaid;
        EXPECT_NE(secondSaid.find("another import is writing"), std::string::npos) << secondSaid;
        EXPECT_EQ(Query(db, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
        EXPECT_EQ(Query(db, "SELECT count(*), max(ID) FROM Molecules"), std::vector<std::string>{c.rows});
        EXPECT_EQ(TextOf(dir.path() / "out.db.partial"), "someone's notes\n");
        EXPECT_EQ(TextOf(dir.path() / lookalike), "someone else's notes\n");
        EXPECT_EQ(TemporaryFiles(dir, lookalike), std::vector<std::string>{});
    }
}

// Ctrl+C or SIGTERM while the workers are inside the toolkit, laying out
// chains just below the size that is no longer laid out (each a good part of
// a second): the command is gone within 2 s, the database as it was, with no
// temporary file or journal left.
TEST(DbtoolImport, AnInterruptEndsTheImportWhileAWorkerIsInTheToolkit) {
    TempDir dir;
    const fs::path db = dir.path() / "out.db";
    dir.Write("a.smi", "CCO ethanol\nO water\n");
    std::string chains = "CCO ethanol\n";
    for (int i = 0; i < 400; ++i) chains += std::string(240, 'C') + " chain " + std::to_string(i) + "\n";
    dir.Write("giant.smi", chains);
    struct Case {
        bool append;
        int signal;
    };
    for (const Case c : {Case{false, SIGINT}, Case{false, SIGTERM}, Case{true, SIGINT}, Case{true, SIGTERM}}) {
        std::ostringstream report;
        ASSERT_EQ(ImportFiles(db, {dir.path() / "a.smi"}, {}, report), 0);
        const auto before = Snapshot(dir, db);
        std::vector<std::string> words = {"import", db.string(), (dir.path() / "giant.smi").string()};
        if (c.append) words.insert(words.begin() + 1, "--append");
        const pid_t child = StartDbtool(words, dir.path() / "err.txt");
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "the chains did not keep the toolkit busy";
        const auto signalled = std::chrono::steady_clock::now();
        kill(child, c.signal);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count();
        EXPECT_LT(seconds, 2.0) << "append " << c.append << ", signal " << c.signal;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        EXPECT_EQ(Snapshot(dir, db), before) << "append " << c.append << ", signal " << c.signal;
        EXPECT_NE(TextOf(dir.path() / "err.txt").find("interrupted"), std::string::npos);
    }
}

// The real command on a file large enough to be stopped halfway: by SIGINT
// (it cleans up and dies of the signal) or SIGKILL (nothing runs; SQLite's
// journal or the unfinished temporary file is all that is left).
TEST(DbtoolImport, AnInterruptedImportLeavesTheDatabaseAsItWas) {
    TempDir dir;
    const fs::path db = dir.path() / "out.db";
    dir.Write("a.smi", "CCO ethanol\nO water\n");
    std::string big;
    for (int i = 0; i < 200000; ++i) big += "CC(=O)Oc1ccccc1C(=O)O aspirin " + std::to_string(i) + "\n";
    dir.Write("big.smi", big);
    struct Case {
        bool append;
        int signal;
    };
    for (const Case c : {Case{true, SIGINT}, Case{true, SIGKILL}, Case{false, SIGINT}, Case{false, SIGKILL}}) {
        std::ostringstream report;
        ASSERT_EQ(ImportFiles(db, {dir.path() / "a.smi"}, {}, report), 0);
        const auto before = Snapshot(dir, db);
        const auto size = fs::file_size(db);
        const std::string growing = c.append ? db.string() : db.string() + ".partial";
        std::vector<std::string> words = {IONSIFT_DBTOOL, "import"};
        if (c.append) words.push_back("--append");
        words.push_back(db.string());
        words.push_back((dir.path() / "big.smi").string());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, IONSIFT_DBTOOL, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        // Stopped once SQLite has written rows into the file.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::error_code ec;
        while (std::chrono::steady_clock::now() < deadline && fs::file_size(growing, ec) < size + (1u << 20)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_GE(fs::file_size(growing, ec), size + (1u << 20)) << "the import wrote nothing in time";
        kill(child, c.signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        if (c.signal == SIGINT) {
            EXPECT_EQ(Snapshot(dir, db), before) << "append " << c.append;
        }
        // After SIGKILL the next writer rolls the journal back, or replaces the leftover.
        std::ostringstream again;
        ImportOptions options;
        options.append = c.append;
        dir.Write("empty.smi", "");
        EXPECT_EQ(ImportFiles(db, {dir.path() / "empty.smi"}, options, again), 1) << again.str();
        EXPECT_EQ(Snapshot(dir, db), before) << "append " << c.append << ", signal " << c.signal;
    }
}

TEST(DbtoolImport, FormatsByExtension) {
    struct Case {
        const char* name;
        int format;  // -1: none
        bool gzip;
    };
    const Case cases[] = {
        {"a.sdf", static_cast<int>(FileFormat::kSd), false},
        {"dir.x/A.SD.GZ", static_cast<int>(FileFormat::kSd), true},
        {"a.mol", static_cast<int>(FileFormat::kSd), false},
        {"a.smiles.gz", static_cast<int>(FileFormat::kSmiles), true},
        {"a.smi", static_cast<int>(FileFormat::kSmiles), false},
        {"a.Csv", static_cast<int>(FileFormat::kCsv), false},
        {"a.tsv", static_cast<int>(FileFormat::kTsv), false},
        {"a.txt", -1, false},
        {"a.gz", -1, false},
        {"smi", -1, false},
    };
    for (const Case& c : cases) {
        const auto kind = KindOfFile(c.name);
        EXPECT_EQ(kind ? static_cast<int>(kind->format) : -1, c.format) << c.name;
        if (kind) {
            EXPECT_EQ(kind->gzip, c.gzip) << c.name;
        }
    }
}

TEST(DbtoolImport, ProgressLine) {
    EXPECT_EQ(ProgressText(1234567, 100, 0.25), "1,234,567 records, 12,346 records/s, 5:00 left");
    EXPECT_EQ(ProgressText(999, 0.5, -1), "999 records, 1,998 records/s");
    EXPECT_EQ(ProgressText(10, 3725, 0.5), "10 records, 0 records/s, 1:02:05 left");
    EXPECT_EQ(ProgressText(0, 0, 0), "0 records");
}

}  // namespace
