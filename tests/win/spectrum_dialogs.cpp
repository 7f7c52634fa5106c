#include "tests/win/spectrum_dialogs.h"

#include <commctrl.h>
#include <dlgs.h>

#include "resources/dlg_main_ids.h"
#include "resources/dlg_spectra_ids.h"
#include "tests/win/plugin_harness.h"

namespace ionsift::wintest {
namespace {

using namespace dlg_spectra;

// A timer callback gets no pointer of ours, so the script it follows goes here.
SpectrumDialogScript* g_script = nullptr;

struct ThreadWindow {
    bool (*wanted)(HWND);
    HWND found;
};

BOOL CALLBACK FindThreadWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<ThreadWindow*>(data);
    if (!IsWindowVisible(window) || !search.wanted(window)) return TRUE;
    search.found = window;
    return FALSE;
}

HWND ShownWindow(bool (*wanted)(HWND)) {
    ThreadWindow search{wanted, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindThreadWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsCommonDialog(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return std::string(name) == "#32770";
}

bool IsPickList(HWND window) { return FindControl(window, LV_Spectra) != nullptr; }

void ReadPickList(HWND form, SpectrumDialogScript& script) {
    const HWND list = FindControl(form, LV_Spectra);
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) cells.push_back(ListCell(list, row, column));
        script.listCells.push_back(cells);
    }
    char text[256] = {};
    GetWindowTextA(FindControl(form, LBL_SpectraInfo), text, sizeof text);
    script.listText = text;
}

void CALLBACK DriveDialogs(HWND, UINT, UINT_PTR, DWORD) {
    SpectrumDialogScript& script = *g_script;
    if (const HWND dialog = ShownWindow(IsCommonDialog); dialog && !script.openShown) {
        script.openShown = true;
        const HWND nameBox = GetDlgItem(dialog, edt1) ? GetDlgItem(dialog, edt1) : GetDlgItem(dialog, cmb13);
        SetWindowTextA(nameBox, script.file.c_str());
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return;
    }
    const HWND form = ShownWindow(IsPickList);
    if (!form || script.listShown) return;
    script.listShown = true;
    ReadPickList(form, script);
    if (script.onPickList) script.onPickList(form);
    if (script.pickRow < 0) {
        SendMessageA(FindControl(form, BT_SpectraCancel), BM_CLICK, 0, 0);
        return;
    }
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(FindControl(form, LV_Spectra), LVM_SETITEMSTATE, static_cast<WPARAM>(script.pickRow),
                 reinterpret_cast<LPARAM>(&item));
    SendMessageA(FindControl(form, BT_SpectraOk), BM_CLICK, 0, 0);
}

}  // namespace

void OpenSpectrumThroughDialogs(HWND experimentalEdit, SpectrumDialogScript& script) {
    g_script = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, DriveDialogs);
    SendMessageA(experimentalEdit, WM_COMMAND, MAKEWPARAM(dlg_main::PM_ExOpenSpectrum, 0), 0);
    KillTimer(nullptr, timer);
    g_script = nullptr;
}

}  // namespace ionsift::wintest
