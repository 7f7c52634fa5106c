// Send to Excel in the real Ionsift.dll behind a recording host, against the
// spreadsheet stand-in registered in the test's Wine prefix: the calls the
// stand-in journals, OLE already initialised, no application registered, and
// an application that failed before it was shown being asked to quit.
// Registered under a point and a comma locale.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/sheet_stand_in_win.h"
#include "tests/win/tool_window_fixture.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_main;
using Lines = std::vector<std::string>;

const char kDriverFailed[] = "messagebox \"Excel driver initialization failed\" \"Ionsift error:\" 16";
const Lines kBusyThenDefault = {"Cursor Busy", "Cursor Default"};

// The stand-in's lines for one cell written as text, and for the six font
// properties of style 1 (bold) in the order the driver sets them.
Lines TextCell(int row, int column, const std::string& quoted) {
    return {"Range\tCells\tget\t" + std::to_string(row) + "\t" + std::to_string(column),
            "Range\tValue\tput\t" + quoted};
}
const Lines kBoldFont = {"Range\tFont\tget",           "Font\tBold\tput\ttrue",
                         "Font\tItalic\tput\tfalse",    "Font\tUnderline\tput\tfalse",
                         "Font\tSuperscript\tput\tfalse", "Font\tSubscript\tput\tfalse",
                         "Font\tStrikethrough\tput\tfalse"};

void Append(Lines& lines, const Lines& more) { lines.insert(lines.end(), more.begin(), more.end()); }

class ExcelExport : public ToolWindowTest {
protected:
    ExcelExport() { queryRows_ = "31;180.063388;C6H12O6;glucose\n7;180.0634;;keto \"form\" 100%\n"; }

    void SetUp() override {
        ToolWindowTest::SetUp();
        if (HasFatalFailure()) return;
        Click(BT_Search);
    }
    void TearDown() override {
        CloseSheetWindows();
        ToolWindowTest::TearDown();
    }
    std::string Settings() const override {
        return "[Ionsift]\r\nDATABASE=samples\r\nMASS=180.063388\r\nMAXRESULTS=200\r\nPPM=2\r\n";
    }

    // The results menu's entry, as the popup delivers it; returns the mark
    // from which the host's commands are the export's.
    std::size_t SendToExcel() { return Choose(PM_ResExcel); }
    // What the whole export of the two rows below sends, step by step.
    Lines ExpectedCalls() const {
        Lines calls = {"Application\tWorkbooks\tget",
                       "Workbooks\tAdd\tmethod",
                       "Workbooks\tItem\tget\t1",
                       "Workbook\tActivate\tmethod",
                       "Workbook\tSheets\tget",
                       "Sheets\tItem\tget\t1",
                       "Worksheet\tActivate\tmethod",
                       "Worksheet\tCells\tget",
                       // The name from string 46, cut to 24: "ppm" is lost.
                       "Worksheet\tSelect\tmethod",
                       "Worksheet\tName\tput\t\"" + Local("Mass 180.063388 \xB1 2.000 ") + "\""};
        Append(calls, TextCell(1, 1, "\"Mass\""));
        Append(calls, kBoldFont);
        Append(calls, TextCell(1, 2, "\"Formula\""));
        Append(calls, kBoldFont);
        Append(calls, TextCell(1, 3, "\"Name\""));
        Append(calls, kBoldFont);
        // Every cell as the list shows it, the mass with the user's separator.
        Append(calls, TextCell(2, 1, "\"" + Local("180.063388") + "\""));
        Append(calls, TextCell(2, 2, "\"C6H12O6\""));
        Append(calls, TextCell(2, 3, "\"glucose\""));
        Append(calls, TextCell(3, 1, "\"" + Local("180.0634") + "\""));
        Append(calls, TextCell(3, 2, "\"\""));
        Append(calls, TextCell(3, 3, "\"keto \\\"form\\\" 100%\""));
        calls.push_back("Application\tVisible\tput\ttrue");
        return calls;
    }

    SheetJournal journal_;
};

