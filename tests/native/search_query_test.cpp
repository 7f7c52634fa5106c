// The mass window and the query sent for it: the tolerance in extended
// precision, the SQL text under any locale, and the one reopen after a
// failed query.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "search/mass_search.h"
#include "search/mass_window.h"
#include "tests/native/recording_host.h"

namespace ionsift {
namespace {

using testing::RecordingHost;

const char kQuery500[] =
    "SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > 499.999000) AND "
    "(MassMI < 500.001000) ORDER BY MassMI ASC LIMIT 200";

// The double nearest to mass × ppm / 10^6, from the exact decimal expansion
// of mass × ppm (exact in a 64-bit mantissa for these small ppm) read back
// by strtod, which rounds once.
double ExactTolerance(double mass, int ppm) {
    const long double product = static_cast<long double>(mass) * ppm;
    char text[160];
    std::snprintf(text, sizeof text, "%.80Lfe-6", product);
    return std::strtod(text, nullptr);
}

TEST(MassWindow, FiveHundredAtTwoPpm) {
    const double tolerance = MassTolerance(500.0, 2.0);
    EXPECT_EQ(tolerance, 0.001);
    const MassWindow window = MassWindowAround(500.0, tolerance);
    EXPECT_EQ(window.lower, 499.999);
    EXPECT_EQ(window.upper, 500.001);
    EXPECT_EQ(MassWindowSql(window, 200), kQuery500);
    EXPECT_EQ(MassWindowSql(MassWindowAround(180.063388, MassTolerance(180.063388, 5.0)), 20000),
              "SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > 180.062488) AND "
              "(MassMI < 180.064288) ORDER BY MassMI ASC LIMIT 20000");
}

TEST(MassWindow, ToleranceRoundsOnceWhereDoubleArithmeticRoundsTwice) {
    struct Case {
        double mass;
        int ppm;
    };
    // Pairs for which (1e-6 × mass) × ppm in doubles misses the nearest double.
    const Case cases[] = {{100.0, 1}, {100.0411, 5}, {100.0959, 3}, {100.0137, 7}};
    for (const Case& c : cases) {
        const double inDoubles = (1e-6 * c.mass) * c.ppm;
        const double expected = ExactTolerance(c.mass, c.ppm);
        ASSERT_NE(inDoubles, expected) << c.mass << " " << c.ppm;  // the pair shows the difference
        EXPECT_EQ(MassTolerance(c.mass, c.ppm), expected) << c.mass << " " << c.ppm;
    }
}

// The C runtime's locale switched for one test, and back.
class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

TEST(MassWindow, BoundsCarryAPointWhateverTheCLocale) {
    CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5");  // the locale really has a comma
    EXPECT_EQ(MassWindowSql(MassWindowAround(500.0, MassTolerance(500.0, 2.0)), 200), kQuery500);
}

// A connection to "structures" opened as "db1" through the recording host,
// whose later commands a test scripts.
class MassQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.Respond([](const std::string&) { return RecordingHost::Answer{0, "db1"}; });
        ASSERT_EQ(database.Choose(1, "structures"), DatabaseConnection::Outcome::Opened);
        opened = host.Commands().size();
    }

    // The commands sent since the connection was opened.
    std::vector<std::string> Sent() const {
        return {host.Commands().begin() + static_cast<std::ptrdiff_t>(opened), host.Commands().end()};
    }

    // Queries fail while `queryFailures` lasts; DbOpen answers `reopen`.
    void Script(int queryFailures, RecordingHost::Answer reopen) {
        host.Respond([=](const std::string& command) mutable {
            if (command.rfind("DbSqlExec ", 0) == 0) {
                if (queryFailures > 0) {
                    --queryFailures;
                    return RecordingHost::Answer{1, "0 no such database"};
                }
                return RecordingHost::Answer{0, "12;500.000500;C6H12O6;glucose\n"};
            }
            return reopen;
        });
    }

    MassQueryOutcome Query(int maxRows = 200) {
        return QueryMassWindow(database, window, [this, maxRows](int& n) {
            ++maximumReads;
            n = maxRows;
            return true;
        });
    }

