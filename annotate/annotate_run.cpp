#include "annotate/annotate_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "annotate/annotation_table.h"
#include "ions/ion_window.h"
#include "spectra/spectrum_file_reader.h"

namespace ionsift::annotate {
namespace {

constexpr const char* kProgram = "ionsift-annotate";
// Spectra fitted together: enough to keep every core busy, few enough that
// rows appear steadily.
constexpr std::size_t kBatchSpectra = 64;

// A spectrum with its candidates from every ion window, and then its fits.
struct Job {
    std::string name;
    std::vector<TPeak> peaks;
    double searchedMz = 0;
    std::vector<Candidate> candidates;
    std::vector<const Ion*> ionOf;  // of each candidate
    std::vector<CandidateFit> fits;
};

// Messages on stderr, each on a line of its own even while a progress line
// is shown.
class Messages {
public:
    explicit Messages(const RunStreams& streams)
        : out_(streams.messages), progress_(streams.progress), start_(Clock::now()) {}
    ~Messages() {
        if (shown_) out_ << '\n';
    }
    std::ostream& Line() {
        if (shown_) out_ << '\n';
        shown_ = false;
        return out_;
    }
    void Progress(std::size_t spectra) {
        if (!progress_) return;
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        out_ << '\r' << spectra << " spectra";
        if (seconds > 0) out_ << ", " << static_cast<long long>(spectra / seconds) << " spectra/s";
        out_ << "   " << std::flush;
        shown_ = true;
    }

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& out_;
    bool progress_;
    Clock::time_point start_;
    bool shown_ = false;
};

// Fits the candidates of every job and ranks them, the jobs shared among the
// threads, each with its own fitter.
void FitBatch(std::vector<Job>& jobs, std::vector<CandidateFitter>& fitters) {
    std::atomic<std::size_t> next{0};
    const auto work = [&jobs, &next](CandidateFitter& fitter) {
        for (std::size_t j; (j = next++) < jobs.size();) {
            Job& job = jobs[j];
            job.fits.clear();
            for (std::size_t i = 0; i < job.candidates.size(); ++i) {
                job.fits.push_back(fitter.Fit(job.candidates, i, *job.ionOf[i], job.searchedMz, job.peaks));
            }
            SortByFit(job.fits);
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < fitters.size() && t < jobs.size(); ++t) helpers.emplace_back(work, std::ref(fitters[t]));
    work(fitters[0]);
    for (std::thread& helper : helpers) helper.join();
}

// "<file>:<line>", or the file alone where there are no lines (mzML, mzXML).
std::string Place(const std::string& file, std::size_t line) {
    return line > 0 ? file + ':' + std::to_string(line) : file;
}

class Annotation {
public:
    Annotation(const AnnotateOptions& options, const MoleculeDatabase& database, RunStreams streams,
               const NominalDistribution& nominal)
        : options_(options), database_(database), rows_(streams.rows), messages_(streams) {
        FitSettings settings;
        settings.resolvingPower = options.resolvingPower;
        const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned t = 0; t < threads; ++t) fitters_.emplace_back(settings, nominal);
    }

    ~Annotation() {
        if (fitting_.valid()) fitting_.wait();
    }

    int Run() {
        rows_ << AnnotationHeader();
        for (const std::string& file : options_.spectrumFiles) {
            if (!ReadFile(file)) {
                WriteFitted();  // what was queued before the failure, as before it
                return kFailed;
            }
        }
        if (!Flush() || !WriteFitted()) return kFailed;
        if (fileFailed_) return kFailed;
        return annotated_ > 0 ? kAnnotated : kNoneAnnotated;
    }

private:
    // False when the run must stop.
    bool ReadFile(const std::string& file) {
        ScanChoice choice;
        choice.scan = options_.scan;
        choice.rtMinutes = options_.rtMinutes;
        choice.resolvingPower = options_.resolvingPower;
        SpectrumFileProblem problem;
        const std::unique_ptr<SpectrumReader> reader = OpenSpectrumFile(std::filesystem::u8path(file), choice, problem);
        if (!reader) {
            messages_.Line() << kProgram << ": " << problem.Message(file) << '\n';
            fileFailed_ = true;
            return true;
        }
        Spectrum spectrum;
        SkippedBlock skipped;
        for (ReadStep step; (step = reader->Next(spectrum, skipped)) != ReadStep::End;) {
            if (step == ReadStep::Skipped) {
                messages_.Line() << Place(file, skipped.line) << ": " << skipped.reason << '\n';
            } else if (!AddJob(file, spectrum)) {
                return false;
            }
        }
        return true;
    }

    // Queues the spectrum with its candidates; false when the database failed.
    bool AddJob(const std::string& file, Spectrum& spectrum) {
        const std::optional<double> searched = SearchedMz(spectrum, options_.mz);
        if (!searched) {
            messages_.Line() << Place(file, spectrum.line) << ": no m/z to search: no peak above 0\n";
            return true;
        }
        Job job;
        job.name = SpectrumName(spectrum, file);
        job.searchedMz = *searched;
        job.peaks = std::move(spectrum.peaks);
        bool chargeAgreed = false;
        std::vector<Candidate> found;
        for (const Ion* ion : options_.ions) {
            if (!ChargeAgrees(spectrum, ion->charge)) continue;
            chargeAgreed = true;
            const MassWindow window = IonMassWindow(job.searchedMz, options_.ppm, *ion);
            if (!WindowHoldsMasses(window)) continue;
            std::string problem;
            if (!database_.Candidates(window, options_.maxCandidates, found, problem)) {
                messages_.Line() << kProgram << ": " << options_.database << ": " << problem << '\n';
                return false;
            }
            for (Candidate& candidate : found) {
                job.candidates.push_back(std::move(candidate));
                job.ionOf.push_back(ion);
            }
        }
        if (!chargeAgreed) {
            messages_.Line() << Place(file, spectrum.line) << ": no --ion of the CHARGE the spectrum states\n";
            return true;
        }
        jobs_.push_back(std::move(job));
        return jobs_.size() < kBatchSpectra || Flush();
    }

    // Hands the queued jobs to the fitters and writes the batch before them.
    // Reading and querying the next batch (one thread, SQLite's share of the
    // time) so overlaps the fitting of this one.
    bool Flush() {
        if (!WriteFitted()) return false;
        fitted_ = std::move(jobs_);
        jobs_.clear();
        fitting_ = std::async(std::launch::async, FitBatch, std::ref(fitted_), std::ref(fitters_));
        return true;
    }

    // Waits for the batch being fitted and writes its rows in file order.
    bool WriteFitted() {
        if (!fitting_.valid()) return true;
        fitting_.get();
        for (const Job& job : fitted_) {
            const std::size_t rows = std::min(job.fits.size(), static_cast<std::size_t>(options_.top));
            for (std::size_t r = 0; r < rows; ++r) {
                const CandidateFit& fit = job.fits[r];
                rows_ << AnnotationRow(job.name, static_cast<int>(r + 1), job.candidates[fit.candidate], fit);
            }
            annotated_ += rows > 0;
        }
        spectra_ += fitted_.size();
        fitted_.clear();
        messages_.Progress(spectra_);
        if (!rows_.flush()) messages_.Line() << kProgram << ": cannot write the rows\n";
        return static_cast<bool>(rows_);
    }

    const AnnotateOptions& options_;
    const MoleculeDatabase& database_;
    std::ostream& rows_;
    Messages messages_;
    std::vector<CandidateFitter> fitters_;
    std::vector<Job> jobs_;    // being read and queried
    std::vector<Job> fitted_;  // being fitted while `fitting_` runs
    std::future<void> fitting_;
    std::size_t spectra_ = 0;
    std::size_t annotated_ = 0;
    bool fileFailed_ = false;
};

}  // namespace

int AnnotateSpectra(const AnnotateOptions& options, const MoleculeDatabase& database,
                    const NominalDistribution& nominal, RunStreams streams) {
    return Annotation(options, database, streams, nominal).Run();
}

}  // namespace ionsift::annotate
