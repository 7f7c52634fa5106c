// dbtool import: compound files (SD, SMILES, CSV/TSV, each optionally gzip)
// into a molecule database. Streaming in bounded memory (import_pipeline.h):
// a reader thread splits the files into records, worker threads (one per
// core) have the toolkit read and lay out the structures, and the calling
// thread writes the rows in file order inside one transaction.
//
// A record that cannot be used is reported as "<file>:<line>: <reason>" and
// counted; at the end ImportSummary(). Returns the exit status: 0 when at
// least one record was imported, 1 when none could be, 2 for a file error (an
// input that cannot be opened or read, an output that cannot be written or is
// not ours to replace: an input, a read-only file, a file that is no molecule
// database) or an interruption. Without `append` the database is built beside
// the target and moved over it only when complete; with it, the rows go into
// the existing database in one transaction. Either way a failed or
// interrupted import leaves any existing file as it was, and one into a
// database another import is writing waits for it (molecule_db.h).
// An interruption (`cancel`) ends it within a second even while a worker is
// inside the toolkit on one huge record: that worker is left to finish on its
// own, so the caller should then end the process (dbtool dies of the signal).
#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace ionsift::dbtool {

struct ImportOptions {
    bool append = false;
    std::string nameField;  // SD data item or CSV column naming each record; empty: the title
    bool layout = true;     // 2-D layout for records without coordinates
    unsigned workers = 0;   // 0: one per core
    std::ostream* progress = nullptr;            // a terminal, for the progress line; null: none
    const std::atomic<bool>* cancel = nullptr;   // set from a signal handler: stop and keep the database
};

// Where the time went, for the benchmark: wall seconds, and CPU seconds of
// the process and of each part (the workers' summed).
struct ImportProfile {
    double wall = 0;
    double cpu = 0;             // the whole process during the import
    double toolkitRead = 0;     // parsing and sanitizing
    double toolkitLayout = 0;   // 2-D layout and kekulization
    double workerBusy = 0;      // workers converting, the toolkit included
    double writer = 0;          // SQLite inserts, index and commit
    long long imported = 0, skipped = 0;
};

// "imported 160, skipped 12: 9 valence, 2 isotope label, 1 other": the
// skips by reason, most first (ties by name); an empty reason counts as
// "other". Just "imported N, skipped 0" when nothing was skipped.
std::string ImportSummary(long long imported, const std::map<std::string, long long>& skippedBy);

int ImportFiles(const std::filesystem::path& out, const std::vector<std::filesystem::path>& files,
                const ImportOptions& options, std::ostream& report, ImportProfile* profile = nullptr);

}  // namespace ionsift::dbtool
