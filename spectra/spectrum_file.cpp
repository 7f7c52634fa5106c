#include "spectra/spectrum_file.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "spectra/file_stream.h"
#include "spectra/mgf_reader.h"
#include "spectra/msp_reader.h"
#include "spectra/peak_table.h"
#include "spectra/xml_spectra.h"

namespace ionsift {
namespace {

// A peak table is read whole; one larger than this cannot be a peak list.
constexpr std::uint64_t kMaxPeakTableBytes = 64 << 20;
// A list longer than this would not fit a 32-bit host's memory with ease.
constexpr std::size_t kMaxListedBlocks = 2000000;
// Damaged blocks kept with their reasons; more are only counted.
constexpr std::size_t kMaxSkippedKept = 1000;

struct Extension {
    const char* extension;
    SpectrumFileFormat format;
};
const Extension kExtensions[] = {
    {".mzml", SpectrumFileFormat::MzML}, {".mzxml", SpectrumFileFormat::MzXML}, {".mgf", SpectrumFileFormat::Mgf},
    {".msp", SpectrumFileFormat::Msp},   {".txt", SpectrumFileFormat::PeakTable}, {".csv", SpectrumFileFormat::PeakTable},
    {".tsv", SpectrumFileFormat::PeakTable}, {".xy", SpectrumFileFormat::PeakTable},
};

std::string LineWhere(std::size_t line) { return "line " + std::to_string(line); }

// Text formats: a NUL byte near the start means some other, binary file.
bool LooksLikeText(FileBytes& file, SpectrumFileProblem& problem) {
    std::string start;
    if (!file.ReadAt(0, 64 << 10, start)) {
        problem = {"", "read error"};
        return false;
    }
    const std::size_t nul = start.find('\0');
    if (nul != std::string::npos) {
        problem = {"byte " + std::to_string(nul), "binary data, not text"};
        return false;
    }
    return true;
}

std::unique_ptr<SpectrumReader> BlockReader(SpectrumFileFormat format, std::istream& in, std::size_t linesBefore,
                                            std::uint64_t bytesBefore) {
    if (format == SpectrumFileFormat::Mgf) return std::make_unique<MgfReader>(in, linesBefore, bytesBefore);
    return std::make_unique<MspReader>(in, linesBefore, bytesBefore);
}

bool ListBlocks(FileBytes& file, SpectrumListing& listing, SpectrumFileProblem& problem) {
    if (!LooksLikeText(file, problem)) return false;
    FileStreamBuf buffer(file, 0);
    std::istream in(&buffer);
    const std::unique_ptr<SpectrumReader> reader = BlockReader(listing.format, in, 0, 0);
    Spectrum spectrum;
    SkippedBlock skipped;
    for (ReadStep step; (step = reader->Next(spectrum, skipped)) != ReadStep::End;) {
        if (step == ReadStep::Skipped) {
            if (listing.skipped.size() < kMaxSkippedKept) {
                listing.skipped.push_back({LineWhere(skipped.line), skipped.reason});
            }
            continue;
        }
        if (listing.entries.size() >= kMaxListedBlocks) {
            listing.entries.clear();
            problem = {LineWhere(spectrum.line), "more than " + std::to_string(kMaxListedBlocks) + " spectra"};
            return false;
        }
        SpectrumEntry entry;
        entry.title = spectrum.title;
        entry.precursorMz = spectrum.precursorMz;
        entry.line = spectrum.line;
        entry.offset = spectrum.offset;
        listing.entries.push_back(std::move(entry));
    }
    if (buffer.Failed()) {
        problem = {"", "read error"};
        return false;
    }
    if (listing.entries.empty()) {
        problem = listing.skipped.empty() ? SpectrumFileProblem{"", "no spectrum"} : listing.skipped.front();
        return false;
    }
    return true;
}

bool ReadBlock(FileBytes& file, const SpectrumListing& listing, const SpectrumEntry& entry, Spectrum& spectrum,
               SpectrumFileProblem& problem) {
    FileStreamBuf buffer(file, entry.offset);
    std::istream in(&buffer);
    const std::unique_ptr<SpectrumReader> reader =
        BlockReader(listing.format, in, entry.line > 0 ? entry.line - 1 : 0, entry.offset);
    SkippedBlock skipped;
    const ReadStep step = reader->Next(spectrum, skipped);
    if (step == ReadStep::Spectrum) return true;
    problem = step == ReadStep::Skipped ? SpectrumFileProblem{LineWhere(skipped.line), skipped.reason}
                                        : SpectrumFileProblem{LineWhere(entry.line), "the block is gone"};
    return false;
}

bool ReadTable(FileBytes& file, std::vector<TPeak>& peaks, SpectrumFileProblem& problem) {
    if (file.Size() > kMaxPeakTableBytes) {
        problem = {"", "a peak table of more than " + std::to_string(kMaxPeakTableBytes >> 20) + " MiB"};
        return false;
    }
    if (!LooksLikeText(file, problem)) return false;
    std::string text;
    if (!file.ReadAt(0, static_cast<std::size_t>(file.Size()), text)) {
        problem = {"", "read error"};
        return false;
    }
    return ReadPeakTable(text, peaks, problem);
}

bool ListOrRead(const std::filesystem::path& file, SpectrumListing& listing, const SpectrumEntry* entry,
                Spectrum* spectrum, SpectrumFileProblem& problem) {
    const std::optional<SpectrumFileFormat> format = SpectrumFileFormatFor(file);
    if (!format) {
        problem = {"", "not a spectrum file (.mzML, .mzXML, .mgf, .msp, .txt, .csv, .tsv, .xy)"};
        return false;
    }
    FileBytes bytes;
    std::string reason;
    if (!bytes.Open(file, reason)) {
        problem = {"", reason};
        return false;
    }
    listing.format = *format;
    switch (*format) {
        case SpectrumFileFormat::MzML:
        case SpectrumFileFormat::MzXML:
            if (!entry) return ListXmlSpectra(bytes, *format, listing.entries, problem);
            spectrum->title = entry->title;
            return ReadXmlSpectrum(bytes, *format, *entry, *spectrum, problem);
        case SpectrumFileFormat::Mgf:
        case SpectrumFileFormat::Msp:
            if (!entry) return ListBlocks(bytes, listing, problem);
            return ReadBlock(bytes, listing, *entry, *spectrum, problem);
        case SpectrumFileFormat::PeakTable: {
            std::vector<TPeak> peaks;
            if (!ReadTable(bytes, peaks, problem)) return false;
            if (!entry) {
                SpectrumEntry only;  // untitled: the file names it
                only.line = 1;
                listing.entries.push_back(std::move(only));
                return true;
            }
            spectrum->peaks = std::move(peaks);
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<SpectrumFileFormat> SpectrumFileFormatFor(const std::filesystem::path& file) {
    std::string extension = file.extension().u8string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const Extension& known : kExtensions) {
        if (extension == known.extension) return known.format;
    }
    return std::nullopt;
}

std::string SpectrumFileProblem::Message(std::string_view fileName) const {
    std::string message(fileName);
    if (!where.empty()) message += ": " + where;
    return message + ": " + reason;
}

bool ListSpectra(const std::filesystem::path& file, SpectrumListing& listing, SpectrumFileProblem& problem) {
    listing = SpectrumListing{};
    try {
        return ListOrRead(file, listing, nullptr, nullptr, problem);
    } catch (const std::bad_alloc&) {
        listing.entries.clear();
        problem = {"", "out of memory"};
        return false;
    } catch (const std::exception& error) {  // a file system error the checks above did not foresee
        listing.entries.clear();
        problem = {"", error.what()};
        return false;
    }
}

bool ReadListedSpectrum(const std::filesystem::path& file, const SpectrumListing& listing, std::size_t entry,
                        Spectrum& spectrum, SpectrumFileProblem& problem) {
    spectrum = Spectrum{};
    if (entry >= listing.entries.size()) {
        problem = {"", "no spectrum " + std::to_string(entry + 1) + " in the list"};
        return false;
    }
    SpectrumListing copy;
    copy.format = listing.format;
    const SpectrumEntry& chosen = listing.entries[entry];
    try {
        if (!ListOrRead(file, copy, &chosen, &spectrum, problem)) {
            spectrum.peaks.clear();
            return false;
        }
    } catch (const std::bad_alloc&) {
        spectrum.peaks.clear();
        problem = {"", "out of memory"};
        return false;
    } catch (const std::exception& error) {
        spectrum.peaks.clear();
        problem = {"", error.what()};
        return false;
    }
    spectrum.index = entry + 1;
    spectrum.line = chosen.line;
    spectrum.offset = chosen.offset;
    if (spectrum.title.empty()) spectrum.title = chosen.title;
    std::stable_sort(spectrum.peaks.begin(), spectrum.peaks.end(),
                     [](const TPeak& a, const TPeak& b) { return a.Mass < b.Mass; });
    return true;
}

}  // namespace ionsift
