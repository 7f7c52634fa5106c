#include "host/dbtool/import_command.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "host/dbtool/cpu_time.h"
#include "host/dbtool/import_formats.h"
#include "host/dbtool/molecule_db.h"
#include "host/dbtool/progress_line.h"
#include "host/dbtool/record_conversion.h"
#include "host/dbtool/record_reader.h"
#include "host/dbtool/toolkit_log.h"

namespace ionsift::dbtool {
namespace fs = std::filesystem;
namespace {

using Clock = std::chrono::steady_clock;

// Records travel in batches, so that the threads meet rarely.
constexpr std::size_t kBatchRecords = 256;
constexpr std::size_t kBatchBytes = 1u << 20;

struct InputFile {
    fs::path path;
    std::string shown;  // as given on the command line
    std::string stem;   // the file's name, for names of records without one
    FileKind kind;
    std::uint64_t size = 0;
};

struct Batch {
    long long sequence = 0;
    std::size_t file = 0;
    std::string note;  // said once about the file, before its records
    std::uint64_t inputEnd = 0;  // bytes of all input read up to its last record, for the time left
    std::vector<ImportRecord> records;
    std::vector<ConvertedRecord> results;
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string NameOf(const ImportRecord& record, const InputFile& file) {
    if (!record.field.empty()) return record.field;
    if (!record.title.empty()) return record.title;
    return file.stem + ":" + std::to_string(record.number);
}

// The reader, the workers and the writer share this; batches in flight
// (read but not yet written) are bounded, and with them the memory.
class Pipeline {
public:
    Pipeline(const std::vector<InputFile>& files, const ImportOptions& options)
        : files_(files), options_(options) {
        workers_ = options.workers ? options.workers : std::max(1u, std::thread::hardware_concurrency());
        maxInFlight_ = 4 * workers_ + 2;
    }

    void Start() {
        RouteToolkitLogs();
        reader_ = std::thread([this] { Read(); });
        for (unsigned i = 0; i < workers_; ++i) threads_.emplace_back([this] { Work(); });
    }

    // Stops every thread and waits for them; safe to call twice.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        space_.notify_all();
        work_.notify_all();
        done_.notify_all();
        if (reader_.joinable()) reader_.join();
        for (std::thread& thread : threads_) {
            if (thread.joinable()) thread.join();
        }
    }

    // The next batch in file order; null when all are written, on a file
    // error or a stop, or (to let the caller show progress and look for a
    // cancel) when `wait` passed without one.
    std::unique_ptr<Batch> NextDone(std::chrono::milliseconds wait, bool& finished) {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait_for(lock, wait, [this] {
            return stop_ || !fileError_.empty() || done_batches_.count(nextWrite_) ||
                   (readerFinished_ && inFlight_ == 0);
        });
        finished = stop_ || !fileError_.empty() || (readerFinished_ && inFlight_ == 0);
        const auto found = done_batches_.find(nextWrite_);
        if (found == done_batches_.end()) return nullptr;
        finished = false;
        std::unique_ptr<Batch> batch = std::move(found->second);
        done_batches_.erase(found);
        ++nextWrite_;
        return batch;
    }

    void Written() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --inFlight_;
        }
        space_.notify_one();
    }

    std::string FileError() {
        std::lock_guard<std::mutex> lock(mutex_);
        return fileError_;
    }


    ToolkitSeconds toolkit;
    double workerBusy = 0;

private:
    void Read() {
        std::uint64_t before = 0;
        for (std::size_t index = 0; index < files_.size() && !Stopped(); ++index) {
            const InputFile& file = files_[index];
            RecordReader reader(file.kind.format, options_.nameField);
            if (!reader.Open(file.path, file.kind.gzip)) return ReadFailed(file, reader.Error());
            auto batch = NewBatch(index);
            bool noteGiven = false;
            ImportRecord record;
            std::size_t bytes = 0;
            while (batch && reader.Next(record)) {
                if (!noteGiven && !reader.Note().empty()) batch->note = file.shown + ": " + reader.Note();
                noteGiven = noteGiven || !reader.Note().empty();
                bytes += record.structure.size();
                batch->records.push_back(std::move(record));
                if (batch->records.size() >= kBatchRecords || bytes >= kBatchBytes) {
                    batch->inputEnd = before + reader.FileOffset();
                    Queue(std::move(batch));
                    batch = NewBatch(index);
                    bytes = 0;
                }
            }
            if (!batch) return;  // stopped
            if (!reader.Error().empty()) return ReadFailed(file, reader.Error());
            if (!noteGiven && !reader.Note().empty()) batch->note = file.shown + ": " + reader.Note();
            before += file.size;
            batch->inputEnd = before;
            Queue(std::move(batch));
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            readerFinished_ = true;
        }
        work_.notify_all();
        done_.notify_all();
    }

