#include "host/dbtool/import_command.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

#include "host/dbtool/cpu_time.h"
#include "host/dbtool/import_formats.h"
#include "host/dbtool/import_pipeline.h"
#include "host/dbtool/molecule_db.h"
#include "host/dbtool/progress_line.h"
#include "host/dbtool/record_reader.h"

namespace ionsift::dbtool {
namespace fs = std::filesystem;
namespace {

using Clock = std::chrono::steady_clock;

// How long an interrupted import waits for its workers before it leaves the
// ones still inside the toolkit behind.
constexpr std::chrono::milliseconds kWorkerGrace{300};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Every file known by its extension and readable, before anything is written.
bool CheckFiles(const std::vector<fs::path>& paths, std::vector<InputFile>& files, std::ostream& report) {
    for (const fs::path& path : paths) {
        InputFile file;
        file.path = path;
        file.shown = path.string();
        const std::optional<FileKind> kind = KindOfFile(path);
        if (!kind) {
            report << "dbtool: " << file.shown << ": not a known compound file (" << KnownExtensions() << ")\n";
            return false;
        }
        file.kind = *kind;
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            report << "dbtool: " << file.shown << ": is a folder\n";
            return false;
        }
        RecordReader probe(kind->format, {});
        if (!probe.Open(path, kind->gzip)) {
            report << "dbtool: " << file.shown << ": " << probe.Error() << "\n";
            return false;
        }
        const auto size = fs::file_size(path, ec);
        file.size = ec ? 0 : size;
        file.stem = path.filename().string();
        files.push_back(std::move(file));
    }
    return true;
}

// Files, not names: a link or another spelling of an input is that input.
bool IsAnInput(const fs::path& out, const std::vector<fs::path>& inputs, std::ostream& report) {
    struct stat target {};
    if (stat(out.c_str(), &target) != 0) return false;
    for (const fs::path& input : inputs) {
        struct stat file {};
        if (stat(input.c_str(), &file) == 0 && file.st_dev == target.st_dev && file.st_ino == target.st_ino) {
            report << "dbtool: " << out.string() << " is the input " << input.string() << "; it is left as it was\n";
            return true;
        }
    }
    return false;
}

class ProgressLine {
public:
    explicit ProgressLine(std::ostream* out) : out_(out) {}
    void Show(long long records, double seconds, double fraction) {
        if (!out_ || Clock::now() < next_) return;
        next_ = Clock::now() + std::chrono::milliseconds(500);
        *out_ << "\r" << ProgressText(records, seconds, fraction) << "\033[K" << std::flush;
        shown_ = true;
    }
    void Clear() {
        if (out_ && shown_) *out_ << "\r\033[K" << std::flush;
        shown_ = false;
    }

private:
    std::ostream* out_;
    Clock::time_point next_ = Clock::now() + std::chrono::milliseconds(500);
    bool shown_ = false;
};

}  // namespace

std::string ImportSummary(long long imported, const std::map<std::string, long long>& skippedBy) {
    long long skipped = 0;
    std::map<std::string, long long> named;  // by name, so that ties keep that order
    for (const auto& [category, count] : skippedBy) {
        skipped += count;
        if (count > 0) named[category.empty() ? "other" : category] += count;
    }
    std::vector<std::pair<std::string, long long>> reasons(named.begin(), named.end());
    std::stable_sort(reasons.begin(), reasons.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text = "imported " + std::to_string(imported) + ", skipped " + std::to_string(skipped);
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        text += (i == 0 ? ": " : ", ") + std::to_string(reasons[i].second) + " " + reasons[i].first;
    }
    return text;
}

