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
#include "tests/native/spectrum_file_writer.h"

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
        {{"--ion", "[M+Xy]+", "db", "a"}, CommandLine::Invalid,
         "--ion: unknown group \"Xy\" (an element formula such as H2O or NH4, or a name such as ACN, FA, TFA) at "
         "character 4 of \"[M+Xy]+\""},
        {{"--ion", "[M+Li]+", "--ion", "[2M+2H2O+Na]+", "--ion=[2M+2H2O+Na]+", "db", "a"}, CommandLine::Run,
         "ions=[M+Li]+,[2M+2H2O+Na]+ ppm=5.00 R=30000 top=10 max=-1 mz=- out= db=db spectra=a"},
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

TEST(AnnotateCommandLine, ScanAndRetentionTime) {
    const struct {
        std::vector<std::string> arguments;
        std::string expected;  // "scan=N", "rt=MIN..MAX", or the problem
    } cases[] = {
        {{"--scan", "17", "db", "a.mzML"}, "scan=17"},
        {{"--rt=1.5-2.25", "db", "a.mzML"}, "rt=1.50..2.25"},
        {{"--rt", "0-0", "db", "a.mzML"}, "rt=0.00..0.00"},
        {{"--scan", "x", "db", "a.mzML"}, "--scan needs a scan number"},
        {{"--scan", "-3", "db", "a.mzML"}, "--scan needs a scan number"},
        {{"--rt", "3-2", "db", "a.mzML"}, "--rt needs MIN-MAX in minutes, MIN at most MAX"},
        {{"--rt", "2", "db", "a.mzML"}, "--rt needs MIN-MAX in minutes, MIN at most MAX"},
        {{"--rt", "1,5-2", "db", "a.mzML"}, "--rt needs MIN-MAX in minutes, MIN at most MAX"},
        {{"--scan", "1", "--rt", "1-2", "db", "a.mzML"}, "--scan and --rt exclude each other"},
    };
    for (const auto& c : cases) {
        AnnotateOptions options;
        std::string problem;
        const CommandLine outcome = ParseCommandLine(c.arguments, options, problem);
        std::string got = problem;
        if (outcome == CommandLine::Run && options.scan) got = "scan=" + std::to_string(*options.scan);
        if (outcome == CommandLine::Run && options.rtMinutes) {
            got = "rt=" + FormatFixed(options.rtMinutes->first, 2) + ".." + FormatFixed(options.rtMinutes->second, 2);
        }
        EXPECT_EQ(got, c.expected) << c.arguments[0] << " " << c.arguments[1];
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

TEST_F(AnnotateProgram, AnyNotationNamesItsRowsAndAnInvalidOneStopsTheRun) {
    // Glucose with formic acid and sodium, not a built-in ion: 180.0633881022
    // + CH2O2 46.0054793036 + Na 22.9897692820 - e 0.000548579909 = 249.058088.
    ProgramRun run = RunAnnotate(dir_, {"--ion", "[M+Na]+", "--ion", "[M+FA+Na]+", "--mz", "249.0581",
                                        "structures.db", "peaks.csv"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.rows.find("peaks.csv#1\t1\t1\tglucose\tC6H12O6\t[M+FA+Na]+\t249.058088\t+0.05\t"),
              std::string::npos)
        << run.rows;
    run = RunAnnotate(dir_, {"--ion", "[M+H]+", "--ion", "[M+H", "structures.db", "peaks.csv"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.rows, "");
    EXPECT_EQ(run.messages.rfind("ionsift-annotate: --ion: \"]\" missing at character 5 of \"[M+H\"\n", 0), 0u)
        << run.messages;
}

TEST_F(AnnotateProgram, EveryFormatGivesThePeakListsRows) {
    // The peaks of peaks.csv in every other format: the same rows (checked
    // against the core above), under the spectrum's own name.
    using spectrum_files::Scan;
    const std::vector<double> mz = {179.5, 180.0634, 181.0668, 182.0677}, intensity = {0.5, 100, 6.6, 1.3};
    const std::vector<Scan> scans = {{1, 1, 60, false, mz, intensity, true},
                                     {2, 2, 61, false, {85.03}, {10}, true},
                                     {3, 1, 120, false, mz, {5, 1000, 66, 13}, true}};
    dir_.Write("run.mzML", spectrum_files::Mzml(scans, {64, true, true}));
    dir_.Write("run.mzXML", spectrum_files::Mzxml(scans, {64, false, false}));
    dir_.Write("lib.msp", "Name: glucose\nNum Peaks: 4\n179.5 0.5; 180.0634 100; 181.0668 6.6; 182.0677 1.3\n");
    dir_.Write("vendor.txt", "m/z  Res.  S/N  I  I%  FWHM\n179,5  1  1  5  0,5  0,01\n180,0634  41000  800  1000  100  0,004\n"
                             "181,0668  41000  60  66  6,6  0,004\n182,0677  41000  12  13  1,3  0,004\n");
    const std::string reference = RunAnnotate(dir_, {"--ppm", "10", "structures.db", "peaks.csv"}).rows;
    ASSERT_NE(reference.find("peaks.csv#1\t1\t1\tglucose\t"), std::string::npos);
    const auto renamed = [&](const std::vector<std::string>& names) {
        std::string rows = header_;
        for (const std::string& name : names) {
            std::istringstream lines(reference.substr(header_.size()));
            for (std::string line; std::getline(lines, line);) rows += name + line.substr(line.find('\t')) + "\n";
        }
        return rows;
    };
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> names;
    } cases[] = {
        {{"run.mzML"}, {"scan 1", "scan 3"}},
        {{"--scan", "3", "run.mzML"}, {"scan 3"}},
        {{"--rt", "0-5", "run.mzML"}, {"RT 0-5 min (2 scans)"}},
        {{"--rt=1.5-2.5", "run.mzXML"}, {"RT 1.5-2.5 min (1 scans)"}},
        {{"run.mzXML"}, {"scan 1", "scan 3"}},
        {{"lib.msp"}, {"glucose"}},
        {{"vendor.txt"}, {"vendor.txt#1"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"--ppm", "10", "structures.db"};
        arguments.insert(arguments.begin(), c.arguments.begin(), c.arguments.end() - 1);
        arguments.push_back(c.arguments.back());
        const ProgramRun run = RunAnnotate(dir_, arguments);
        EXPECT_EQ(run.status, 0) << c.arguments.back() << run.messages;
        EXPECT_EQ(run.rows, renamed(c.names)) << c.arguments[0];
        EXPECT_EQ(run.messages, "");
    }
    // A scan that is not there, and a damaged array, are named.
    ProgramRun run = RunAnnotate(dir_, {"--scan", "2", "structures.db", "run.mzML"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.messages, "run.mzML: no MS1 scan 2\n");
    std::string damaged = spectrum_files::Mzml({scans[0]}, {64, false, true});
    damaged.replace(damaged.find("defaultArrayLength=\"4\""), 22, "defaultArrayLength=\"5\"");
    dir_.Write("damaged.mzML", damaged);
    run = RunAnnotate(dir_, {"structures.db", "damaged.mzML"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.messages.find("damaged.mzML: byte "), std::string::npos) << run.messages;
    EXPECT_NE(run.messages.find(": m/z array: array holds 4 values, its length states 5\n"), std::string::npos);
}

}  // namespace
}  // namespace ionsift::annotate