TEST_F(ExcelExport, TheWorkbookGetsTheTitleRowInBoldAndEveryCellAsText) {
    const std::size_t mark = SendToExcel();
    EXPECT_EQ(journal_.Lines(), ExpectedCalls());
    EXPECT_EQ(CommandsSince(mark), kBusyThenDefault) << "no message";
    // The application stays open and visible for the user, with the sheet.
    const HWND sheet = FindSheetWindow();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(IsWindowVisible(sheet));
    EXPECT_NE(WindowText(sheet).find(Local("Mass 180.063388 \xB1 2.000 ")), std::string::npos);
    // The export's OLE initialisation was undone: the thread has none left.
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    OleUninitialize();
}

TEST_F(ExcelExport, OleAlreadyInitialisedOnTheThreadStillExportsAndStaysBalanced) {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    const std::size_t mark = SendToExcel();
    EXPECT_EQ(journal_.Lines(), ExpectedCalls());
    EXPECT_EQ(CommandsSince(mark), kBusyThenDefault);
    EXPECT_NE(FindSheetWindow(), nullptr);
    // One uninitialisation for ours: the export took back exactly its own.
    OleUninitialize();
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    OleUninitialize();
}

TEST_F(ExcelExport, NoSpreadsheetRegisteredShowsString47) {
    const HiddenProgId hidden;
    ASSERT_TRUE(hidden.Hidden()) << "the stand-in is not registered in this prefix";
    const std::size_t mark = SendToExcel();
    EXPECT_EQ(CommandsSince(mark), (Lines{"Cursor Busy", kDriverFailed, "Cursor Default"}));
    EXPECT_TRUE(journal_.Lines().empty());
    EXPECT_EQ(FindSheetWindow(), nullptr);
}

TEST_F(ExcelExport, AnApplicationThatFailedBeforeItWasShownIsAskedToQuit) {
    // The first cell fails: the cells written stay, the instance is quit.
    {
        const SheetFailure failure("Range.Value");
        const std::size_t mark = SendToExcel();
        const Lines all = ExpectedCalls();
        // Create's nine steps, the sheet's name, then the first cell's value.
        Lines expected(all.begin(), all.begin() + 12);
        expected.push_back("Application\tVisible\tget");
        expected.push_back("Application\tQuit\tmethod");
        EXPECT_EQ(journal_.Lines(), expected);
        EXPECT_EQ(CommandsSince(mark), (Lines{"Cursor Busy", kDriverFailed, "Cursor Default"}));
    }
    // Showing it fails, and so does asking whether it is on screen: this
    // export never showed it, so it is quit as well.
    {
        const SheetFailure failure("Application.Visible");
        const std::size_t before = journal_.Lines().size();
        const std::size_t mark = SendToExcel();
        const Lines lines = journal_.Lines();
        ASSERT_GE(lines.size(), before + 3);
        EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
                  (Lines{"Application\tVisible\tput\ttrue", "Application\tVisible\tget",
                         "Application\tQuit\tmethod"}));
        EXPECT_EQ(CommandsSince(mark), (Lines{"Cursor Busy", kDriverFailed, "Cursor Default"}));
    }
    EXPECT_EQ(FindSheetWindow(), nullptr);
    EXPECT_EQ(OleInitialize(nullptr), S_OK) << "OLE undone on the failure path too";
    OleUninitialize();
}

TEST_F(ExcelExport, AnApplicationAlreadyOnScreenIsReleasedNeverQuit) {
    // The first export leaves its application on screen for the user.
    SendToExcel();
    const HWND sheet = FindSheetWindow();
    ASSERT_NE(sheet, nullptr);
    const std::string shown = WindowText(sheet);
    // That running instance serves the next export, which fails.
    const ScopedEnvironment running("IONSIFT_SHEET_RUNNING", "1");
    const SheetFailure failure("Workbooks.Add");
    const std::size_t before = journal_.Lines().size();
    const std::size_t mark = SendToExcel();
    const Lines lines = journal_.Lines();
    EXPECT_EQ(Lines(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end()),
              (Lines{"Application\tWorkbooks\tget", "Workbooks\tAdd\tmethod",
                     "Application\tVisible\tget"}));
    EXPECT_EQ(CommandsSince(mark), (Lines{"Cursor Busy", kDriverFailed, "Cursor Default"}));
    EXPECT_EQ(SheetWindows(), std::vector<HWND>{sheet}) << "the user's window stays";
    EXPECT_TRUE(IsWindowVisible(sheet));
    EXPECT_EQ(WindowText(sheet), shown);
}

}  // namespace
}  // namespace ionsift::wintest
