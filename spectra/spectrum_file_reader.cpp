#include "spectra/spectrum_file_reader.h"

#include <algorithm>

#include "spectra/file_bytes.h"
#include "spectra/file_stream.h"
#include "spectra/mgf_reader.h"
#include "spectra/msp_reader.h"

namespace ionsift {
namespace {

// MGF and MSP: the stream readers over the file.
class BlockFileReader : public SpectrumReader {
public:
    bool Open(const std::filesystem::path& file, SpectrumFileFormat format, std::string& reason) {
        if (!bytes_.Open(file, reason)) return false;
        buffer_ = std::make_unique<FileStreamBuf>(bytes_, 0);
        stream_ = std::make_unique<std::istream>(buffer_.get());
        if (format == SpectrumFileFormat::Mgf) reader_ = std::make_unique<MgfReader>(*stream_);
        else reader_ = std::make_unique<MspReader>(*stream_);
        return true;
    }
    ReadStep Next(Spectrum& spectrum, SkippedBlock& skipped) override {
        const ReadStep step = reader_->Next(spectrum, skipped);
        if (step == ReadStep::End && buffer_->Failed() && !reported_) {
            reported_ = true;
            skipped = {0, "read error"};
            return ReadStep::Skipped;
        }
        return step;
    }

private:
    FileBytes bytes_;
    std::unique_ptr<FileStreamBuf> buffer_;
    std::unique_ptr<std::istream> stream_;
    std::unique_ptr<SpectrumReader> reader_;
    bool reported_ = false;
};

SkippedBlock Skip(const SpectrumFileProblem& problem) {
    if (problem.where.rfind("line ", 0) == 0) return {std::stoul(problem.where.substr(5)), problem.reason};
    return {0, problem.where.empty() ? problem.reason : problem.where + ": " + problem.reason};
}

// Peak tables, mzML and mzXML: the listing, then its spectra one by one.
class ListedFileReader : public SpectrumReader {
public:
    ListedFileReader(std::filesystem::path file, SpectrumListing listing, const ScanChoice& choice)
        : file_(std::move(file)), listing_(std::move(listing)), choice_(choice) {}

    ReadStep Next(Spectrum& spectrum, SkippedBlock& skipped) override {
        const bool xml = listing_.format == SpectrumFileFormat::MzML || listing_.format == SpectrumFileFormat::MzXML;
        if (xml && choice_.rtMinutes) return done_ ? ReadStep::End : Summed(spectrum, skipped);
        while (next_ < listing_.entries.size()) {
            const std::size_t entry = next_++;
            if (xml && choice_.scan && listing_.entries[entry].scan != choice_.scan) continue;
            found_ = true;
            SpectrumFileProblem problem;
            if (!ReadListedSpectrum(file_, listing_, entry, spectrum, problem)) {
                skipped = Skip(problem);
                return ReadStep::Skipped;
            }
            Name(spectrum, listing_.entries[entry]);
            return ReadStep::Spectrum;
        }
        if (xml && choice_.scan && !found_ && !done_) {
            done_ = true;
            skipped = {0, "no MS1 scan " + std::to_string(*choice_.scan)};
            return ReadStep::Skipped;
        }
        return ReadStep::End;
    }

private:
    void Name(Spectrum& spectrum, const SpectrumEntry& entry) const {
        if (entry.scan) spectrum.title = "scan " + std::to_string(*entry.scan);
    }

    ReadStep Summed(Spectrum& spectrum, SkippedBlock& skipped) {
        done_ = true;
        const auto [from, to] = *choice_.rtMinutes;
        std::vector<std::vector<TPeak>> scans;
        for (std::size_t entry = 0; entry < listing_.entries.size(); ++entry) {
            const std::optional<double> rt = listing_.entries[entry].retentionMinutes;
            if (!rt || *rt < from || *rt > to) continue;
            SpectrumFileProblem problem;
            if (!ReadListedSpectrum(file_, listing_, entry, spectrum, problem)) {
                skipped = Skip(problem);
                return ReadStep::Skipped;
            }
            scans.push_back(std::move(spectrum.peaks));
        }
        const std::string range = FormatMinutes(from) + "-" + FormatMinutes(to) + " min";
        if (scans.empty()) {
            skipped = {0, "no MS1 scan with a retention time in " + range};
            return ReadStep::Skipped;
        }
        spectrum = Spectrum{};
        spectrum.index = 1;
        spectrum.title = "RT " + range + " (" + std::to_string(scans.size()) + " scans)";
        spectrum.peaks = SumPeaks(scans, choice_.resolvingPower);
        return ReadStep::Spectrum;
    }

    static std::string FormatMinutes(double minutes) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", minutes);
        return buffer;
    }

    std::filesystem::path file_;
    SpectrumListing listing_;
    ScanChoice choice_;
    std::size_t next_ = 0;
    bool found_ = false;
    bool done_ = false;
};

}  // namespace

std::vector<TPeak> SumPeaks(const std::vector<std::vector<TPeak>>& spectra, double resolvingPower) {
    std::vector<TPeak> pooled;
    for (const std::vector<TPeak>& peaks : spectra) pooled.insert(pooled.end(), peaks.begin(), peaks.end());
    std::stable_sort(pooled.begin(), pooled.end(), [](const TPeak& a, const TPeak& b) { return a.Mass < b.Mass; });
    std::vector<TPeak> summed;
    for (std::size_t i = 0; i < pooled.size();) {
        const double first = pooled[i].Mass;
        double weighted = 0, total = 0;
        std::size_t k = i;
        for (; k < pooled.size() && pooled[k].Mass - first <= first / resolvingPower; ++k) {
            weighted += pooled[k].Mass * pooled[k].Prob;
            total += pooled[k].Prob;
        }
        summed.push_back({false, total > 0 ? weighted / total : first, total});
        i = k;
    }
    return summed;
}

std::unique_ptr<SpectrumReader> OpenSpectrumFile(const std::filesystem::path& file, const ScanChoice& choice,
                                                 SpectrumFileProblem& problem) {
    const std::optional<SpectrumFileFormat> format = SpectrumFileFormatFor(file);
    if (format == SpectrumFileFormat::Mgf || format == SpectrumFileFormat::Msp) {
        auto reader = std::make_unique<BlockFileReader>();
        std::string reason;
        if (!reader->Open(file, *format, reason)) {
            problem = {"", reason};
            return nullptr;
        }
        return reader;
    }
    SpectrumListing listing;
    if (!ListSpectra(file, listing, problem)) return nullptr;
    return std::make_unique<ListedFileReader>(file, std::move(listing), choice);
}

}  // namespace ionsift
