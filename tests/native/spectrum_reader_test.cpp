// The spectrum files: MGF blocks and plain peak lists read into spectra, and
// every faulty block skipped with its line and reason while the rest of the
// file is still read; the m/z each spectrum is searched at.
#include <gtest/gtest.h>

#include <clocale>
#include <sstream>
#include <string>
#include <vector>

#include "shell/host_numbers.h"
#include "spectra/spectrum.h"
#include "spectra/spectrum_reader.h"

namespace ionsift {
namespace {

// A spectrum as "#<index> @<line> '<title>' mz=<precursor> z=<charges> <m/z>:<intensity> ..."
// and a skipped block as "<line>: <reason>".
std::string Describe(const Spectrum& spectrum) {
    std::string text = "#" + std::to_string(spectrum.index) + " @" + std::to_string(spectrum.line) +
                       " '" + spectrum.title + "'";
    if (spectrum.precursorMz) text += " mz=" + FormatFixed(*spectrum.precursorMz, 4);
    if (!spectrum.charges.empty()) {
        text += " z=";
        for (const StatedCharge& charge : spectrum.charges) {
            text += std::to_string(charge.magnitude) + (charge.sign > 0 ? "+" : charge.sign < 0 ? "-" : "");
        }
    }
    for (const TPeak& peak : spectrum.peaks) {
        text += " " + FormatFixed(peak.Mass, 4) + ":" + FormatFixed(peak.Prob, 2);
    }
    return text;
}

std::vector<std::string> ReadAll(const std::string& fileName, const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> records;
    const auto reader = SpectrumReaderFor(fileName, in);
    if (!reader) return {"no reader"};
    Spectrum spectrum;
    SkippedBlock skipped;
    for (ReadStep step; (step = reader->Next(spectrum, skipped)) != ReadStep::End;) {
        records.push_back(step == ReadStep::Spectrum ? Describe(spectrum)
                                                     : std::to_string(skipped.line) + ": " + skipped.reason);
        if (records.size() > 100) break;  // a reader that never ends
    }
    EXPECT_EQ(reader->Next(spectrum, skipped), ReadStep::End) << "End is final";
    return records;
}

struct ReaderCase {
    const char* name;
    const char* file;
    std::string text;
    std::vector<std::string> expected;
};

const std::string kLong(70000, '1');

const ReaderCase kMgfCases[] = {
    {"two blocks, globals, comments, extra columns, CR LF, keys in any case", "a.mgf",
     "\xEF\xBB\xBF" "COM=run 7\r\nCHARGE=1+\r\n\r\n# first\r\nBEGIN IONS\r\nTITLE=glucose = sugar\r\n"
     "PEPMASS=203.0526 1200\r\nCHARGE=1+\r\nRTINSECONDS=12.5\r\n203.0526 100 1+\r\n"
     "204.0560\t6.9\r\nEND IONS\r\n"
     "begin ions\n  pepmass = 181.0707\ncharge=2+ and 3-\n181.0707 1e2\n+182.074 -0\nend ions\n",
     {"#1 @5 'glucose = sugar' mz=203.0526 z=1+ 203.0526:100.00 204.0560:6.90",
      "#2 @13 '' mz=181.0707 z=2+3- 181.0707:100.00 182.0740:-0.00"}},
    {"a block without PEPMASS, CHARGE list with commas and a bare number", "A.MGF",
     "BEGIN IONS\nCHARGE=2,3+\n100.5 3\nEND IONS\n", {"#1 @1 '' z=23+ 100.5000:3.00"}},
    {"a faulty block is skipped whole and the next one read", "a.mgf",
     "BEGIN IONS\nTITLE=bad\n100 1\n100,5 2\n101 3\nEND IONS\nBEGIN IONS\nTITLE=good\n100 1\nEND IONS\n",
     {"4: m/z is not a positive number: 100,5", "#2 @7 'good' 100.0000:1.00"}},
    {"each fault of a block, with the line to blame", "a.mgf",
     "BEGIN IONS\n100\nEND IONS\n"
     "BEGIN IONS\n-5 1\nEND IONS\n"
     "BEGIN IONS\n5 -1\nEND IONS\n"
     "BEGIN IONS\n5 nan\nEND IONS\n"
     "BEGIN IONS\nPEPMASS=zero\n5 1\nEND IONS\n"
     "BEGIN IONS\nPEPMASS=0\n5 1\nEND IONS\n"
     "BEGIN IONS\nCHARGE=0\n5 1\nEND IONS\n"
     "BEGIN IONS\nCHARGE=+2+\n5 1\nEND IONS\n"
     "BEGIN IONS\nTITLE=empty\nEND IONS\n"
     "BEGIN IONS\nsome words\nEND IONS\n"
     "BEGIN IONS\n" + kLong + " 1\nEND IONS\n",
     {"2: a peak needs its m/z and intensity", "5: m/z is not a positive number: -5",
      "8: intensity is not a number of at least 0: -1", "11: intensity is not a number of at least 0: nan",
      "14: PEPMASS is not a positive m/z: zero", "18: PEPMASS is not a positive m/z: 0",
      "22: CHARGE is not a charge: 0", "26: CHARGE is not a charge: +2+", "29: no peaks",
      "33: neither a peak nor KEY=value", "36: line longer than 65536 bytes"}},
    {"blocks that do not end", "a.mgf",
     "BEGIN IONS\n100 1\nBEGIN IONS\nTITLE=second\n100 1\nEND IONS\nBEGIN IONS\n100 1\n",
     {"1: no END IONS before the next BEGIN IONS", "#2 @3 'second' 100.0000:1.00", "7: no END IONS"}},
    {"a fault, then the block's rest up to the next BEGIN IONS", "a.mgf",
     "BEGIN IONS\nx\n100 1\nBEGIN IONS\n100 1\nEND IONS\n", {"2: neither a peak nor KEY=value",
                                                             "#2 @4 '' 100.0000:1.00"}},
    {"lines outside blocks: one report per run", "a.mgf",
     "BEGN IONS\n100 1\n101 2\nEND IONS\nBEGIN IONS\n100 1\nEND IONS\n7 7\n",
     {"1: outside a BEGIN IONS ... END IONS block", "4: END IONS without BEGIN IONS",
      "#1 @5 '' 100.0000:1.00", "8: outside a BEGIN IONS ... END IONS block"}},
    {"an empty file", "a.mgf", "", {}},
};

const ReaderCase kPeakListCases[] = {
    {"header, semicolons, CR LF, blank lines", "p.csv", "m/z;intensity\r\n181.0707;100\r\n\r\n182.074;6.9\r\n",
     {"#1 @1 '' 181.0707:100.00 182.0740:6.90"}},
    {"no header, blanks and tabs, a comma with blanks", "p.TXT", "  181.0707 \t 100\n182.074, 6.9\n",
     {"#1 @1 '' 181.0707:100.00 182.0740:6.90"}},
    {"a decimal comma is refused, not read as more peaks", "p.csv", "mz;int\n181,07;100\n",
     {"2: expected two columns, m/z and intensity, found 3"}},
    {"a header only where the list starts", "p.tsv", "181\t1\nmz\tint\n",
     {"2: m/z is not a positive number: mz"}},
    {"one column", "p.tsv", "181\n", {"1: expected two columns, m/z and intensity, found 1"}},
    {"a negative intensity", "p.txt", "181 -1\n", {"1: intensity is not a number of at least 0: -1"}},
    {"nothing but a header", "p.txt", "\nmz intensity\n", {"2: no peaks"}},
    {"an empty file", "p.txt", "", {"1: no peaks"}},
};

TEST(SpectrumReader, MgfBlocks) {
    for (const ReaderCase& c : kMgfCases) EXPECT_EQ(ReadAll(c.file, c.text), c.expected) << c.name;
}

TEST(SpectrumReader, PeakLists) {
    for (const ReaderCase& c : kPeakListCases) EXPECT_EQ(ReadAll(c.file, c.text), c.expected) << c.name;
}

TEST(SpectrumReader, NumbersReadWithAPointUnderACommaLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale";
    EXPECT_EQ(ReadAll("p.txt", "181.0707 100.5\n"), std::vector<std::string>{"#1 @1 '' 181.0707:100.50"});
    EXPECT_EQ(ReadAll("p.txt", "181,0707 100\n"),
              std::vector<std::string>{"1: expected two columns, m/z and intensity, found 3"});
    std::setlocale(LC_ALL, "C");
}

TEST(SpectrumReader, FormatFromTheExtension) {
    for (const char* name : {"x.mgf", "dir.v2/x.Mgf", "x.txt", "x.csv", "x.tsv"}) {
        EXPECT_NE(ReadAll(name, ""), std::vector<std::string>{"no reader"}) << name;
    }
    for (const char* name : {"x.mzML", "x", "dir.mgf/x", "x.mgf.gz"}) {
        EXPECT_EQ(ReadAll(name, ""), std::vector<std::string>{"no reader"}) << name;
    }
}

TEST(SearchedMz, PrecursorThenTypedThenLightestPeakOfOnePercent) {
    Spectrum spectrum;
    spectrum.peaks = {{false, 300.0, 0.9}, {false, 301.0, 1.0}, {false, 302.0, 100.0}, {false, 299.0, 0.5}};
    EXPECT_EQ(SearchedMz(spectrum, std::nullopt), 301.0);  // 0.9 and 0.5 are under 1 % of 100
    EXPECT_EQ(SearchedMz(spectrum, 250.5), 250.5);
    spectrum.precursorMz = 302.5;
    EXPECT_EQ(SearchedMz(spectrum, 250.5), 302.5);
    Spectrum silent;
    silent.peaks = {{false, 300.0, 0.0}};
    EXPECT_EQ(SearchedMz(silent, std::nullopt), std::nullopt);
    EXPECT_EQ(SearchedMz(silent, 300.0), 300.0);
}

TEST(ChargeAgrees, StatedChargesLimitTheIons) {
    Spectrum spectrum;
    EXPECT_TRUE(ChargeAgrees(spectrum, -1));
    spectrum.charges = {{2, 1}, {1, 0}};
    const struct {
        int ionCharge;
        bool agrees;
    } cases[] = {{0, true}, {1, true}, {-1, true}, {2, true}, {-2, false}, {3, false}};
    for (const auto& c : cases) EXPECT_EQ(ChargeAgrees(spectrum, c.ionCharge), c.agrees) << c.ionCharge;
}

TEST(SpectrumName, TitleElseFileAndIndex) {
    Spectrum spectrum;
    spectrum.index = 3;
    EXPECT_EQ(SpectrumName(spectrum, "run/a.mgf"), "run/a.mgf#3");
    spectrum.title = "glucose";
    EXPECT_EQ(SpectrumName(spectrum, "run/a.mgf"), "glucose");
}

}  // namespace
}  // namespace ionsift
