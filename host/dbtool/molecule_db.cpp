#include "host/dbtool/molecule_db.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>
#include <system_error>

#include "host/chem/cml_blob.h"
#include "host/dbtool/temporary_database.h"

namespace ionsift::dbtool {
namespace fs = std::filesystem;
namespace {

constexpr const char* kSchema =
    "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, "
    "Formula TEXT, Name TEXT, Structure TEXT)";
// After the inserts: building the index once is faster than keeping it
// sorted row by row.
constexpr const char* kIndex = "CREATE INDEX MoleculesByMass ON Molecules (MassMI)";
constexpr const char* kInsert =
    "INSERT INTO Molecules (ID, MassMI, Formula, Name, Structure) VALUES (?, ?, ?, ?, ?)";

// SQLite's progress callback: non-zero stops the statement.
int Stopped(void* flag) { return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0; }

// A link is written through, so that the link stays and the file it names is replaced.
fs::path FileOf(const fs::path& target) {
    std::error_code ec;
    if (!fs::is_symlink(target, ec)) return target;
    const fs::path named = fs::weakly_canonical(target, ec);
    return ec ? target : named;
}

// Refused even where the user could write it anyway (root, or a folder he
// owns): a file without any write permission was meant to stay as it is.
bool Writable(const fs::path& file, const struct stat& status) {
    return (status.st_mode & 0222) != 0 && access(file.c_str(), W_OK) == 0;
}

// An SQLite file with a Molecules table. Not opened read-only: a killed
// writer's journal must be rolled back before the file can be read, as the
// next writer does anyway; the file itself is not otherwise changed.
bool IsMoleculeDb(const fs::path& file) {
    char header[16] = {};
    if (!std::ifstream(file, std::ios::binary).read(header, sizeof header) ||
        std::memcmp(header, "SQLite format 3", sizeof header) != 0) {
        return false;
    }
    sqlite3* db = nullptr;
    bool found = false;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'Molecules'", -1,
                               &statement, nullptr) == SQLITE_OK) {
            found = sqlite3_step(statement) == SQLITE_ROW;
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return found;
}

}  // namespace

void MoleculeDbWriter::CloseDb::operator()(sqlite3* db) const { sqlite3_close(db); }

void MoleculeDbWriter::FinalizeStatement::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

MoleculeDbWriter::MoleculeDbWriter(std::filesystem::path target, Mode mode)
    : target_(std::move(target)), file_(target_), mode_(mode) {}

MoleculeDbWriter::~MoleculeDbWriter() {
    insert_.reset();
    // Closing a connection inside a transaction rolls the transaction back.
    // SQLite's locks on the file go with any descriptor of it this process
    // closes, so the connection is closed before the lock's descriptor.
    db_.reset();
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);  // still locked: no other writer takes it for a leftover
    }
    if (temporaryFd_ >= 0) close(temporaryFd_);
    lock_.Release();
}

bool MoleculeDbWriter::Fail(const std::string& what) {
    // The first fault is the one worth reporting; what follows is its echo.
    if (error_.empty()) error_ = db_ ? what + ": " + sqlite3_errmsg(db_.get()) : what;
    insert_.reset();
    db_.reset();
    return false;
}

bool MoleculeDbWriter::Execute(const char* sql) {
    if (!db_) return false;
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    return Fail(sql);
}

bool MoleculeDbWriter::Open() { return mode_ == Mode::kAppend ? OpenAppend() : OpenReplace(); }

bool MoleculeDbWriter::LockTarget(bool create) {
    file_ = FileOf(target_);
    if (!lock_.Acquire(file_, create, stop_, waiting_)) return Fail(lock_.Error());
    if (lock_.Placeholder()) return true;
    if (!Writable(file_, lock_.Status())) return Fail(target_.string() + " is read-only; it is left as it was");
    // An empty file holds nothing to lose; it is only replaced, never appended to.
    const bool emptyReplaced = mode_ == Mode::kReplace && lock_.Status().st_size == 0;
    if (!emptyReplaced && !IsMoleculeDb(file_)) {
        return Fail(target_.string() + " is not a molecule database; it is left as it was");
    }
    return true;
}

