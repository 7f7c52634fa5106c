// The state one stand-in application instance shares between its automation
// objects and its window: the workbooks, which is active, and the window.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "host/sheet/sheet_book.h"

namespace ionsift::sheet {

struct SheetApp {
    std::vector<Workbook> books;  // never shrinks: objects refer to books by index
    int activeBook = -1;
    int booksMade = 0;
    HWND window = nullptr;  // the grid window while it exists

    // The sheet the window shows; null before the first workbook.
    const Sheet* ActiveSheet() const;
};

using SheetAppPtr = std::shared_ptr<SheetApp>;

// Shows the application's window (made on first use) or hides it. The window
// holds the state itself, so it outlives every automation reference: once
// visible, the user owns it. False when the window could not be made.
bool ShowSheetWindow(const SheetAppPtr& app, bool visible);
// Closes the window if there is one (Quit).
void CloseSheetWindow(SheetApp& app);
// Redraws the window after a change of cells or names.
void RefreshSheetWindow(const SheetApp& app);

}  // namespace ionsift::sheet
