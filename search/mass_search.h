// Asking the host for the candidates of a mass window, with one reopen of the
// database when the query fails.
#pragma once

#include <functional>

#include "search/database_connection.h"
#include "search/mass_window.h"

namespace ionsift {

enum class MassQueryOutcome {
    Answered,  // the host's result text holds the answer
    Failed,    // the query failed, and the reopen or the query after it too
    NoMaximum, // the maximum number of rows did not convert: nothing more sent
};

// Sends the DbSqlExec query with the connection's handle. When the host
// answers an error, reopens the database once (the new handle replaces the
// old one) and asks again. `readMaximum` is read before every query.
MassQueryOutcome QueryMassWindow(DatabaseConnection& database, const MassWindow& window,
                                 const std::function<bool(int& maxRows)>& readMaximum);

}  // namespace ionsift