bool MoleculeDbWriter::OpenReplace() {
    if (!LockTarget(true)) return false;
    RemoveAbandonedTemporaries(file_);
    std::string error;
    temporaryFd_ = CreateTemporaryDatabase(file_, temporary_, error);
    if (temporaryFd_ < 0) return Fail(error);
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(temporary_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(db);  // sqlite3 hands out a handle even when opening fails
    if (opened != SQLITE_OK) return Fail("cannot create " + temporary_.string());
    // A fresh file that is only moved into place when complete needs no
    // journal: a crash leaves the temporary file, never a broken target.
    if (!Execute("PRAGMA journal_mode = OFF") || !Execute("PRAGMA synchronous = OFF") ||
        !Execute(kSchema) || !Execute("BEGIN")) {
        return false;
    }
    return PrepareInsert();
}

bool MoleculeDbWriter::OpenAppend() {
    // Never created here: appending to a file that is not there is a mistake.
    if (!LockTarget(false)) return false;
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(db);
    if (opened != SQLITE_OK) return Fail("cannot open " + target_.string());
    // Writers of other programs (and readers) still meet SQLite's own locks.
    sqlite3_busy_timeout(db_.get(), 5000);
    // IMMEDIATE takes the write lock now, so no other writer slips in between.
    if (!Execute("BEGIN IMMEDIATE")) return false;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), "SELECT coalesce(max(ID), 0) FROM Molecules", -1, &statement,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return Fail(target_.string() + " is not a molecule database");
    }
    if (sqlite3_step(statement) == SQLITE_ROW) nextId_ = sqlite3_column_int64(statement, 0) + 1;
    sqlite3_finalize(statement);
    return PrepareInsert();
}

bool MoleculeDbWriter::PrepareInsert() {
    if (stop_) sqlite3_progress_handler(db_.get(), 10000, Stopped, const_cast<std::atomic<bool>*>(stop_));
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), kInsert, -1, &statement, nullptr) != SQLITE_OK) {
        return Fail("cannot prepare the insert");
    }
    insert_.reset(statement);
    return true;
}

bool MoleculeDbWriter::Insert(const MoleculeRow& row) {
    if (!insert_) return false;
    sqlite3_stmt* s = insert_.get();
    sqlite3_bind_int64(s, 1, row.id);
    sqlite3_bind_double(s, 2, row.massMI);
    sqlite3_bind_text(s, 3, row.formula.data(), static_cast<int>(row.formula.size()), SQLITE_STATIC);
    sqlite3_bind_text(s, 4, row.name.data(), static_cast<int>(row.name.size()), SQLITE_STATIC);
    if (row.structure && !row.structure->packed.empty()) {
        const std::string& packed = row.structure->packed;
        sqlite3_bind_blob(s, 5, packed.data(), static_cast<int>(packed.size()), SQLITE_STATIC);
    } else if (row.structure) {
        sqlite3_bind_text(s, 5, row.structure->cml.data(), static_cast<int>(row.structure->cml.size()),
                          SQLITE_STATIC);
    } else {
        sqlite3_bind_null(s, 5);
    }
    const int stepped = sqlite3_step(s);
    sqlite3_reset(s);
    if (stepped != SQLITE_DONE) return Fail("cannot insert row " + std::to_string(row.id));
    return true;
}

bool MoleculeDbWriter::Finish() {
    if (!insert_) return false;
    insert_.reset();
    if (mode_ == Mode::kAppend) {
        if (!Execute("COMMIT")) return false;
        db_.reset();
        finished_ = true;
        lock_.Release();
        return true;
    }
    if (!Execute(kIndex) || !Execute("COMMIT")) return false;
    if (sqlite3_close(db_.get()) != SQLITE_OK) return Fail("cannot close " + temporary_.string());
    db_.release();
    return MoveIntoPlace();
}

// Still under the target's lock, so no other writer sees the target in between.
bool MoleculeDbWriter::MoveIntoPlace() {
    const struct stat& target = lock_.Status();
    // A placeholder has the mode a new file gets (0666 less the umask); a
    // replaced database keeps its own, and its owner where we may set it.
    if (fchmod(temporaryFd_, target.st_mode & 07777) != 0) {
        return Fail("cannot set the mode of " + temporary_.string() + ": " + std::strerror(errno));
    }
    if (fchown(temporaryFd_, target.st_uid, target.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = fchown(temporaryFd_, static_cast<uid_t>(-1), target.st_gid);
    }
    // On disk before it takes the target's name: a crash then leaves the old
    // database or the new one, never a torn one.
    if (fsync(temporaryFd_) != 0) return Fail("cannot write " + temporary_.string() + ": " + std::strerror(errno));
    std::error_code ec;
    fs::rename(temporary_, file_, ec);
    if (ec) return Fail("cannot move " + temporary_.string() + " to " + target_.string() + ": " + ec.message());
    temporary_.clear();
    lock_.Replaced();
    close(temporaryFd_);  // its lock was the new target's until here
    temporaryFd_ = -1;
    lock_.Release();
    finished_ = true;
    return true;
}

}  // namespace ionsift::dbtool
