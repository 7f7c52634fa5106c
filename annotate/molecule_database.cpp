#include "annotate/molecule_database.h"

#include <sqlite3.h>

namespace ionsift::annotate {
namespace {

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                : std::string();
}

}  // namespace

std::unique_ptr<MoleculeDatabase> MoleculeDatabase::Open(const std::string& fileName, std::string& problem) {
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(fileName.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        problem = connection ? sqlite3_errmsg(connection) : "out of memory";
        sqlite3_close(connection);
        return nullptr;
    }
    // Pages mapped rather than read one system call at a time: each search
    // reads its rows from pages scattered over the file. A 32-bit process
    // keeps to 256 MiB of its address space, as the host does.
    const std::string mmap = "PRAGMA mmap_size = " + std::to_string(sizeof(void*) >= 8 ? (1ll << 34) : (1ll << 28));
    sqlite3_exec(connection, mmap.c_str(), nullptr, nullptr, nullptr);
    std::unique_ptr<MoleculeDatabase> database(new MoleculeDatabase(connection));
    // Preparing the search's own query proves the file is SQLite and has
    // the table and columns it reads; an empty window reads no row.
    std::vector<Candidate> none;
    if (!database->Candidates(MassWindow{0, 0}, 0, none, problem)) return nullptr;
    return database;
}

MoleculeDatabase::~MoleculeDatabase() { sqlite3_close(connection_); }

bool MoleculeDatabase::Candidates(const MassWindow& window, int maxRows, std::vector<Candidate>& candidates,
                                  std::string& problem) const {
    candidates.clear();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection_, MassWindowSql(window, maxRows).c_str(), -1, &statement, nullptr) !=
        SQLITE_OK) {
        problem = sqlite3_errmsg(connection_);
        sqlite3_finalize(statement);
        return false;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        Candidate candidate;
        candidate.id = sqlite3_column_int64(statement, 0);
        candidate.mass = sqlite3_column_double(statement, 1);
        candidate.formula = ColumnText(statement, 2);
        candidate.name = ColumnText(statement, 3);
        candidates.push_back(std::move(candidate));
    }
    if (step != SQLITE_DONE) problem = sqlite3_errmsg(connection_);
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
}

}  // namespace ionsift::annotate
