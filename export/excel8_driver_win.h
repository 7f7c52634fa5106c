// TExcel8Driver: the spreadsheet application's automation objects behind a
// handful of operations. Late-bound (IDispatch name lookup and invoke) so
// that any application registered as "Excel.Application" serves it. Every
// failure is an AutomationError; the driver keeps no error state.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "export/automation_win.h"

namespace ionsift {

class TExcel8Driver {
public:
    TExcel8Driver() = default;
    // Releases the six references (cell range first, application last). It
    // does not quit the application: one made visible stays open.
    ~TExcel8Driver();
    TExcel8Driver(const TExcel8Driver&) = delete;
    TExcel8Driver& operator=(const TExcel8Driver&) = delete;

    // Starts the application and opens a new workbook; leaves it invisible.
    void Create();
    // Makes the application visible.
    void View();
    // Asks the application to quit; releases nothing.
    void Destroy();
    // Asks the application whether it is on screen.
    bool Visible() const;
    // Rows and columns are 1-based sheet coordinates.
    void SetCellValue(int row, int column, const VARIANT& value);
    // Writes `text` (ANSI) and, when style is not 0, sets all six font
    // properties from its bits (font_styles.h).
    void SetCellText(int row, int column, int style, const char* text);
    // Selects the sheet and names it (cut to kSheetNameLimit characters).
    void SetSheetName(const char* text);

    // True once Create has an application (even if a later step failed).
    bool Started() const { return !application_.Empty(); }
    // True once View has succeeded: the user owns the application from then.
    bool Shown() const { return shown_; }

private:
    ScopedVariant Cell(int row, int column) const;

    ScopedVariant application_;
    ScopedVariant workbooks_;
    ScopedVariant workbook_;
    ScopedVariant sheets_;
    ScopedVariant sheet_;
    ScopedVariant cells_;
    bool shown_ = false;
};

}  // namespace ionsift
