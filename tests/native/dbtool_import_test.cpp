// dbtool import: compound files written here in each format, imported through
// the function the command runs, read back from SQLite and through the host's
// CML reader; the exit statuses; a database left as it was when an import
// fails or is interrupted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <zlib.h>

#include <chrono>
#include <csignal>
#include <map>
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
#include "tests/native/db_test_files.h"

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
