#include "host/dbtool/import_pipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "host/dbtool/cpu_time.h"
#include "host/dbtool/record_reader.h"
#include "host/dbtool/toolkit_log.h"

namespace ionsift::dbtool {
namespace {

// Records travel in batches, so that the threads meet rarely.
constexpr std::size_t kBatchRecords = 256;
constexpr std::size_t kBatchBytes = 1u << 20;

std::string NameOf(const ImportRecord& record, const InputFile& file) {
    if (!record.field.empty()) return record.field;
    if (!record.title.empty()) return record.title;
    return file.stem + ":" + std::to_string(record.number);
}

}  // namespace

// Copies of the files and options, so that a thread left running after the
// import has returned reads nothing that is gone.
struct ImportPipeline::State {
    State(std::vector<InputFile> inputs, ImportOptions settings, std::size_t inFlightAtMost)
        : files(std::move(inputs)), options(std::move(settings)), maxInFlight(inFlightAtMost) {}

    bool Stopped() {
        std::lock_guard<std::mutex> lock(mutex);
        return stop;
    }
    void StopLocked() {
        stop = true;
        stopping = true;
    }
    void ReadFailed(const InputFile& file, const std::string& error) {
        std::lock_guard<std::mutex> lock(mutex);
        fileError = file.shown + ": " + error;
        StopLocked();
        work.notify_all();
        done.notify_all();
        space.notify_all();
    }
    // Waits for room among the batches in flight; null when stopped.
    std::unique_ptr<Batch> NewBatch(std::size_t file) {
        std::unique_lock<std::mutex> lock(mutex);
        space.wait(lock, [this] { return stop || inFlight < maxInFlight; });
        if (stop) return nullptr;
        ++inFlight;
        auto batch = std::make_unique<Batch>();
        batch->sequence = nextRead++;
        batch->file = file;
        return batch;
    }
    // An empty batch still goes through, as it holds a place in the order.
    void Queue(std::unique_ptr<Batch> batch) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            workBatches.push_back(std::move(batch));
        }
        work.notify_one();
    }
    void ThreadEnded() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            --running;
        }
        ended.notify_all();
    }

    const std::vector<InputFile> files;
    const ImportOptions options;
    const std::size_t maxInFlight;
    std::mutex mutex;
    std::condition_variable space, work, done, ended;
    std::deque<std::unique_ptr<Batch>> workBatches;
    std::map<long long, std::unique_ptr<Batch>> doneBatches;
    std::size_t inFlight = 0;
    long long nextRead = 0, nextWrite = 0;
    bool readerFinished = false;
    bool stop = false;
    std::atomic<bool> stopping{false};  // `stop`, read between records without the mutex
    std::string fileError;
    unsigned running = 0;
    ToolkitSeconds toolkit;
    double workerBusy = 0;
};

ImportPipeline::ImportPipeline(const std::vector<InputFile>& files, const ImportOptions& options) {
    workers_ = options.workers ? options.workers : std::max(1u, std::thread::hardware_concurrency());
    ImportOptions copied = options;
    copied.progress = nullptr;  // the threads use neither
    copied.cancel = nullptr;
    state_ = std::make_shared<State>(files, std::move(copied), 4 * workers_ + 2);
}

void ImportPipeline::Start() {
    RouteToolkitLogs();
    state_->running = workers_ + 1;
    reader_ = std::thread(Read, state_);
    for (unsigned i = 0; i < workers_; ++i) threads_.emplace_back(Work, state_);
}

void ImportPipeline::RequestStop() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->StopLocked();
    }
    state_->space.notify_all();
    state_->work.notify_all();
    state_->done.notify_all();
}

void ImportPipeline::TakeFigures() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    toolkit = state_->toolkit;
    workerBusy = state_->workerBusy;
}

void ImportPipeline::Stop() {
    RequestStop();
    if (reader_.joinable()) reader_.join();
    for (std::thread& thread : threads_) {
        if (thread.joinable()) thread.join();
    }
    TakeFigures();
}

