// "Open spectrum..." of the experimental edit's menu driven as a user would:
// the real open dialog gets the file's name, the pick list (when the file
// holds several spectra) is read and a row taken, or Cancel pressed. Both
// are found from a timer inside their own modal loops.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ionsift::wintest {

struct SpectrumDialogScript {
    std::string file;  // typed into the open dialog's name box
    int pickRow = 0;   // the row chosen in the pick list; -1: Cancel
    // Called with the pick list's form once it shows, before the choice.
    std::function<void(HWND form)> onPickList;
    // What the dialogs showed.
    bool openShown = false;
    bool listShown = false;
    std::vector<std::vector<std::string>> listCells;
    std::string listText;  // the line above the rows
};

// Chooses the menu row as TrackPopupMenu delivers it, to the edit, and
// drives the dialogs by the script, which records what they showed.
void OpenSpectrumThroughDialogs(HWND experimentalEdit, SpectrumDialogScript& script);

}  // namespace ionsift::wintest
