#include "host/dbtool/import_pipeline.h"

#include <algorithm>

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

ImportPipeline::ImportPipeline(const std::vector<InputFile>& files, const ImportOptions& options)
    : files_(files), options_(options) {
    workers_ = options.workers ? options.workers : std::max(1u, std::thread::hardware_concurrency());
    maxInFlight_ = 4 * workers_ + 2;
}

void ImportPipeline::Start() {
    RouteToolkitLogs();
    reader_ = std::thread([this] { Read(); });
    for (unsigned i = 0; i < workers_; ++i) threads_.emplace_back([this] { Work(); });
}

void ImportPipeline::Stop() {
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

std::unique_ptr<Batch> ImportPipeline::NextDone(std::chrono::milliseconds wait, bool& finished) {
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

void ImportPipeline::Written() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        --inFlight_;
    }
    space_.notify_one();
}

std::string ImportPipeline::FileError() {
    std::lock_guard<std::mutex> lock(mutex_);
    return fileError_;
}

void ImportPipeline::Read() {
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

bool ImportPipeline::Stopped() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stop_;
}

void ImportPipeline::ReadFailed(const InputFile& file, const std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    fileError_ = file.shown + ": " + error;
    stop_ = true;
    work_.notify_all();
    done_.notify_all();
}

std::unique_ptr<Batch> ImportPipeline::NewBatch(std::size_t file) {
    std::unique_lock<std::mutex> lock(mutex_);
    space_.wait(lock, [this] { return stop_ || inFlight_ < maxInFlight_; });
    if (stop_) return nullptr;
    ++inFlight_;
    auto batch = std::make_unique<Batch>();
    batch->sequence = nextRead_++;
    batch->file = file;
    return batch;
}

void ImportPipeline::Queue(std::unique_ptr<Batch> batch) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        work_batches_.push_back(std::move(batch));
    }
    work_.notify_one();
}

void ImportPipeline::Work() {
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

}  // namespace ionsift::dbtool