    bool Stopped() {
        std::lock_guard<std::mutex> lock(mutex_);
        return stop_;
    }

    void ReadFailed(const InputFile& file, const std::string& error) {
        std::lock_guard<std::mutex> lock(mutex_);
        fileError_ = file.shown + ": " + error;
        stop_ = true;
        work_.notify_all();
        done_.notify_all();
    }

    // Waits for room among the batches in flight; null when stopped.
    std::unique_ptr<Batch> NewBatch(std::size_t file) {
        std::unique_lock<std::mutex> lock(mutex_);
        space_.wait(lock, [this] { return stop_ || inFlight_ < maxInFlight_; });
        if (stop_) return nullptr;
        ++inFlight_;
        auto batch = std::make_unique<Batch>();
        batch->sequence = nextRead_++;
        batch->file = file;
        return batch;
    }

    // An empty batch still goes through, as it holds a place in the order.
    void Queue(std::unique_ptr<Batch> batch) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            work_batches_.push_back(std::move(batch));
        }
        work_.notify_one();
    }

    void Work() {
        ToolkitSeconds mine;
        double busy = 0;
        for (;;) {
            std::unique_ptr<Batch> batch;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                work_.wait(lock, [this] { return stop_ || !work_batches_.empty() || readerFinished_; });
                if (stop_ || work_batches_.empty()) break;
                batch = std::move(work_batches_.front());
                work_batches_.pop_front();
            }
            const double start = ThreadCpuSeconds();
            const InputFile& file = files_[batch->file];
            batch->results.reserve(batch->records.size());
            for (const ImportRecord& record : batch->records) {
                batch->results.push_back(ConvertRecord(record, NameOf(record, file), options_.layout, &mine));
            }
            batch->records.clear();
            busy += ThreadCpuSeconds() - start;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                done_batches_.emplace(batch->sequence, std::move(batch));
            }
            done_.notify_all();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        toolkit.read += mine.read;
        toolkit.layout += mine.layout;
        workerBusy += busy;
    }

    const std::vector<InputFile>& files_;
    const ImportOptions& options_;
    unsigned workers_ = 1;
    std::size_t maxInFlight_ = 1;
    std::thread reader_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable space_, work_, done_;
    std::deque<std::unique_ptr<Batch>> work_batches_;
    std::map<long long, std::unique_ptr<Batch>> done_batches_;
    std::size_t inFlight_ = 0;
    long long nextRead_ = 0, nextWrite_ = 0;
    bool readerFinished_ = false;
    bool stop_ = false;
    std::string fileError_;
};

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

int ImportFiles(const fs::path& out, const std::vector<fs::path>& paths, const ImportOptions& options,
                std::ostream& report, ImportProfile* profile) {
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    std::vector<InputFile> files;
    if (paths.empty()) {
        report << "dbtool: no files to import\n";
        return 2;
    }
    if (!CheckFiles(paths, files, report)) return 2;
    MoleculeDbWriter writer(out, options.append ? MoleculeDbWriter::Mode::kAppend
                                                : MoleculeDbWriter::Mode::kReplace);
    writer.StopWhen(options.cancel);
    if (!writer.Open()) {
        report << "dbtool: " << writer.Error() << "\n";
        return 2;
    }
    const std::string keptAsItWas = fs::exists(out) ? "; " + out.string() + " is left as it was" : "";

    Pipeline pipeline(files, options);
    pipeline.Start();
    ProgressLine progress(options.progress);
    long long imported = 0, skipped = 0, id = writer.NextId();
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
    pipeline.Stop();
    progress.Clear();

    const std::string fileError = pipeline.FileError();
    if (!fileError.empty()) {
        report << "dbtool: " << fileError << keptAsItWas << "\n";
        return 2;
    }
    const auto interrupted = [&] { return cancelled || (options.cancel && options.cancel->load()); };
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
    report << "imported " << imported << ", skipped " << skipped << "\n";
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