int ImportFiles(const fs::path& out, const std::vector<fs::path>& paths, const ImportOptions& options,
                std::ostream& report, ImportProfile* profile) {
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    std::vector<InputFile> files;
    if (paths.empty()) {
        report << "dbtool: no files to import\n";
        return 2;
    }
    if (!CheckFiles(paths, files, report) || IsAnInput(out, paths, report)) return 2;
    const std::string keptAsItWas = fs::exists(out) ? "; " + out.string() + " is left as it was" : "";
    MoleculeDbWriter writer(out, options.append ? MoleculeDbWriter::Mode::kAppend
                                                : MoleculeDbWriter::Mode::kReplace);
    writer.StopWhen(options.cancel);
    writer.WhenWaiting([&] {
        report << "dbtool: another import is writing " << out.string() << "; waiting for it to finish\n"
               << std::flush;
    });
    if (!writer.Open()) {
        // A compound file named where the database belongs: the database was forgotten.
        const char* hint = KindOfFile(out) ? " (the database comes first: dbtool import <out.db> <file>...)" : "";
        report << "dbtool: " << writer.Error() << hint << "\n";
        return 2;
    }

    ImportPipeline pipeline(files, options);
    pipeline.Start();
    ProgressLine progress(options.progress);
    long long imported = 0, skipped = 0, id = writer.NextId();
    std::map<std::string, long long> skippedBy;
    // The share of the input written, from the bytes read up to the last
    // written record; -1 when the size is unknown (a pipe).
    std::uint64_t totalBytes = 0, bytesDone = 0;
    for (const InputFile& file : files) totalBytes += file.size;
    const auto fractionDone = [&] {
        return totalBytes ? static_cast<double>(bytesDone) / static_cast<double>(totalBytes) : -1.0;
    };
    double writing = 0;  // CPU seconds
    bool writeFailed = false, cancelled = false;
    for (;;) {
        if (options.cancel && options.cancel->load()) {
            cancelled = true;
            break;
        }
        bool finished = false;
        std::unique_ptr<Batch> batch = pipeline.NextDone(std::chrono::milliseconds(200), finished);
        if (!batch) {
            if (finished) break;
            progress.Show(imported + skipped, Seconds(Clock::now() - start), fractionDone());
            continue;
        }
        const InputFile& file = files[batch->file];
        if (!batch->note.empty()) {
            progress.Clear();
            report << "dbtool: " << batch->note << "\n";
        }
        const double writeStart = ThreadCpuSeconds();
        for (ConvertedRecord& result : batch->results) {
            if (!result.ok) {
                progress.Clear();
                report << file.shown << ":" << result.line << ": " << result.error << "\n";
                ++skipped;
                ++skippedBy[result.category];
                continue;
            }
            result.row.id = id++;
            if (!writer.Insert(result.row)) {
                writeFailed = true;
                break;
            }
            ++imported;
        }
        writing += ThreadCpuSeconds() - writeStart;
        bytesDone = batch->inputEnd;
        pipeline.Written();
        if (writeFailed) break;
        progress.Show(imported + skipped, Seconds(Clock::now() - start), fractionDone());
    }
    const auto interrupted = [&] { return cancelled || (options.cancel && options.cancel->load()); };
    const std::string fileError = pipeline.FileError();
    // Nothing of an import that fails is kept, so workers still busy in the
    // toolkit are not waited for.
    if (fileError.empty() && !interrupted() && !writeFailed) {
        pipeline.Stop();
    } else {
        pipeline.Abandon(kWorkerGrace);
    }
    progress.Clear();

    if (!fileError.empty()) {
        report << "dbtool: " << fileError << keptAsItWas << "\n";
        return 2;
    }
    if (interrupted()) {
        report << "dbtool: interrupted" << keptAsItWas << "\n";
        return 2;
    }
    if (writeFailed) {
        report << "dbtool: " << writer.Error() << keptAsItWas << "\n";
        return 2;
    }
    const double finishStart = ThreadCpuSeconds();
    if (imported > 0 && !writer.Finish()) {
        report << "dbtool: " << (interrupted() ? std::string("interrupted") : writer.Error()) << keptAsItWas << "\n";
        return 2;
    }
    writing += ThreadCpuSeconds() - finishStart;
    report << ImportSummary(imported, skippedBy) << "\n";
    if (profile) {
        profile->wall = Seconds(Clock::now() - start);
        profile->cpu = ProcessCpuSeconds() - cpuStart;
        profile->toolkitRead = pipeline.toolkit.read;
        profile->toolkitLayout = pipeline.toolkit.layout;
        profile->workerBusy = pipeline.workerBusy;
        profile->writer = writing;
        profile->imported = imported;
        profile->skipped = skipped;
    }
    return imported > 0 ? 0 : 1;
}

}  // namespace ionsift::dbtool
