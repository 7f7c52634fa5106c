// What the Wine benchmarks of the tool window share: the real Ionsift.dll
// loaded behind the stand-in host, its tool window opened on a database of a
// host folder, the controls set as the user sets them, and the clock.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/stand_in_host_win.h"

namespace ionsift::bench {

double Median(std::vector<double> values);

// `<program> <host folder> <database name> [runs]`; false (with the usage
// printed) when the folder or the database is missing.
struct BenchArguments {
    std::string folder;  // ends in a backslash
    std::string database;
    int runs = 0;
};
bool ReadArguments(int argc, char** argv, const char* program, int defaultRuns,
                   BenchArguments& arguments);

class ToolWindowBench {
public:
    // The settings file `settingsName` in the host folder is deleted before
    // the window opens, so that every run starts from the defaults, or
    // written with `settings` when that is not empty.
    ToolWindowBench(std::string folder, std::string database, std::string settingsName,
                    std::string settings = {});
    ~ToolWindowBench();
    ToolWindowBench(const ToolWindowBench&) = delete;
    ToolWindowBench& operator=(const ToolWindowBench&) = delete;

    // Loads the plug-in, opens the tool window and picks the database.
    bool Start(std::string& problem);

    wintest::StandInHost& Host() { return host_; }
    HWND Main() const { return main_; }
    HWND List() const { return list_; }
    HWND Item(int id) const;
    int RowCount() const;
    // The cells of the results list's first row, joined by " | ".
    std::string FirstRow(int columns) const;
    void Pick(int id, int index) const { wintest::PickEntry(main_, id, index); }
    // The text with "." replaced by the user's decimal separator.
    void SetText(int id, std::string text) const;

    // Handles what is queued and paints what is pending, so that a timing
    // holds only the action and the painting it causes.
    void Settle() const;
    void PaintNow() const;
    LONGLONG Ticks() const;
    double Seconds(LONGLONG ticks) const;

private:
    wintest::StandInHost host_;
    wintest::Plugin plugin_;
    std::string folder_;
    std::string database_;
    std::string settingsName_;
    std::string settings_;
    LARGE_INTEGER frequency_{};
    char separator_ = '.';
    bool started_ = false;
    HWND appWindow_ = nullptr;
    HWND main_ = nullptr;
    HWND list_ = nullptr;
};

}  // namespace ionsift::bench
