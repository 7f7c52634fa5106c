// Writes a molecule database with SQLite:
//   Molecules(ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, Formula TEXT,
//             Name TEXT, Structure TEXT), indexed on MassMI.
// kReplace: the rows go into a temporary file beside the target in one
// transaction; only Finish() replaces the target, so a failed run leaves no
// half-built database behind and any earlier file as it was.
// kAppend: the rows go into the existing database in one transaction that
// only Finish() commits; anything else rolls it back (a killed process leaves
// SQLite's journal, which the next writer rolls back).
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "host/dbtool/molecule_row.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ionsift::dbtool {

class MoleculeDbWriter {
public:
    enum class Mode { kReplace, kAppend };

    explicit MoleculeDbWriter(std::filesystem::path target, Mode mode = Mode::kReplace);
    ~MoleculeDbWriter();  // removes the temporary file or rolls back unless Finish() succeeded
    MoleculeDbWriter(const MoleculeDbWriter&) = delete;
    MoleculeDbWriter& operator=(const MoleculeDbWriter&) = delete;

    // Each returns false and sets Error() on failure; later calls then fail too.
    bool Open();
    bool Insert(const MoleculeRow& row);
    bool Finish();  // kReplace: index, commit, close, move into place; kAppend: commit

    // A flag that, once set (from a signal handler), makes the running or
    // next SQLite statement fail, so that building the index of a large
    // database can be interrupted too. Before Open().
    void StopWhen(const std::atomic<bool>* flag) { stop_ = flag; }

    // The first free ID after Open(): 1 for a new database, max(ID) + 1 when appending.
    long long NextId() const { return nextId_; }
    const std::string& Error() const { return error_; }

private:
    bool OpenReplace();
    bool OpenAppend();
    bool PrepareInsert();
    bool Execute(const char* sql);
    bool Fail(const std::string& what);

    struct CloseDb {
        void operator()(sqlite3* db) const;
    };
    struct FinalizeStatement {
        void operator()(sqlite3_stmt* statement) const;
    };

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    Mode mode_;
    std::unique_ptr<sqlite3, CloseDb> db_;
    std::unique_ptr<sqlite3_stmt, FinalizeStatement> insert_;
    std::string error_;
    const std::atomic<bool>* stop_ = nullptr;
    long long nextId_ = 1;
    bool finished_ = false;
};

}  // namespace ionsift::dbtool
