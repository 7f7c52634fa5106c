// ionsift-annotate: its command line, and the real program run on the small
// case of annotate_case.h: the exact rows, the messages, the exit statuses,
// --out, and the errors that stop a run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "annotate/annotate_options.h"
#include "tests/native/annotate_case.h"
#include "tests/native/db_test_files.h"

namespace ionsift::annotate {
namespace {

using dbtool::TempDir;
namespace fs = std::filesystem;

// The options as one line, for comparing with a table.
std::string Describe(const AnnotateOptions& o) {
    std::string ions;
    for (const Ion* ion : o.ions) ions += std::string(ions.empty() ? "" : ",") + ion->notation;
    std::string files;
    for (const std::string& file : o.spectrumFiles) files += std::string(files.empty() ? "" : ",") + file;
    return "ions=" + ions + " ppm=" + FormatFixed(o.ppm, 2) + " R=" + FormatFixed(o.resolvingPower, 0) +
           " top=" + std::to_string(o.top) + " max=" + std::to_string(o.maxCandidates) +
           " mz=" + (o.mz ? FormatFixed(*o.mz, 4) : "-") + " out=" + o.outFile + " db=" + o.database +
           " spectra=" + files;
}

TEST(AnnotateCommandLine, OptionsDefaultsAndRefusals) {
    const struct {
        std::vector<std::string> arguments;
        CommandLine outcome;
        std::string expected;  // Describe() for Run, the problem for Invalid
    } cases[] = {
        {{"db", "a.mgf"}, CommandLine::Run,
         "ions=M ppm=5.00 R=30000 top=10 max=-1 mz=- out= db=db spectra=a.mgf"},
        {{"--ion", "[M+H]+", "--ion=[M+Na]+", "--ion", "[M+H]+", "--ppm", "2.5", "--resolution=120000",
          "--top", "3", "--max", "50", "--mz", "181.07", "--out", "o.tsv", "db", "a.mgf", "--", "-b.txt"},
         CommandLine::Run,
         "ions=[M+H]+,[M+Na]+ ppm=2.50 R=120000 top=3 max=50 mz=181.0700 out=o.tsv db=db spectra=a.mgf,-b.txt"},
        {{"--help", "x"}, CommandLine::Help, ""},
        {{"--version"}, CommandLine::Version, ""},
        {{}, CommandLine::Invalid, "no database and no spectrum file"},
        {{"db"}, CommandLine::Invalid, "no spectrum file"},
        {{"--ion", "[M+Li]+", "db", "a"}, CommandLine::Invalid,
         "unknown ion [M+Li]+ (one of M, [M+H]+, [M+Na]+, [M+K]+, [M+NH4]+, [M+2H]2+, [M-H]-, [M+Cl]-, [M+HCOO]-)"},
        {{"--ppm", "0", "db", "a"}, CommandLine::Invalid, "--ppm needs a number above 0"},
        {{"--ppm", "2,5", "db", "a"}, CommandLine::Invalid, "--ppm needs a number above 0"},
        {{"--resolution", "inf", "db", "a"}, CommandLine::Invalid, "--resolution needs a number above 0"},
        {{"--top", "1.5", "db", "a"}, CommandLine::Invalid, "--top needs a whole number of at least 1"},
        {{"--max", "0", "db", "a"}, CommandLine::Invalid, "--max needs a whole number of at least 1"},
        {{"--mz", "-3", "db", "a"}, CommandLine::Invalid, "--mz needs a number above 0"},
        {{"--out=", "db", "a"}, CommandLine::Invalid, "--out needs a file name"},
        {{"db", "a", "--top"}, CommandLine::Invalid, "--top needs a value"},
        {{"--colour", "db", "a"}, CommandLine::Invalid, "unknown option --colour"},
    };
    for (const auto& c : cases) {
        AnnotateOptions options;
        std::string problem;
        const CommandLine outcome = ParseCommandLine(c.arguments, options, problem);
        EXPECT_EQ(outcome, c.outcome) << c.expected;
        EXPECT_EQ(outcome == CommandLine::Run ? Describe(options) : problem, c.expected);
    }
}

struct ProgramRun {
    int status = -1;
    std::string rows;
    std::string messages;
};

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The real program in `dir`, its output and messages caught in files.
ProgramRun RunAnnotate(const TempDir& dir, const std::vector<std::string>& arguments, const char* locale = "C") {
    std::string command = "cd '" + dir.path().string() + "' && LC_ALL=" + locale + " '" IONSIFT_ANNOTATE "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " >rows.out 2>messages.out";
    ProgramRun run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.rows = ReadText(dir.path() / "rows.out");
    run.messages = ReadText(dir.path() / "messages.out");
    return run;
}

class AnnotateProgram : public ::testing::Test {
protected:
    void SetUp() override {
        std::string problem;
        ASSERT_TRUE(annotate_case::WriteDatabase((dir_.path() / "structures.db").string(), problem)) << problem;
        for (const annotate_case::SpectrumFile& file : annotate_case::kSpectrumFiles) dir_.Write(file.name, file.text);
    }
    TempDir dir_;
    const std::string header_ = "spectrum\trank\tid\tname\tformula\tion\tmz\terror_ppm\tscore\trms\n";
};

TEST_F(AnnotateProgram, ExactRowsAndMessagesWhateverTheLocale) {
    const std::string expected = annotate_case::ExpectedOutput();
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        const ProgramRun run = RunAnnotate(dir_, annotate_case::kArguments, locale);
        EXPECT_EQ(run.status, 0) << locale;
        EXPECT_EQ(run.rows, expected) << locale;
        EXPECT_EQ(run.messages, annotate_case::kExpectedMessages) << locale;
    }
}

TEST_F(AnnotateProgram, OutReplacesTheFileOnlyWhenTheRunEnds) {
    dir_.Write("ranked.tsv", "earlier rows\n");
    std::vector<std::string> arguments = {"--out", "ranked.tsv"};
    arguments.insert(arguments.end(), annotate_case::kArguments.begin(), annotate_case::kArguments.end());
    ProgramRun run = RunAnnotate(dir_, arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.rows, "");
    EXPECT_EQ(ReadText(dir_.path() / "ranked.tsv"), annotate_case::ExpectedOutput());
    EXPECT_FALSE(fs::exists(dir_.path() / "ranked.tsv.partial"));

    dir_.Write("ranked.tsv", "earlier rows\n");
    run = RunAnnotate(dir_, {"--out", "ranked.tsv", "structures.db", "spectra.mgf", "missing.mgf"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ReadText(dir_.path() / "ranked.tsv"), "earlier rows\n");
    EXPECT_FALSE(fs::exists(dir_.path() / "ranked.tsv.partial"));
}

TEST_F(AnnotateProgram, ExitStatusesAndTheirMessages) {
    dir_.Write("notes.db", "not SQLite at all, just some text long enough to be a header\n");
    dir_.Write("empty.db", "");
    dir_.Write("quiet.mgf", "BEGIN IONS\nPEPMASS=500\n500 100\nEND IONS\n");
    dir_.Write("run.mzML", "<mzML/>");
    dir_.Write("charged.mgf", "BEGIN IONS\nPEPMASS=102.03\nCHARGE=2+\n102.03 100\nEND IONS\n");
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* rows;  // null: not compared
        const char* messages;
    } cases[] = {
        {{"notes.db", "spectra.mgf"}, 2, "",
         "ionsift-annotate: notes.db: not a molecule database: file is not a database\n"},
        {{"empty.db", "spectra.mgf"}, 2, "",
         "ionsift-annotate: empty.db: not a molecule database: no such table: Molecules\n"},
        {{"absent.db", "spectra.mgf"}, 2, "",
         "ionsift-annotate: absent.db: not a molecule database: unable to open database file\n"},
        {{"structures.db", "quiet.mgf"}, 1, nullptr, ""},
        {{"--ion", "[M+Na]+", "structures.db", "charged.mgf"}, 1, nullptr,
         "charged.mgf:1: no --ion of the CHARGE the spectrum states\n"},
        {{"structures.db", "missing.mgf", "run.raw", "peaks.csv"}, 2, nullptr,
         "ionsift-annotate: missing.mgf: no such file\n"
         "ionsift-annotate: run.raw: not a spectrum file (.mzML, .mzXML, .mgf, .msp, .txt, .csv, .tsv, .xy)\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunAnnotate(dir_, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << " " << c.arguments[1];
        if (c.rows) {
            EXPECT_EQ(run.rows, c.rows) << c.arguments[0];
        }
        EXPECT_EQ(run.messages, c.messages) << c.arguments[0];
    }
    EXPECT_EQ(RunAnnotate(dir_, {"structures.db", "quiet.mgf"}).rows, header_);
    const ProgramRun usage = RunAnnotate(dir_, {"structures.db"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.messages.rfind("ionsift-annotate: no spectrum file\nusage: ionsift-annotate", 0), 0u);
    // The file that could be read is still annotated.
    EXPECT_NE(RunAnnotate(dir_, cases[5].arguments).rows.find("peaks.csv#1\t1\t1\tglucose\t"), std::string::npos);
}

TEST_F(AnnotateProgram, TopMaxAndTypedMz) {
    // --max caps each ion window to its lightest rows; --top the rows written.
    ProgramRun run = RunAnnotate(dir_, {"--ion", "[M+Na]+", "--ion", "M", "--ppm", "10", "--max", "1", "--top", "1",
                                 "structures.db", "spectra.mgf", "peaks.csv"});
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> firstCells;
    std::istringstream lines(run.rows);
    for (std::string line; std::getline(lines, line);) {
        firstCells.push_back(line.substr(0, line.find('\t', line.find('\t') + 1)));
    }
    EXPECT_EQ(firstCells, (std::vector<std::string>{"spectrum\trank", "glucose [M+Na]+\t1", "peaks.csv#1\t1"}));
    // A typed m/z replaces the lightest peak of a plain list, not an MGF's PEPMASS.
    run = RunAnnotate(dir_, {"--ion", "[M+Na]+", "--mz", "203.0526", "structures.db", "peaks.csv"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.rows.find("peaks.csv#1\t1\t1\tglucose\tC6H12O6\t[M+Na]+\t203.052609\t-0.04\t"), std::string::npos)
        << run.rows;
}

}  // namespace
}  // namespace ionsift::annotate
