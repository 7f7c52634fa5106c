// The threads of `dbtool import`: a reader splits the files into records and
// hands them on in batches, workers (one per core unless told) have the
// toolkit convert them, and the caller takes the converted batches back in
// file order. Batches read but not yet written are bounded, and with them
// the memory, whatever the size of the files.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
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
    // Stops every thread but waits at most `grace` for them: the toolkit
    // cannot be interrupted, and one record can keep it busy for minutes. A
    // thread still running then is left to end on its own; it owns a share of
    // everything it touches, and its result is dropped.
    void Abandon(std::chrono::milliseconds grace);

    // The next batch in file order; null when all are written, on a file
    // error or a stop, or (to let the caller show progress and look for a
    // cancel) when `wait` passed without one.
    std::unique_ptr<Batch> NextDone(std::chrono::milliseconds wait, bool& finished);
    // A batch from NextDone is written: room for the reader's next one.
    void Written();
    // "<file>: <reason>" when a file could not be read, else empty.
    std::string FileError();

    // After Stop() or Abandon(): CPU seconds of the toolkit and of the
    // workers in all (of the threads that ended).
    ToolkitSeconds toolkit;
    double workerBusy = 0;

private:
    struct State;  // shared with the threads, which may outlive the pipeline
    static void Read(const std::shared_ptr<State>& state);
    static void Work(const std::shared_ptr<State>& state);
    void RequestStop();
    void TakeFigures();

    std::shared_ptr<State> state_;
    unsigned workers_ = 1;
    std::thread reader_;
    std::vector<std::thread> threads_;
};

}  // namespace ionsift::dbtool
