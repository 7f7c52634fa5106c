// Writes a molecule database with SQLite:
//   Molecules(ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, Formula TEXT,
//             Name TEXT, Structure TEXT), indexed on MassMI.
// The rows go into a temporary file beside the target in one transaction;
// only Finish() replaces the target, so a failed run leaves no half-built
// database behind.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "host/dbtool/molecule_row.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ionsift::dbtool {

class MoleculeDbWriter {
public:
    explicit MoleculeDbWriter(std::filesystem::path target);
    ~MoleculeDbWriter();  // removes the temporary file unless Finish() succeeded
    MoleculeDbWriter(const MoleculeDbWriter&) = delete;
    MoleculeDbWriter& operator=(const MoleculeDbWriter&) = delete;

    // Each returns false and sets Error() on failure; later calls then fail too.
    bool Open();
    bool Insert(const MoleculeRow& row);
    bool Finish();  // index, commit, close, move into place

    const std::string& Error() const { return error_; }

private:
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
    std::unique_ptr<sqlite3, CloseDb> db_;
    std::unique_ptr<sqlite3_stmt, FinalizeStatement> insert_;
    std::string error_;
    bool finished_ = false;
};

}  // namespace ionsift::dbtool
