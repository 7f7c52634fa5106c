// Temporary folders and reading SQLite files back, for the dbtool tests.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ionsift::dbtool {

namespace fs = std::filesystem;

// A temporary folder removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "dbtool-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    void Write(const std::string& relative, const std::string& text) const {
        fs::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative, std::ios::binary) << text;
    }

private:
    fs::path path_;
};

// Rows of a query as "field|field" lines; NULL as "<null>".
inline std::vector<std::string> Query(const fs::path& db, const std::string& sql) {
    sqlite3* handle = nullptr;
    std::vector<std::string> rows;
    if (sqlite3_open_v2(db.string().c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << db << ": " << sqlite3_errmsg(handle);
        sqlite3_close(handle);
        return rows;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(handle);
    }
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            if (i) row += "|";
            const auto* text = sqlite3_column_text(statement, i);
            row += text ? reinterpret_cast<const char*>(text) : "<null>";
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return rows;
}

}  // namespace ionsift::dbtool
