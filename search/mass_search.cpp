#include "search/mass_search.h"

#include "shell/host_link.h"

namespace ionsift {

MassQueryOutcome QueryMassWindow(DatabaseConnection& database, const MassWindow& window,
                                 const std::function<bool(int& maxRows)>& readMaximum) {
    bool reopened = false;
    for (;;) {
        int maxRows = 0;
        if (!readMaximum(maxRows)) return MassQueryOutcome::NoMaximum;
        const int error = SendCommand("DbSqlExec %s \"%s\"", database.DbHandle().c_str(),
                                      MassWindowSql(window, maxRows).c_str());
        if (error == 0) return MassQueryOutcome::Answered;
        // A database the host dropped gets one more chance, silently.
        if (reopened || !database.Reopen()) return MassQueryOutcome::Failed;
        reopened = true;
    }
}

}  // namespace ionsift
