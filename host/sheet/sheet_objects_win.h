// The stand-in's automation objects: Application, Workbooks, Workbook,
// Sheets, Worksheet, Range (the sheet's cells or one cell) and Font, each
// serving through IDispatch the members a spreadsheet client uses.
#pragma once

#include <windows.h>

namespace ionsift::sheet {

// A new, invisible application with no workbook; the caller owns the one
// reference. With IONSIFT_SHEET_RUNNING set, the application already on
// screen instead, if there is one.
IDispatch* NewApplication();

}  // namespace ionsift::sheet
