// One molecule database, opened read-only through SQLite. Portable: Debian's
// libsqlite3 natively, the amalgamation in the Windows build.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

struct sqlite3;

namespace ionsift::host {

// A larger answer is refused rather than exhausting the 32-bit host's memory.
constexpr std::size_t kMaxAnswerBytes = std::size_t{64} << 20;

// A query running longer is stopped, so that no query hangs the host.
constexpr std::chrono::milliseconds kDefaultQueryTimeLimit{30000};

// The columns of table Molecules that the workspace shows; a column the table
// lacks stays empty.
struct MoleculeRow {
    std::string name;
    std::string formula;
    std::string structure;  // CML when the database has it, expanded when stored packed
    std::string structureProblem;  // why a stored structure could not be expanded
    bool hasMass = false;
    double massMI = 0;
};

class Database {
public:
    // Opens an existing database file read-only: the host never writes a
    // user's database, and a missing file is not created. `fileName` is in
    // SQLite's encoding (UTF-8). Null, with the reason in `problem`, when the
    // file is missing, unreadable or not a database.
    static std::unique_ptr<Database> OpenReadOnly(const std::string& fileName, std::string& problem);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs one SELECT and answers its rows as sql_answer.h writes them.
    // Anything but a single read-only query is refused. False with the reason
    // (SQLite's message where SQLite failed) in `problem`.
    bool Select(const std::string& sql, std::string& answer, std::string& problem,
                std::size_t maxAnswerBytes = kMaxAnswerBytes) const;

    // The row of Molecules with that ID. False with `problem` when there is
    // no such row or the table cannot be read.
    bool FindMolecule(long long id, MoleculeRow& row, std::string& problem) const;

    void SetQueryTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }

private:
    explicit Database(sqlite3* connection) : connection_(connection) {}
    static int CheckDeadline(void* self);
    void StartClock() const;

    sqlite3* connection_;
    std::chrono::milliseconds timeLimit_ = kDefaultQueryTimeLimit;
    mutable std::chrono::steady_clock::time_point deadline_{};
};

}  // namespace ionsift::host
