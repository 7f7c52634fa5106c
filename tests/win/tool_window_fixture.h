// The main tool window of the real Ionsift.dll, opened afresh for each test
// behind a recording host (plugin_harness.h), with the helpers the tests of
// the window share. A fixture says which settings the window opens with and
// may answer the host's commands its own way.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/win/plugin_harness.h"

namespace ionsift::wintest {

// The items of an open popup menu (submenus' items in place of the submenu),
// separators left out.
struct MenuItems {
    bool opened = false;
    std::vector<UINT> ids;
    std::vector<bool> enabled;
    std::vector<std::string> rows;  // every row's caption in order, "-" for a separator
    std::vector<bool> checked;
};

class ToolWindowTest : public ::testing::Test {
protected:
    explicit ToolWindowTest(const std::vector<std::string>& databases = {"samples"});

    // Checks the user locale, opens the window and finds the results list.
    void SetUp() override;
    void TearDown() override;

    // The settings file's text the window opens with.
    virtual std::string Settings() const = 0;
    // The host's answer to a command: a handle for DbOpen, queryRows_ for
    // DbSqlExec, OK for a message box, and success with no text otherwise.
    virtual HostAnswer Answer(const std::string& command);

    HWND Item(int id) const { return FindControl(main_, id); }
    std::string TextOf(int id) const;
    // The text with "." replaced by the user's decimal separator.
    std::string Local(std::string text) const;
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    // Selects and focuses the row of the results list; -1 clears every row.
    void Select(int row) const;
    int RowCount() const;
    // The text of a cell of the results list.
    std::string Cell(int row, int column) const { return ListCell(list_, row, column); }
    void PickEntry(int id, int index) const { wintest::PickEntry(main_, id, index); }
    // The menu command as the popup's choice delivers it; returns the mark
    // from which the host's commands are the command's.
    std::size_t Choose(int id) const;
    std::vector<std::string> CommandsSince(std::size_t mark) const;
    std::vector<std::string> CommandsLike(std::size_t mark, const std::string& prefix) const;
    // Opens the control's popup at `at` (screen coordinates), reads its
    // items and closes it again.
    MenuItems ReadPopup(HWND control, POINT at) const;

    Plugin plugin_;
    RecordingHost host_;
    TempHostFolder folder_;
    HWND appWindow_ = nullptr;
    HWND main_ = nullptr;
    HWND list_ = nullptr;
    char separator_ = '.';
    std::string queryRows_;
};

}  // namespace ionsift::wintest
