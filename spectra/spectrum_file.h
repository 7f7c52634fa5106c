// Spectrum files as the tool window and the command line open them: first
// the spectra a file holds are listed (cheaply, without reading their
// peaks), then one of them is read.
//
//   SpectrumListing listing;
//   SpectrumFileProblem problem;
//   if (!ListSpectra(path, listing, problem)) show(problem.Message(name));
//   Spectrum picked;
//   if (!ReadListedSpectrum(path, listing, chosen, picked, problem)) ...
//
// Formats, from the extension (any letter case):
//   .mzML   indexed or not; MS1 spectra only; binary arrays base64, plain or
//           zlib, 32- or 64-bit floats; profile spectra are centroided
//   .mzXML  the same, <scan msLevel="1"> elements
//   .mgf    BEGIN IONS ... END IONS blocks, listed by TITLE and PEPMASS
//   .msp    records listed by Name:, their peaks after Num Peaks:
//   .txt .csv .tsv .xy   one peak table (spectra/peak_table.h)
//
// Memory stays bounded whatever the file's size: an indexed mzML or mzXML
// is read through its index, any other file once as a stream, and reading
// a spectrum reads only that spectrum's element or block. No function here
// throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spectra/spectrum.h"

namespace ionsift {

enum class SpectrumFileFormat { MzML, MzXML, Mgf, Msp, PeakTable };

// Patterns for a file dialog's filter, ";"-separated.
constexpr const char* kSpectrumFilePatterns = "*.mzML;*.mzXML;*.mgf;*.msp;*.txt;*.csv;*.tsv;*.xy";

// The format for a file name's extension; nothing for an unknown one.
std::optional<SpectrumFileFormat> SpectrumFileFormatFor(const std::filesystem::path& file);

// Why a file or text was refused, and where in it.
struct SpectrumFileProblem {
    std::string where;   // "line 12", "byte 40960", or "" for the whole file
    std::string reason;  // "truncated base64 array", "is a directory", ...
    // "<fileName>: <where>: <reason>" (without "<where>: " when it is empty).
    std::string Message(std::string_view fileName) const;
};

// One spectrum of a file as a pick list shows it.
struct SpectrumEntry {
    std::string title;                      // MGF TITLE, MSP Name, mzML id; may be ""
    std::optional<long long> scan;          // mzML/mzXML scan number
    std::optional<double> retentionMinutes; // mzML/mzXML
    std::optional<double> basePeakMz;       // mzML/mzXML, as the file states it or from its peaks
    std::optional<double> basePeakIntensity;
    std::optional<double> precursorMz;      // MGF PEPMASS, MSP PrecursorMZ
    std::uint64_t offset = 0;               // byte where its element or block starts
    std::size_t line = 0;                   // text formats: the line it starts on
};

struct SpectrumListing {
    SpectrumFileFormat format = SpectrumFileFormat::PeakTable;
    std::vector<SpectrumEntry> entries;  // in file order; MS1 only for mzML/mzXML
    // MGF blocks and MSP records left out of the list as damaged, each with
    // its line and reason (a file of nothing else is refused whole); the
    // first 1,000 of them.
    std::vector<SpectrumFileProblem> skipped;
};

// Lists the spectra of `file`. False with `problem` set for a file that
// cannot be opened or read (missing, a directory, held by another program,
// beyond what can be read in bounded memory), has an unknown extension, is
// damaged where listing looks, or holds no spectrum.
bool ListSpectra(const std::filesystem::path& file, SpectrumListing& listing, SpectrumFileProblem& problem);

// Reads entry `entry` of a listing of `file` into `spectrum`: its title,
// precursor and peaks (m/z and intensity as the file gives them, centroided
// when the file holds a profile), in rising m/z. False with `problem` set
// for a damaged spectrum (a truncated base64 array or zlib stream, an array
// length that disagrees with the data, a number that does not read, ...).
bool ReadListedSpectrum(const std::filesystem::path& file, const SpectrumListing& listing, std::size_t entry,
                        Spectrum& spectrum, SpectrumFileProblem& problem);

}  // namespace ionsift