void ImportPipeline::Abandon(std::chrono::milliseconds grace) {
    RequestStop();
    bool allEnded = false;
    {
        std::unique_lock<std::mutex> lock(state_->mutex);
        allEnded = state_->ended.wait_for(lock, grace, [this] { return state_->running == 0; });
    }
    const auto end = [allEnded](std::thread& thread) {
        if (!thread.joinable()) return;
        if (allEnded) {
            thread.join();
        } else {
            thread.detach();
        }
    };
    end(reader_);
    for (std::thread& thread : threads_) end(thread);
    TakeFigures();
}

std::unique_ptr<Batch> ImportPipeline::NextDone(std::chrono::milliseconds wait, bool& finished) {
    State& s = *state_;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.done.wait_for(lock, wait, [&s] {
        return s.stop || !s.fileError.empty() || s.doneBatches.count(s.nextWrite) ||
               (s.readerFinished && s.inFlight == 0);
    });
    finished = s.stop || !s.fileError.empty() || (s.readerFinished && s.inFlight == 0);
    const auto found = s.doneBatches.find(s.nextWrite);
    if (found == s.doneBatches.end()) return nullptr;
    finished = false;
    std::unique_ptr<Batch> batch = std::move(found->second);
    s.doneBatches.erase(found);
    ++s.nextWrite;
    return batch;
}

void ImportPipeline::Written() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        --state_->inFlight;
    }
    state_->space.notify_one();
}

std::string ImportPipeline::FileError() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->fileError;
}

void ImportPipeline::Read(const std::shared_ptr<State>& state) {
    State& s = *state;
    std::uint64_t before = 0;
    bool complete = true;
    for (std::size_t index = 0; index < s.files.size() && complete && !s.Stopped(); ++index) {
        const InputFile& file = s.files[index];
        RecordReader reader(file.kind.format, s.options.nameField);
        if (!reader.Open(file.path, file.kind.gzip)) {
            s.ReadFailed(file, reader.Error());
            complete = false;
            break;
        }
        auto batch = s.NewBatch(index);
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
                s.Queue(std::move(batch));
                batch = s.NewBatch(index);
                bytes = 0;
            }
        }
        if (!batch) {  // stopped
            complete = false;
            break;
        }
        if (!reader.Error().empty()) {
            s.ReadFailed(file, reader.Error());
            complete = false;
            break;
        }
        if (!noteGiven && !reader.Note().empty()) batch->note = file.shown + ": " + reader.Note();
        before += file.size;
        batch->inputEnd = before;
        s.Queue(std::move(batch));
    }
    if (complete) {
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            s.readerFinished = true;
        }
        s.work.notify_all();
        s.done.notify_all();
    }
    s.ThreadEnded();
}

void ImportPipeline::Work(const std::shared_ptr<State>& state) {
    State& s = *state;
    ToolkitSeconds mine;
    double busy = 0;
    for (;;) {
        std::unique_ptr<Batch> batch;
        {
            std::unique_lock<std::mutex> lock(s.mutex);
            s.work.wait(lock, [&s] { return s.stop || !s.workBatches.empty() || s.readerFinished; });
            if (s.stop || s.workBatches.empty()) break;
            batch = std::move(s.workBatches.front());
            s.workBatches.pop_front();
        }
        const double start = ThreadCpuSeconds();
        const InputFile& file = s.files[batch->file];
        batch->results.reserve(batch->records.size());
        for (const ImportRecord& record : batch->records) {
            if (s.stopping) break;
            batch->results.push_back(ConvertRecord(record, NameOf(record, file), s.options.layout, &mine));
        }
        batch->records.clear();
        busy += ThreadCpuSeconds() - start;
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            if (s.stop) break;  // nobody writes it any more
            s.doneBatches.emplace(batch->sequence, std::move(batch));
        }
        s.done.notify_all();
    }
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.toolkit.read += mine.read;
        s.toolkit.layout += mine.layout;
        s.workerBusy += busy;
    }
    s.ThreadEnded();
}

}  // namespace ionsift::dbtool
