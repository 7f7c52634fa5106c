// The command box under the host's log: a one-line edit and a Run button.
// Enter in the edit or a click on Run sends the parent a WM_COMMAND with
// the button's id and BN_CLICKED.
#pragma once

#include <windows.h>

#include <string>

namespace ionsift::host {

class CommandBox {
public:
    bool Create(HWND parent, HINSTANCE instance, int runId);
    void Place(const RECT& area);  // edit and button side by side in `area`
    std::string Text() const;
    void SelectAll();  // after a run, so the next command can be typed over it
    int Height() const;
    HWND edit() const { return edit_; }

private:
    static LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data);

    HWND edit_ = nullptr;
    HWND run_ = nullptr;
};

}  // namespace ionsift::host
