// The spectrum readers in the 32-bit Windows build: a file another program
// holds open without sharing is refused with that reason and read once it
// is let go; a spectrum past 4 GiB is reached through the index.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "spectra/spectrum_file.h"
#include "tests/native/spectrum_file_writer.h"

namespace ionsift {
namespace {

namespace fs = std::filesystem;
using spectrum_files::Scan;

class SpectrumFileWin : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ionsift-spectra-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
    const Scan scan_{1, 1, 60, false, {181.0707, 182.074}, {1000, 66}, true};
};

TEST_F(SpectrumFileWin, FileHeldByAnotherProgramIsRefusedThenRead) {
    const fs::path file = dir_ / "held.mzML";
    std::ofstream(file, std::ios::binary) << spectrum_files::Mzml({scan_}, {64, true, true});
    const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SpectrumListing listing;
    SpectrumFileProblem problem;
    EXPECT_FALSE(ListSpectra(file, listing, problem));
    EXPECT_EQ(problem.Message("held.mzML"), "held.mzML: in use by another program, or not readable");
    CloseHandle(held);
    ASSERT_TRUE(ListSpectra(file, listing, problem)) << problem.Message("held.mzML");
    EXPECT_EQ(listing.entries.size(), 1u);
}

TEST_F(SpectrumFileWin, SpectrumPastFourGibibytesThroughTheIndex) {
    const fs::path file = dir_ / "large.mzML";
    const spectrum_files::Encoding encoding{64, true, true};
    const std::string head = "<?xml version=\"1.0\"?>\n<indexedmzML>\n<mzML>\n<run>\n<spectrumList count=\"1\">\n";
    const unsigned long long at = 5000000000ull;
    std::string tail = spectrum_files::MzmlSpectrum(scan_, 0, encoding) + "</spectrumList>\n</run>\n</mzML>\n";
    const unsigned long long indexAt = at + tail.size();
    tail += "<indexList count=\"1\"><index name=\"spectrum\"><offset idRef=\"a\">" + std::to_string(at) +
            "</offset></index></indexList>\n<indexListOffset>" + std::to_string(indexAt) +
            "</indexListOffset>\n</indexedmzML>\n";
    {
        const HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(out, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(out, head.data(), static_cast<DWORD>(head.size()), &written, nullptr);
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(at);
        SetFilePointerEx(out, position, nullptr, FILE_BEGIN);
        ASSERT_TRUE(WriteFile(out, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr));
        CloseHandle(out);
    }
    SpectrumListing listing;
    SpectrumFileProblem problem;
    ASSERT_TRUE(ListSpectra(file, listing, problem)) << problem.Message("large.mzML");
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].offset, at);
    Spectrum spectrum;
    ASSERT_TRUE(ReadListedSpectrum(file, listing, 0, spectrum, problem)) << problem.Message("large.mzML");
    ASSERT_EQ(spectrum.peaks.size(), 2u);
    EXPECT_EQ(spectrum.peaks[0].Mass, 181.0707);
    EXPECT_EQ(spectrum.peaks[1].Prob, 66);
}

}  // namespace
}  // namespace ionsift
