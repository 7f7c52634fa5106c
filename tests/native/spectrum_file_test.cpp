// Spectrum files as the tool window and the command line open them: mzML and
// mzXML in every encoding written by tests/native/spectrum_file_writer.h,
// MGF and MSP with several records, vendor-like peak tables, the edit's text,
// and a refusal for every kind of damage, naming the file and the place.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "isotopes/instrument_view.h"
#include "spectra/exdata_text.h"
#include "spectra/peak_table.h"
#include "spectra/spectrum_file.h"
#include "tests/native/db_test_files.h"
#include "tests/native/spectrum_file_writer.h"

namespace ionsift {
namespace {

using dbtool::TempDir;
using spectrum_files::Encoding;
using spectrum_files::Scan;
namespace fs = std::filesystem;

// Two peaks sampled symmetrically about their centres (300.1 and 301.1,
// apexes 800 and 200), zeros between: by symmetry each centroid is its
// centre and its height the apex.
Scan ProfileScan() {
    Scan scan{3, 1, 120, true, {}, {}, true};
    for (const auto& [centre, apex] : {std::pair{300.1, 800.0}, std::pair{301.1, 200.0}}) {
        for (int k = -12; k <= 12; ++k) {
            scan.mz.push_back(centre + k * 0.002);
            scan.intensity.push_back(std::abs(k) > 10 ? 0 : apex * std::exp(-(k * 0.002) * (k * 0.002) / (2 * 16e-6)));
        }
    }
    return scan;
}

std::vector<Scan> SampleScans() {
    return {
        {1, 1, 90, false, {181.0707, 182.074, 183.0765}, {1000, 69, 14}, true},
        {2, 2, 91, false, {85.03, 127.04}, {500, 300}, true},
        ProfileScan(),
        {4, 1, 150, false, {400.5, 401.5}, {10, 30}, false},  // base peak from its peaks
    };
}

std::string Peaks(const Spectrum& spectrum, int decimals) {
    std::string text;
    char buffer[80];
    for (const TPeak& peak : spectrum.peaks) {
        std::snprintf(buffer, sizeof buffer, "%.*f:%.*f ", decimals, peak.Mass, 2, peak.Prob);
        text += buffer;
    }
    return text;
}

TEST(SpectrumFile, MzmlAndMzxmlInEveryEncoding) {
    TempDir dir;
    for (const bool mzxml : {false, true})
        for (const bool indexed : {true, false})
            for (const int bits : {32, 64})
                for (const bool zlib : {false, true}) {
                    const Encoding encoding{bits, zlib, indexed};
                    const std::string name = std::string(mzxml ? "run.mzXML" : "run.mzML");
                    SCOPED_TRACE(name + (indexed ? " indexed" : "") + " " + std::to_string(bits) + "-bit" +
                                 (zlib ? " zlib" : ""));
                    dir.Write(name, mzxml ? spectrum_files::Mzxml(SampleScans(), encoding)
                                          : spectrum_files::Mzml(SampleScans(), encoding));
                    const fs::path file = dir.path() / name;
                    SpectrumListing listing;
                    SpectrumFileProblem problem;
                    ASSERT_TRUE(ListSpectra(file, listing, problem)) << problem.Message(name);
                    ASSERT_EQ(listing.entries.size(), 3u);  // the MS2 scan is not listed
                    const double rt[] = {1.5, 2.0, 2.5};
                    const long scans[] = {1, 3, 4};
                    const double basePeak[] = {181.0707, 300.1, 401.5};
                    for (std::size_t i = 0; i < 3; ++i) {
                        const SpectrumEntry& entry = listing.entries[i];
                        EXPECT_EQ(entry.scan.value_or(-1), scans[i]);
                        EXPECT_NEAR(entry.retentionMinutes.value_or(-1), rt[i], 1e-12);
                        if (!mzxml || i == 2) {  // the mzXML written states no base peak: it is found
                            EXPECT_NEAR(entry.basePeakMz.value_or(-1), basePeak[i], bits == 32 ? 3e-5 : 1e-9);
                        }
                    }
                    // Exact values: a 32-bit array holds the floats nearest them.
                    const auto stored = [&](double v) { return bits == 32 ? double(float(v)) : v; };
                    Spectrum spectrum;
                    ASSERT_TRUE(ReadListedSpectrum(file, listing, 0, spectrum, problem)) << problem.Message(name);
                    ASSERT_EQ(spectrum.peaks.size(), 3u);
                    EXPECT_EQ(spectrum.peaks[0].Mass, stored(181.0707));
                    EXPECT_EQ(spectrum.peaks[1].Mass, stored(182.074));
                    EXPECT_EQ(spectrum.peaks[2].Prob, 14);
                    ASSERT_TRUE(ReadListedSpectrum(file, listing, 1, spectrum, problem)) << problem.Message(name);
                    ASSERT_EQ(spectrum.peaks.size(), 2u) << Peaks(spectrum, 6);
                    EXPECT_NEAR(spectrum.peaks[0].Mass, 300.1, bits == 32 ? 3e-5 : 1e-9);
                    EXPECT_NEAR(spectrum.peaks[1].Mass, 301.1, bits == 32 ? 3e-5 : 1e-9);
                    EXPECT_EQ(spectrum.peaks[0].Prob, 800);
                    EXPECT_EQ(spectrum.peaks[1].Prob, 200);
                    ASSERT_TRUE(ReadListedSpectrum(file, listing, 2, spectrum, problem)) << problem.Message(name);
                    EXPECT_EQ(Peaks(spectrum, 1), "400.5:10.00 401.5:30.00 ");
                }
}

TEST(SpectrumFile, ProfileModeFromAReferenceableParamGroup) {
    TempDir dir;
    std::string text = spectrum_files::Mzml({ProfileScan()}, {64, false, false});
    const std::string param = "<cvParam cvRef=\"MS\" accession=\"MS:1000128\" name=\"profile spectrum\" value=\"\"/>";
    text.replace(text.find(param), param.size(), "<referenceableParamGroupRef ref=\"modes\"/>");
    const std::string run = "<run id=\"r\">";
    text.insert(text.find(run), "<referenceableParamGroupList count=\"1\"><referenceableParamGroup id=\"modes\">" +
                                    param + "</referenceableParamGroup></referenceableParamGroupList>\n");
    dir.Write("grouped.mzML", text);
    SpectrumListing listing;
    SpectrumFileProblem problem;
    Spectrum spectrum;
    ASSERT_TRUE(ListSpectra(dir.path() / "grouped.mzML", listing, problem) &&
                ReadListedSpectrum(dir.path() / "grouped.mzML", listing, 0, spectrum, problem))
        << problem.Message("grouped.mzML");
    EXPECT_EQ(Peaks(spectrum, 4), "300.1000:800.00 301.1000:200.00 ");
}

TEST(SpectrumFile, LargeIndexedFileOpensThroughItsIndex) {
    // 5 GB with a hole: the index points past 4 GiB, and nothing between
    // the spectra is read.
    TempDir dir;
    const fs::path file = dir.path() / "large.mzML";
    const std::vector<Scan> scans = SampleScans();
    const Encoding encoding{64, true, true};
    std::string head = "<?xml version=\"1.0\"?>\n<indexedmzML>\n<mzML>\n<run>\n<spectrumList count=\"2\">\n";
    const std::uint64_t first = head.size();
    head += spectrum_files::MzmlSpectrum(scans[0], 0, encoding);
    const std::uint64_t second = 5000000000ull;
    std::string tail = spectrum_files::MzmlSpectrum(scans[2], 1, encoding) + "</spectrumList>\n</run>\n</mzML>\n";
    const std::uint64_t indexAt = second + tail.size();
    tail += "<indexList count=\"1\"><index name=\"spectrum\"><offset idRef=\"a\">" + std::to_string(first) +
            "</offset><offset idRef=\"b\">" + std::to_string(second) + "</offset></index></indexList>\n"
            "<indexListOffset>" + std::to_string(indexAt) + "</indexListOffset>\n</indexedmzML>\n";
    {
        std::ofstream out(file, std::ios::binary);
        out << head;
        out.seekp(static_cast<std::streamoff>(second));
        out << tail;
        ASSERT_TRUE(out.good());
    }
    SpectrumListing listing;
    SpectrumFileProblem problem;
    ASSERT_TRUE(ListSpectra(file, listing, problem)) << problem.Message("large.mzML");
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(listing.entries[1].offset, second);
    Spectrum spectrum;
    ASSERT_TRUE(ReadListedSpectrum(file, listing, 1, spectrum, problem)) << problem.Message("large.mzML");
    EXPECT_EQ(Peaks(spectrum, 4), "300.1000:800.00 301.1000:200.00 ");
}

TEST(SpectrumFile, MgfAndMspListedByTitleAndRead) {
    TempDir dir;
    dir.Write("lib.mgf",
              "BEGIN IONS\nTITLE=glucose\nPEPMASS=203.0526 1200\n203.0526 100\n204.056 6.9\nEND IONS\n\n"
              "BEGIN IONS\nTITLE=broken\n203.05 x\nEND IONS\n"
              "BEGIN IONS\r\nTITLE=caffeine\r\nPEPMASS=195.0877\r\n195.0877 100\r\n196.0911 9.5\r\nEND IONS\r\n");
    dir.Write("lib.msp",
              "Name: glucose [M+Na]+\nPrecursorMZ: 203.0526\nNum Peaks: 3\n203.0526 100; 204.056 6.9\n"
              "205.0569 1.4 \"M+2\"\n\n"
              "Name: miscounted\nNum Peaks: 3\n100 1\n101 2\n\n"
              "Name: caffeine\nComments: \"a; b\"\nNum Peaks: 2\n195.0877\t100\n196.0911\t9.5\n");
    const struct {
        const char* file;
        std::vector<std::string> titles;
        std::vector<double> precursors;
        std::string skipped;
        std::size_t read;
        std::string peaks;
    } cases[] = {
        {"lib.mgf", {"glucose", "caffeine"}, {203.0526, 195.0877}, "line 10: intensity is not a number of at least 0: x",
         1, "195.0877:100.00 196.0911:9.50 "},
        {"lib.msp", {"glucose [M+Na]+", "caffeine"}, {203.0526, 0}, "line 7: Num Peaks states 3, the record holds 2", 0,
         "203.0526:100.00 204.0560:6.90 205.0569:1.40 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SpectrumListing listing;
        SpectrumFileProblem problem;
        ASSERT_TRUE(ListSpectra(dir.path() / c.file, listing, problem)) << problem.Message(c.file);
        ASSERT_EQ(listing.entries.size(), c.titles.size());
        for (std::size_t i = 0; i < c.titles.size(); ++i) {
            EXPECT_EQ(listing.entries[i].title, c.titles[i]);
            EXPECT_EQ(listing.entries[i].precursorMz.value_or(0), c.precursors[i]);
        }
        ASSERT_EQ(listing.skipped.size(), 1u);
        EXPECT_EQ(listing.skipped[0].where + ": " + listing.skipped[0].reason, c.skipped);
        Spectrum spectrum;
        ASSERT_TRUE(ReadListedSpectrum(dir.path() / c.file, listing, c.read, spectrum, problem))
            << problem.Message(c.file);
        EXPECT_EQ(spectrum.title, c.titles[c.read]);
        EXPECT_EQ(Peaks(spectrum, 4), c.peaks);
    }
}

TEST(PeakTable, VendorTablesSeparatorsAndDecimalCommas) {
    const struct {
        const char* name;
        const char* text;
        std::string peaks;  // "mz:intensity " each
    } cases[] = {
        {"vendor table, blanks, header, decimal commas",
         "Spectrum 12\n\n m/z        Res.    S/N    I        I%      FWHM\n"
         " 181,0707   41000   812    1234567  100,00  0,0044\n 182,0740   40500   60     85190    6,90    0,0045\n",
         "181.0707:1234567.00 182.0740:85190.00 "},
        {"German semicolons", "m/z;Intensität\r\n181,0707;100\r\n182,074;6,9\r\n", "181.0707:100.00 182.0740:6.90 "},
        {"tabs with multi-word names, relative column only", "Mass\tRes.\trel. int.\n181.0707\t41000\t100\n182.074\t40500\t6.9\n",
         "181.0707:100.00 182.0740:6.90 "},
        {"blanks with a multi-word name", "m/z rel. int. S/N\n181.0707 100 812\n182.074 6.9 60\n",
         "181.0707:100.00 182.0740:6.90 "},
        {"intensity column before m/z", "Intensity,m/z\n100,181.0707\n6.9,182.074\n", "181.0707:100.00 182.0740:6.90 "},
        {"comma-separated values, quoted", "\"mz\",\"abundance\"\n\"181.0707\",\"100\"\n", "181.0707:100.00 "},
        {"no header: the first two numeric columns", "1 181.0707 100\n2 182.074 6.9\n", "1.0000:181.07 2.0000:182.07 "},
        {"xy with a footer", "181.0707 100\n182.074 6.9\nEnd of list\n", "181.0707:100.00 182.0740:6.90 "},
        {"thousands grouped by commas, decimal points", "m/z\tI\n181.0707\t1,234,567\n182.074\t85,190.5\n",
         "181.0707:1234567.00 182.0740:85190.50 "},
        {"thousands grouped by points, decimal commas", "m/z  I\n181,0707  1.234.567\n182,074  85.190,5\n",
         "181.0707:1234567.00 182.0740:85190.50 "},
        {"an intensity in exponent form", "mz intensity\n181.0707 1.2e6\n", "181.0707:1200000.00 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TPeak> peaks;
        SpectrumFileProblem problem;
        ASSERT_TRUE(ReadPeakTable(c.text, peaks, problem)) << problem.Message("pasted");
        std::string text;
        char buffer[80];
        for (const TPeak& peak : peaks) {
            std::snprintf(buffer, sizeof buffer, "%.4f:%.2f ", peak.Mass, peak.Prob);
            text += buffer;
        }
        EXPECT_EQ(text, c.peaks);
    }
    // Refusals name the line.
    const struct {
        const char* text;
        std::string message;
    } refusals[] = {
        {"mz intensity\n181.07 100\n182.07 -1\n", "pasted: line 3: intensity is not a number of at least 0: -1"},
        {"mz;int\n181,07;100\n182,07;abc\n", "pasted: line 3: intensity is not a number of at least 0: abc"},
        {"only words\nhere\n", "pasted: no row with an m/z and an intensity"},
        {"", "pasted: no row with an m/z and an intensity"},
    };
    for (const auto& r : refusals) {
        std::vector<TPeak> peaks;
        SpectrumFileProblem problem;
        EXPECT_FALSE(ReadPeakTable(r.text, peaks, problem));
        EXPECT_EQ(problem.Message("pasted"), r.message);
    }
}

TEST(ExDataText, WindowTallestAndScale) {
    std::vector<TPeak> many;
    for (int i = 0; i < 300; ++i) many.push_back({false, 500 + i * 0.01, static_cast<double>(i % 7 + 1)});
    const std::string text = ExDataText(many, std::nullopt);
    // Peak i has height i % 7 + 1: 42 of 7 (i = 6, 13, ...) and 43 each of
    // 6 to 1. The 200 tallest: 42 + 3 * 43 = 171 of 7 to 4, then the 29
    // lightest of 3 (i = 2, 9, ..., 198); 3 / 7 = 42.857143 %.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 200);
    EXPECT_EQ(text.find(" 14.285714\r\n"), std::string::npos);
    EXPECT_EQ(text.find(" 28.571429\r\n"), std::string::npos);
    EXPECT_EQ(text.rfind("500.02 42.857143\r\n", 0), 0u);
    EXPECT_NE(text.find("\n501.98 42.857143\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\n502.05 "), std::string::npos);
    EXPECT_EQ(text.rfind("\n502.99 85.714286\r\n") + 19, text.size());  // the heaviest, a 6, last

    const struct {
        std::vector<TPeak> peaks;
        std::optional<double> searched;
        std::string text;
    } cases[] = {
        {{{false, 181.0707, 5000}, {false, 182.074, 345}}, 181.07, "181.0707 100\r\n182.074 6.9\r\n"},
        {{{false, 150, 9000}, {false, 180.07, 10}, {false, 187.07, 5}, {false, 187.08, 5}}, 181.07,
         "180.07 100\r\n187.07 50\r\n"},
        {{{false, double(float(181.0707)), 3}, {false, 182, 0}}, std::nullopt, "181.0707 100\r\n"},
        {{{false, 181.070712345678, 1}}, std::nullopt, "181.07071235 100\r\n"},
        {{{false, 150, 9000}}, 181.07, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExDataText(c.peaks, c.searched), c.text);
}

TEST(ProfileCentroids, HalfHeightMeanBetweenValleys) {
    const struct {
        std::vector<ProfilePoint> profile;
        std::vector<ProfilePoint> centroids;
    } cases[] = {
        // (100.2 * 100 + 100.3 * 60) / 160; 50 is not above half of 100.
        {{{100.0, 0}, {100.1, 50}, {100.2, 100}, {100.3, 60}, {100.4, 0}}, {{100.2375, 100}}},
        // Two maxima; the valley (10 at 200.3) bounds each; 30 at 200.4 is
        // below half of 80 and 28 at 200.2 above half of 40... no: 28 > 20.
        {{{200.0, 0}, {200.1, 40}, {200.2, 28}, {200.3, 10}, {200.4, 30}, {200.5, 80}, {200.6, 0}},
         {{(200.1 * 40 + 200.2 * 28) / 68, 40}, {200.5, 80}}},
    };
    for (const auto& c : cases) {
        const std::vector<ProfilePoint> got = ProfileCentroids(c.profile);
        ASSERT_EQ(got.size(), c.centroids.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].mz, c.centroids[i].mz, 1e-9);
            EXPECT_EQ(got[i].intensity, c.centroids[i].intensity);
        }
    }
}

// Damage of every kind: the message names the file, the place and what is wrong.
TEST(SpectrumFile, DamagedFilesAreRefusedWithThePlace) {
    TempDir dir;
    const std::vector<Scan> one = {SampleScans()[0]};
    const std::string plain = spectrum_files::Mzml(one, {64, false, true});
    const std::string packed = spectrum_files::Mzml(one, {64, true, false});
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        if (at == std::string::npos) std::abort();
        return text.replace(at, from.size(), to);
    };
    const auto firstBinary = [](const std::string& text) {
        const std::size_t start = text.find("<binary>") + 8;
        return text.substr(start, text.find("</binary>") - start);
    };
    const std::string base64 = firstBinary(plain);
    // The m/z array's zlib stream cut to half its bytes, then base64.
    const std::string halfStream = [&] {
        std::string raw;
        const double values[] = {181.0707, 182.074, 183.0765};
        std::string bytes(reinterpret_cast<const char*>(values), sizeof values);
        uLongf size = compressBound(static_cast<uLong>(bytes.size()));
        raw.resize(size);
        compress2(reinterpret_cast<Bytef*>(raw.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), 6);
        raw.resize(size / 2);
        return spectrum_files::Base64(raw);
    }();
    const std::string truncatedText = base64.substr(0, base64.size() / 2);
    const struct {
        const char* name;
        std::string file;
        std::string message;  // what the message holds after "<file>: "
    } cases[] = {
        {"t1.mzML", replaced(plain, base64, truncatedText), "truncated base64 array (16 of 32 characters)"},
        {"t2.mzML", replaced(replaced(replaced(plain, base64, base64.substr(0, 29)), "encodedLength=\"32\"", ""),
                             "encodedLength=\"32\"", ""),
         "m/z array: truncated base64 array"},
        {"t3.mzML", replaced(replaced(packed, firstBinary(packed), halfStream), "encodedLength=\"" +
                             std::to_string(firstBinary(packed).size()) + "\"", "encodedLength=\"" +
                             std::to_string(halfStream.size()) + "\""),
         "m/z array: truncated zlib stream"},
        {"t4.mzML", replaced(plain, "defaultArrayLength=\"3\"", "defaultArrayLength=\"4\""),
         "m/z array: array holds 3 values, its length states 4"},
        {"t5.mzML", replaced(packed, "defaultArrayLength=\"3\"", "defaultArrayLength=\"2\""),
         "m/z array: zlib stream holds more than the array length states"},
        {"t7.mzML", plain.substr(0, plain.find("<scanList") + 4), "the file ends inside a spectrum element"},
        {"t8.mzML", replaced(plain, "<scanList", "<scanList<"), "not well-formed XML"},
        {"t9.mzML", replaced(plain, "<binary>" + base64.substr(0, 4), "<binary>" + base64.substr(0, 3) + "*"),
         "m/z array: not base64"},
        {"t10.mzXML", replaced(spectrum_files::Mzxml(one, {32, false, false}), "peaksCount=\"3\"", "peaksCount=\"5\""),
         "peaks: array holds 6 values, its length states 10"},
        {"notxml.mzML", "m/z intensity\n181 100\n", "not an mzML file: no <mzML element at its start"},
        {"lib.msp", "Name: a\nNum Peaks: 2\n100 1\n", "line 1: Num Peaks states 2, the record holds 1"},
        {"run.raw", "anything", "not a spectrum file"},
        {"missing.mgf", "", "no such file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) != "missing.mgf") dir.Write(c.name, c.file);
        const fs::path file = dir.path() / c.name;
        SpectrumListing listing;
        SpectrumFileProblem problem;
        Spectrum spectrum;
        const bool read = ListSpectra(file, listing, problem) && ReadListedSpectrum(file, listing, 0, spectrum, problem);
        EXPECT_FALSE(read);
        const std::string message = problem.Message(c.name);
        EXPECT_EQ(message.rfind(std::string(c.name) + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        if (std::string(c.name).find(".mz") != std::string::npos && std::string(c.name) != "notxml.mzML") {
            EXPECT_NE(message.find(": byte "), std::string::npos) << message;
        }
        EXPECT_TRUE(spectrum.peaks.empty());
    }
}

// A file held open by another program: tests/win/spectrum_file_win_test.cpp.
TEST(SpectrumFile, DirectoriesAndHugeFiles) {
    TempDir dir;
    fs::create_directory(dir.path() / "folder.mzML");
    // 10 GB of nothing (sparse): refused at once, not read through.
    for (const char* name : {"huge.mzML", "huge.mzXML", "huge.csv", "huge.mgf", "huge.msp"}) {
        std::ofstream out(dir.path() / name, std::ios::binary);
        out.seekp(10000000000ll);
        out << '\n';
    }
    const struct {
        const char* name;
        std::string message;
    } cases[] = {
        {"folder.mzML", "folder.mzML: is a directory"},
        {"huge.mzML", "huge.mzML: not an mzML file: no <mzML element at its start"},
        {"huge.mzXML", "huge.mzXML: not an mzXML file: no <mzXML element at its start"},
        {"huge.csv", "huge.csv: a peak table of more than 64 MiB"},
        {"huge.mgf", "huge.mgf: byte 0: binary data, not text"},
        {"huge.msp", "huge.msp: byte 0: binary data, not text"},
    };
    for (const auto& c : cases) {
        SpectrumListing listing;
        SpectrumFileProblem problem;
        EXPECT_FALSE(ListSpectra(dir.path() / c.name, listing, problem));
        EXPECT_EQ(problem.Message(c.name), c.message);
    }
}

}  // namespace
}  // namespace ionsift
