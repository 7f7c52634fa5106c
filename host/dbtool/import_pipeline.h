// The threads of `dbtool import`: a reader splits the files into records and
// hands them on in batches, workers (one per core unless told) have the
// toolkit convert them, and the caller takes the converted batches back in
// file order. Batches read but not yet written are bounded, and with them
// the memory, whatever the size of the files.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/dbtool/import_command.h"
#include "host/dbtool/import_formats.h"
#include "host/dbtool/import_record.h"
#include "host/dbtool/record_conversion.h"

namespace ionsift::dbtool {

struct InputFile {
    std::filesystem::path path;
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

class ImportPipeline {
public:
    ImportPipeline(const std::vector<InputFile>& files, const ImportOptions& options);
    ~ImportPipeline() { Stop(); }
    ImportPipeline(const ImportPipeline&) = delete;
    ImportPipeline& operator=(const ImportPipeline&) = delete;

    void Start();
    // Stops every thread and waits for them; safe to call twice.
    void Stop();

    // The next batch in file order; null when all are written, on a file
    // error or a stop, or (to let the caller show progress and look for a
    // cancel) when `wait` passed without one.
    std::unique_ptr<Batch> NextDone(std::chrono::milliseconds wait, bool& finished);
    // A batch from NextDone is written: room for the reader's next one.
    void Written();
    // "<file>: <reason>" when a file could not be read, else empty.
    std::string FileError();

    // After Stop(): CPU seconds of the toolkit and of the workers in all.
    ToolkitSeconds toolkit;
    double workerBusy = 0;

private:
    void Read();
    bool Stopped();
    void ReadFailed(const InputFile& file, const std::string& error);
    // Waits for room among the batches in flight; null when stopped.
    std::unique_ptr<Batch> NewBatch(std::size_t file);
    // An empty batch still goes through, as it holds a place in the order.
    void Queue(std::unique_ptr<Batch> batch);
    void Work();

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

}  // namespace ionsift::dbtool