    static std::string QueryCommand(const std::string& handle, int maxRows = 200) {
        return "DbSqlExec " + handle + " \"" + MassWindowSql(MassWindowAround(500.0, 0.001), maxRows) + "\"";
    }

    const std::string reopenCommand = "DbOpen \"C:\\Host\\Data\\Databases\\structures.db\"";
    RecordingHost host;
    DatabaseConnection database;
    MassWindow window = MassWindowAround(500.0, MassTolerance(500.0, 2.0));
    std::size_t opened = 0;
    int maximumReads = 0;
};

TEST_F(MassQueryTest, SendsTheQueryWithTheHandle) {
    Script(0, {0, "db9"});
    EXPECT_EQ(Query(), MassQueryOutcome::Answered);
    EXPECT_EQ(Sent(), std::vector<std::string>{"DbSqlExec db1 \"" + std::string(kQuery500) + "\""});
    EXPECT_EQ(maximumReads, 1);
    EXPECT_STREQ(HostResultText(), "12;500.000500;C6H12O6;glucose\n");
}

TEST_F(MassQueryTest, AFailedReopenEndsTheSearchAndKeepsTheHandle) {
    const RecordingHost::Answer noHandles[] = {{0, "0"}, {0, "0 cannot open"}, {0, ""}};
    for (const RecordingHost::Answer& reopen : noHandles) {
        const std::size_t before = host.Commands().size();
        Script(1, reopen);
        EXPECT_EQ(Query(), MassQueryOutcome::Failed) << reopen.text;
        EXPECT_EQ(database.DbHandle(), "db1") << reopen.text;
        const std::vector<std::string> sent(host.Commands().begin() + static_cast<std::ptrdiff_t>(before),
                                            host.Commands().end());
        EXPECT_EQ(sent, (std::vector<std::string>{QueryCommand("db1"), reopenCommand})) << reopen.text;
    }
}

TEST_F(MassQueryTest, AReopenedHandleGetsExactlyOneMoreQuery) {
    // The DbOpen's error code is not looked at, only its text.
    Script(1, {5, "db7"});
    EXPECT_EQ(Query(), MassQueryOutcome::Answered);
    EXPECT_EQ(database.DbHandle(), "db7");
    EXPECT_EQ(Sent(), (std::vector<std::string>{QueryCommand("db1"), reopenCommand, QueryCommand("db7")}));
    EXPECT_EQ(maximumReads, 2);
}

TEST_F(MassQueryTest, ASecondFailureAfterTheReopenEndsWithoutAnotherReopen) {
    Script(2, {0, "db7"});
    EXPECT_EQ(Query(), MassQueryOutcome::Failed);
    // The old handle is replaced, not closed.
    EXPECT_EQ(Sent(), (std::vector<std::string>{QueryCommand("db1"), reopenCommand, QueryCommand("db7")}));
    EXPECT_EQ(database.DbHandle(), "db7");
}

TEST_F(MassQueryTest, TheMaximumIsReadBeforeEachQuery) {
    Script(1, {0, "db7"});
    const int maxima[] = {200, 300};
    const auto outcome = QueryMassWindow(database, window, [&](int& n) {
        n = maxima[maximumReads++];
        return true;
    });
    EXPECT_EQ(outcome, MassQueryOutcome::Answered);
    EXPECT_EQ(Sent(), (std::vector<std::string>{QueryCommand("db1", 200), reopenCommand,
                                                QueryCommand("db7", 300)}));
}

TEST_F(MassQueryTest, AMaximumThatDoesNotConvertStopsBeforeTheNextQuery) {
    Script(1, {0, "db7"});
    const auto never = [&](int&) {
        ++maximumReads;
        return false;
    };
    EXPECT_EQ(QueryMassWindow(database, window, never), MassQueryOutcome::NoMaximum);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(maximumReads, 1);

    // Converting for the first query only: the reopen happens, the second
    // query does not.
    const auto once = [&](int& n) {
        n = 200;
        return maximumReads++ == 1;
    };
    EXPECT_EQ(QueryMassWindow(database, window, once), MassQueryOutcome::NoMaximum);
    EXPECT_EQ(Sent(), (std::vector<std::string>{QueryCommand("db1"), reopenCommand}));
    EXPECT_EQ(maximumReads, 3);
}

}  // namespace
}  // namespace ionsift
