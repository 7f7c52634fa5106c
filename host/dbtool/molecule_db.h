// Writes a molecule database with SQLite:
//   Molecules(ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, Formula TEXT,
//             Name TEXT, Structure TEXT), indexed on MassMI. Structure holds
//             CML text, or for imported rows the packed CML (cml_blob.h) as a BLOB.
// One writer at a time: the target is locked (target_lock.h) from Open() to
// the end, and a writer that finds it locked waits for it. A target that is a
// link is the file it names.
// kReplace: the target must be missing, empty or a molecule database the user
// may write; anything else is refused and left alone. The rows go into a
// uniquely named temporary file beside the target (temporary_database.h) in
// one transaction; only Finish() moves it over the target, with the target's
// mode and, where allowed, owner. A failed run removes it and leaves any
// earlier file as it was.
// kAppend: the rows go into the existing, writable database in one
// transaction that only Finish() commits; anything else rolls it back (a
// killed process leaves SQLite's journal, which the next writer rolls back).
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "host/dbtool/molecule_row.h"
#include "host/dbtool/target_lock.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ionsift::dbtool {

class MoleculeDbWriter {
public:
    enum class Mode { kReplace, kAppend };

    explicit MoleculeDbWriter(std::filesystem::path target, Mode mode = Mode::kReplace);
    ~MoleculeDbWriter();  // removes the temporary file or rolls back unless Finish() succeeded; unlocks
    MoleculeDbWriter(const MoleculeDbWriter&) = delete;
    MoleculeDbWriter& operator=(const MoleculeDbWriter&) = delete;

    // Each returns false and sets Error() on failure; later calls then fail too.
    bool Open();
    bool Insert(const MoleculeRow& row);
    bool Finish();  // kReplace: index, commit, close, move into place; kAppend: commit

    // A flag that, once set (from a signal handler), makes the running or
    // next SQLite statement fail, so that building the index of a large
    // database can be interrupted too. Before Open().
    // It also ends the wait for another writer's lock.
    void StopWhen(const std::atomic<bool>* flag) { stop_ = flag; }
    // Called once when Open() finds another writer at work on the target and waits for it.
    void WhenWaiting(std::function<void()> waiting) { waiting_ = std::move(waiting); }

    // The first free ID after Open(): 1 for a new database, max(ID) + 1 when appending.
    long long NextId() const { return nextId_; }
    const std::string& Error() const { return error_; }

private:
    bool OpenReplace();
    bool OpenAppend();
    bool LockTarget(bool create);
    bool MoveIntoPlace();
    bool PrepareInsert();
    bool Execute(const char* sql);
    bool Fail(const std::string& what);

    struct CloseDb {
        void operator()(sqlite3* db) const;
    };
    struct FinalizeStatement {
        void operator()(sqlite3_stmt* statement) const;
    };

    std::filesystem::path target_;  // as named, for messages
    std::filesystem::path file_;    // the file written: the target, or what it links to
    std::filesystem::path temporary_;
    int temporaryFd_ = -1;  // holds the temporary file's lock while it lives
    TargetLock lock_;
    std::function<void()> waiting_;
    Mode mode_;
    std::unique_ptr<sqlite3, CloseDb> db_;
    std::unique_ptr<sqlite3_stmt, FinalizeStatement> insert_;
    std::string error_;
    const std::atomic<bool>* stop_ = nullptr;
    long long nextId_ = 1;
    bool finished_ = false;
};

}  // namespace ionsift::dbtool
