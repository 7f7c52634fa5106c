// Spectrum files at the sizes users bring: the MS1 scans of a 1 GB indexed
// mzML listed, one profile spectrum read and centroided from it (with the
// peak memory of a process that does only that), and a pasted vendor table
// of 10,000 rows read and written as the edit's text. The mzML is generated
// on the first run under build/ and kept.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "spectra/exdata_text.h"
#include "spectra/peak_table.h"
#include "spectra/spectrum_file.h"
#include "tests/native/spectrum_file_writer.h"

namespace {

using namespace ionsift;
namespace fs = std::filesystem;

constexpr std::size_t kSpectra = 5200;
constexpr std::size_t kProfilePoints = 12000;  // 64-bit, uncompressed: 256 KB of base64 a spectrum

spectrum_files::Scan GeneratedScan(std::size_t i) {
    spectrum_files::Scan scan;
    scan.scan = static_cast<long>(i + 1);
    scan.rtSeconds = 0.5 * static_cast<double>(i);
    if (i % 4 == 3) {  // an MS2 scan after every three MS1 scans
        scan.msLevel = 2;
        scan.mz = {150.1, 233.2, 310.3};
        scan.intensity = {100, 40, 10};
        return scan;
    }
    scan.profile = true;
    for (std::size_t k = 0; k < kProfilePoints; ++k) {
        const double mz = 200 + k * 0.05;
        const double offset = std::fmod(mz - 200, 0.5) - 0.25;  // a peak every 0.5
        scan.mz.push_back(mz);
        scan.intensity.push_back(1000 * std::exp(-offset * offset / (2 * 0.01 * 0.01)) + (k * 7 + i) % 13);
    }
    return scan;
}

const fs::path& LargeMzml() {
    static const fs::path file = fs::path(IONSIFT_BENCH_DATA) / "large-indexed.mzML";
    if (fs::exists(file) && fs::file_size(file) > 1000000000) return file;
    fs::create_directories(file.parent_path());
    const fs::path partial = file.string() + ".partial";
    std::ofstream out(partial, std::ios::binary);
    const spectrum_files::Encoding encoding{64, false, true};
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<indexedmzML xmlns=\"http://psi.hupo.org/ms/mzml\">\n"
                       "<mzML xmlns=\"http://psi.hupo.org/ms/mzml\" version=\"1.1.0\">\n<run id=\"r\">\n"
                       "<spectrumList count=\"" + std::to_string(kSpectra) + "\">\n";
    std::uint64_t written = 0;
    std::vector<std::uint64_t> offsets;
    for (std::size_t i = 0; i < kSpectra; ++i) {
        offsets.push_back(written + text.size());
        text += spectrum_files::MzmlSpectrum(GeneratedScan(i), i, encoding);
        written += text.size();
        out << text;
        text.clear();
    }
    text += "</spectrumList>\n</run>\n</mzML>\n";
    const std::uint64_t indexAt = written + text.size();
    text += "<indexList count=\"1\">\n<index name=\"spectrum\">\n";
    for (std::size_t i = 0; i < kSpectra; ++i)
        text += "<offset idRef=\"scan=" + std::to_string(i + 1) + "\">" + std::to_string(offsets[i]) + "</offset>\n";
    text += "</index>\n</indexList>\n<indexListOffset>" + std::to_string(indexAt) +
            "</indexListOffset>\n<fileChecksum>0</fileChecksum>\n</indexedmzML>\n";
    out << text;
    out.close();
    fs::rename(partial, file);
    return file;
}

void BM_ListMs1Scans_1GB(benchmark::State& state) {
    const fs::path& file = LargeMzml();
    SpectrumListing listing;
    SpectrumFileProblem problem;
    for (auto _ : state) {
        if (!ListSpectra(file, listing, problem)) state.SkipWithError(problem.Message("mzML").c_str());
        benchmark::DoNotOptimize(listing.entries.data());
    }
    state.counters["ms1_scans"] = static_cast<double>(listing.entries.size());
    state.counters["file_GB"] = static_cast<double>(fs::file_size(file)) / 1e9;
}
BENCHMARK(BM_ListMs1Scans_1GB)->Unit(benchmark::kMillisecond)->MinTime(2);

// The peak resident memory of a fresh process that lists the file and reads
// one spectrum: what opening a spectrum costs a host.
double ChildPeakMegabytes(const fs::path& file) {
    const pid_t child = fork();
    if (child == 0) {
        SpectrumListing listing;
        SpectrumFileProblem problem;
        Spectrum spectrum;
        const bool ok = ListSpectra(file, listing, problem) &&
                        ReadListedSpectrum(file, listing, listing.entries.size() / 2, spectrum, problem);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss / 1024.0 : -1;
}

void BM_ReadOneProfileSpectrum_1GB(benchmark::State& state) {
    const fs::path& file = LargeMzml();
    SpectrumListing listing;
    SpectrumFileProblem problem;
    if (!ListSpectra(file, listing, problem)) state.SkipWithError(problem.Message("mzML").c_str());
    Spectrum spectrum;
    std::size_t entry = 0;
    for (auto _ : state) {
        entry = (entry + 997) % listing.entries.size();  // a different place each time
        if (!ReadListedSpectrum(file, listing, entry, spectrum, problem))
            state.SkipWithError(problem.Message("mzML").c_str());
    }
    state.counters["centroids"] = static_cast<double>(spectrum.peaks.size());
    state.counters["process_peak_MB"] = ChildPeakMegabytes(file);
}
BENCHMARK(BM_ReadOneProfileSpectrum_1GB)->Unit(benchmark::kMillisecond);

// A vendor table as copied: header, six columns, decimal commas.
void BM_PasteVendorTable_10k(benchmark::State& state) {
    std::string text = "m/z\tRes.\tS/N\tI\tI%\tFWHM\r\n";
    char row[160];
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(row, sizeof row, "%.4f\t%d\t%d\t%d\t%.2f\t%.4f\r\n", 150 + i * 0.0731, 40000 + i % 900, 10 + i % 700,
                      1000 + (i * 7919) % 100000, ((i * 7919) % 100000) / 1000.0, 0.0040 + (i % 9) * 0.0001);
        for (char* c = row; *c; ++c)
            if (*c == '.') *c = ',';
        text += row;
    }
    std::vector<TPeak> peaks;
    SpectrumFileProblem problem;
    std::string edit;
    for (auto _ : state) {
        if (!ReadPeakTable(text, peaks, problem)) state.SkipWithError(problem.Message("pasted").c_str());
        edit = ExDataText(peaks, 500.0);
        benchmark::DoNotOptimize(edit.data());
    }
    state.counters["rows"] = static_cast<double>(peaks.size());
}
BENCHMARK(BM_PasteVendorTable_10k)->Unit(benchmark::kMillisecond);

}  // namespace
