#include "host/dbtool/molecule_db.h"

#include <sqlite3.h>

#include <string>
#include <exception>
#include <system_error>

#include "host/chem/cml_blob.h"

namespace ionsift::dbtool {
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

}  // namespace

void MoleculeDbWriter::CloseDb::operator()(sqlite3* db) const { sqlite3_close(db); }

void MoleculeDbWriter::FinalizeStatement::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

MoleculeDbWriter::MoleculeDbWriter(std::filesystem::path target, Mode mode)
    : target_(std::move(target)), temporary_(target_.string() + ".partial"), mode_(mode) {}

MoleculeDbWriter::~MoleculeDbWriter() {
    insert_.reset();
    // Closing a connection inside a transaction rolls the transaction back.
    db_.reset();
    if (!finished_ && mode_ == Mode::kReplace) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
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

bool MoleculeDbWriter::OpenReplace() {
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);  // a leftover of a killed run
    if (ec) {
        error_ = "cannot remove " + temporary_.string() + ": " + ec.message();
        return false;
    }
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(temporary_.string().c_str(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
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
    sqlite3* db = nullptr;
    // Never created here: appending to a file that is not there is a mistake.
    const int opened = sqlite3_open_v2(target_.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(db);
    if (opened != SQLITE_OK) return Fail("cannot open " + target_.string());
    sqlite3_busy_timeout(db_.get(), 5000);
    // IMMEDIATE takes the write lock now, so no other writer slips in between.
    if (!Execute("BEGIN IMMEDIATE")) return false;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), "SELECT coalesce(max(ID), 0) FROM Molecules", -1, &statement,
                           nullptr) != SQLITE_OK) {
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
        finished_ = true;
        return true;
    }
    if (!Execute(kIndex) || !Execute("COMMIT")) return false;
    if (sqlite3_close(db_.get()) != SQLITE_OK) return Fail("cannot close " + temporary_.string());
    db_.release();
    std::error_code ec;
    std::filesystem::rename(temporary_, target_, ec);
    if (ec) {
        error_ = "cannot move " + temporary_.string() + " to " + target_.string() + ": " + ec.message();
        return false;
    }
    finished_ = true;
    return true;
}

}  // namespace ionsift::dbtool
