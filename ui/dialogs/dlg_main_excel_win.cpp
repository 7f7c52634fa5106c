// TDlgMain: Send to Excel. The whole results list goes into a new workbook of
// the spreadsheet application through TExcel8Driver; the application is left
// open and visible for the user.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "export/excel8_driver_win.h"
#include "export/font_styles.h"
#include "export/sheet_name.h"
#include "resources/dlg_main_ids.h"
#include "shell/error_report.h"
#include "shell/string_table.h"
#include "ui/dialogs/dlg_main_win.h"
#include "text/separators.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kSheetNameId = 46;
constexpr int kDriverFailedId = 47;
constexpr int kTitleRow = 1;
constexpr int kColumnTitleLimit = 256;

std::string ColumnTitle(HWND list, int column) {
    char title[kColumnTitleLimit] = {};
    LVCOLUMNA item{};
    item.mask = LVCF_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof title;
    ListView_GetColumn(list, column, &item);
    return title;
}

// The candidate's own three columns: the ion columns stay out of the sheet,
// whose layout readers downstream rely on.
int ColumnCount(HWND list) {
    return std::min(Header_GetItemCount(ListView_GetHeader(list)), static_cast<int>(kResultColumnCount));
}

// Fills the driver's workbook; exceptions go to the caller.
void FillWorkbook(TExcel8Driver& driver, const std::string& sheetName, HWND list,
                  const std::vector<ResultRow>& rows) {
    driver.Create();
    driver.SetSheetName(sheetName.c_str());
    const int columns = ColumnCount(list);
    for (int column = 0; column < columns; ++column) {
        driver.SetCellText(kTitleRow, column + 1, kStyleBold, ColumnTitle(list, column).c_str());
    }
    int sheetRow = kTitleRow + 1;
    for (const ResultRow& row : rows) {
        for (int column = 0; column < kResultColumnCount; ++column) {
            const char* text = row.cells[static_cast<std::size_t>(column)];
            driver.SetCellText(sheetRow, column + 1, 0, text ? text : "");
        }
        ++sheetRow;
    }
    driver.View();
}

// True when the workbook was filled and shown. On failure the driver is
// released here. Only an application this export started and that is not on
// screen is asked to quit first, so no invisible instance is left running;
// one the user has open (a running instance may serve the request) is only
// released. One that cannot say whether it is visible was never shown by
// this export, so it is quit rather than left running unseen.
bool SendToSpreadsheet(double mass, double ppm, HWND list, const std::vector<ResultRow>& rows) {
    std::optional<TExcel8Driver> driver;
    try {
        const std::string sheetName =
            FormatSheetName(LocFormat(kSheetNameId), mass, ppm, LocaleDecimalSeparator());
        driver.emplace();
        FillWorkbook(*driver, sheetName, list, rows);
        return true;
    } catch (...) {
        if (driver && driver->Started() && !driver->Shown()) {
            bool onScreen = false;
            try {
                onScreen = driver->Visible();
            } catch (...) {
                // It cannot say; this export never showed it.
            }
            try {
                if (!onScreen) driver->Destroy();
            } catch (...) {
                // Quitting is a courtesy; the failure is reported either way.
            }
        }
        return false;
    }
}

}  // namespace

void TDlgMain::PM_ResExcelClick(const FormEvent&) {
    try {
        BusyCursor busy;
        // Hosts usually have OLE initialised on their thread already (S_FALSE):
        // that still runs the export, and the session balances its call.
        OleSession ole;
        if (!ole.Ready()) {
            ShowError(kDriverFailedId);
            return;
        }
        if (!SendToSpreadsheet(SearchMass(), SearchPpm(), Control(LV_Results), ResultList())) {
            ShowError(kDriverFailedId);
        }
    } catch (...) {
        // Only the message box itself can get here; nothing may leave a handler.
    }
}

}  // namespace ionsift
