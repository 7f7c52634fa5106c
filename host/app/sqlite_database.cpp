#include "host/app/sqlite_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "host/app/sql_answer.h"
#include "host/chem/cml_blob.h"

namespace ionsift::host {
namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

constexpr const char* kOnlySelect = "only a single SELECT query is served";

// Reading is all a query may do: writes, PRAGMA, ATTACH and transaction
// control are refused when the statement is prepared.
int AuthorizeReadOnly(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

Statement Prepare(sqlite3* connection, std::string_view sql, const char** tail, std::string& problem) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(connection, sql.data(), static_cast<int>(sql.size()), &raw, tail);
    Statement statement(raw);
    if (rc != SQLITE_OK) {
        problem = sqlite3_errcode(connection) == SQLITE_AUTH ? kOnlySelect : sqlite3_errmsg(connection);
        return nullptr;
    }
    if (!statement) problem = "no SQL statement";
    return statement;
}

// SQLite prepares only the first statement; a second one must not be
// dropped silently. Blanks, comments and ";" may follow.
bool MoreStatementsFollow(sqlite3* connection, const char* tail, const char* end) {
    if (tail == nullptr || tail >= end) return false;
    sqlite3_stmt* next = nullptr;
    const int rc = sqlite3_prepare_v2(connection, tail, static_cast<int>(end - tail), &next, nullptr);
    sqlite3_finalize(next);
    return rc != SQLITE_OK || next != nullptr;
}

std::string FieldText(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return std::to_string(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return AnswerReal(sqlite3_column_double(statement, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return AnswerText(std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
    }
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(statement, column));
        return AnswerBlob(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
    }
    default:  // NULL
        return std::string();
    }
}

// The size of a text or binary field's answer, known before it is built: a
// single huge value must be refused before its copies exhaust the 32-bit
// host's memory. Numbers are short and NULL is empty.
std::size_t FieldBytes(sqlite3_stmt* statement, int column) {
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_TEXT:
        return bytes;
    case SQLITE_BLOB:
        return 2 * bytes;
    default:
        return 0;
    }
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text == nullptr ? std::string()
                           : std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

// The Structure column: CML as TEXT (databases of every age), or packed into
// a BLOB by `dbtool import`, then expanded here.
void ReadStructure(sqlite3_stmt* statement, int column, MoleculeRow& row) {
    if (sqlite3_column_type(statement, column) != SQLITE_BLOB) {
        row.structure = ColumnText(statement, column);
        return;
    }
    const void* bytes = sqlite3_column_blob(statement, column);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
    chem::CmlUnpack unpacked = chem::UnpackCml(std::string_view(static_cast<const char*>(bytes), size));
    if (unpacked.ok) {
        row.structure = std::move(unpacked.cml);
    } else {
        row.structureProblem = std::move(unpacked.error);
    }
}

std::string TooLarge(std::size_t maxAnswerBytes) {
    return "answer larger than " + std::to_string(maxAnswerBytes) + " bytes; narrow the query";
}

}  // namespace

std::unique_ptr<Database> Database::OpenReadOnly(const std::string& fileName, std::string& problem) {
    sqlite3* connection = nullptr;
    const int rc = sqlite3_open_v2(fileName.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<Database> database(new Database(connection));  // closes on every path
    if (rc != SQLITE_OK) {
        problem = connection != nullptr ? sqlite3_errmsg(connection) : "out of memory";
        return nullptr;
    }
    // Opening reads nothing yet: a query on the schema tells a database from
    // any other file.
    Statement probe = Prepare(connection, "SELECT count(*) FROM sqlite_master", nullptr, problem);
    if (!probe) return nullptr;
    if (sqlite3_step(probe.get()) != SQLITE_ROW) {
        problem = sqlite3_errmsg(connection);
        return nullptr;
    }
    // Rows of a mass window lie all over the file: read through a mapping,
    // not a system call per page (which costs the most under Wine). Where
    // the mapping cannot be had, SQLite reads as before.
    sqlite3_exec(connection, "PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
    sqlite3_set_authorizer(connection, AuthorizeReadOnly, nullptr);
    // Looked at every few thousand virtual machine steps.
    sqlite3_progress_handler(connection, 4096, CheckDeadline, database.get());
    return database;
}

Database::~Database() { sqlite3_close(connection_); }

int Database::CheckDeadline(void* self) {
    return std::chrono::steady_clock::now() > static_cast<Database*>(self)->deadline_ ? 1 : 0;
}

void Database::StartClock() const { deadline_ = std::chrono::steady_clock::now() + timeLimit_; }

bool Database::Select(const std::string& sql, std::string& answer, std::string& problem,
                      std::size_t maxAnswerBytes) const {
    answer.clear();
    StartClock();
    const char* tail = nullptr;
    Statement statement = Prepare(connection_, sql, &tail, problem);
    if (!statement) return false;
    if (!sqlite3_stmt_readonly(statement.get()) ||
        MoreStatementsFollow(connection_, tail, sql.data() + sql.size())) {
        problem = kOnlySelect;
        return false;
    }
    const int columns = sqlite3_column_count(statement.get());
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        for (int column = 0; column < columns; ++column) {
            if (FieldBytes(statement.get(), column) > maxAnswerBytes - std::min(answer.size(), maxAnswerBytes)) {
                answer.clear();
                problem = TooLarge(maxAnswerBytes);
                return false;
            }
            AppendField(answer, FieldText(statement.get(), column), column + 1 == columns);
        }
        if (answer.size() > maxAnswerBytes) {
            answer.clear();
            problem = TooLarge(maxAnswerBytes);
            return false;
        }
    }
    if (rc != SQLITE_DONE) {
        answer.clear();
        problem = rc == SQLITE_INTERRUPT
                      ? "query stopped after " + std::to_string(timeLimit_.count()) + " ms"
                      : sqlite3_errmsg(connection_);
        return false;
    }
    return true;
}

bool Database::FindMolecule(long long id, MoleculeRow& row, std::string& problem) const {
    // By column name, so that a database without Structure still loads.
    StartClock();
    Statement statement = Prepare(connection_, "SELECT * FROM Molecules WHERE ID = ?1", nullptr, problem);
    if (!statement) return false;
    sqlite3_bind_int64(statement.get(), 1, id);
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW) {
        problem = rc == SQLITE_DONE ? "no molecule with ID " + std::to_string(id) : sqlite3_errmsg(connection_);
        return false;
    }
    row = MoleculeRow{};
    for (int column = 0; column < sqlite3_column_count(statement.get()); ++column) {
        const char* name = sqlite3_column_name(statement.get(), column);
        if (name == nullptr) continue;
        if (sqlite3_stricmp(name, "Name") == 0) {
            row.name = ColumnText(statement.get(), column);
        } else if (sqlite3_stricmp(name, "Formula") == 0) {
            row.formula = ColumnText(statement.get(), column);
        } else if (sqlite3_stricmp(name, "Structure") == 0) {
            ReadStructure(statement.get(), column, row);
        } else if (sqlite3_stricmp(name, "MassMI") == 0 &&
                   sqlite3_column_type(statement.get(), column) != SQLITE_NULL) {
            row.hasMass = true;
            row.massMI = sqlite3_column_double(statement.get(), column);
        }
    }
    return true;
}

}  // namespace ionsift::host
