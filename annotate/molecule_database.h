// A molecule database of the host, opened read-only through SQLite, asked
// for the candidates of a mass window with the plug-in's own query.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ions/candidate_fit.h"
#include "search/mass_window.h"

struct sqlite3;

namespace ionsift::annotate {

class MoleculeDatabase {
public:
    // Opens an existing file read-only (never creating or writing it) and
    // checks that it holds the table of molecules the query reads. Null, with
    // the reason, for a missing file, one that is not SQLite, or one without
    // that table and its columns. `fileName` is UTF-8.
    static std::unique_ptr<MoleculeDatabase> Open(const std::string& fileName, std::string& problem);
    ~MoleculeDatabase();
    MoleculeDatabase(const MoleculeDatabase&) = delete;
    MoleculeDatabase& operator=(const MoleculeDatabase&) = delete;

    // The molecules strictly inside the window, lightest first, at most
    // `maxRows` (kNoCandidateCap: all). A NULL formula or name reads as "".
    // False with SQLite's reason when the query fails.
    bool Candidates(const MassWindow& window, int maxRows, std::vector<Candidate>& candidates,
                    std::string& problem) const;

private:
    explicit MoleculeDatabase(sqlite3* connection) : connection_(connection) {}
    sqlite3* connection_;
};

}  // namespace ionsift::annotate
