// TDlgMain: printing the isotope chart. The system print dialog, centred over
// the tool window when it shows, chooses the printer; the chart prints
// itself on one page of it.
#include <windows.h>
#include <commdlg.h>

#include "resources/dlg_main_ids.h"
#include "ui/chart_control/chart_window_win.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

// PD_PrintShow: the dialog's first message, before it shows; lCustData
// holds the tool window.
UINT_PTR CALLBACK PD_PrintShow(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return 0;  // the dialog's own handling
    const auto* options = reinterpret_cast<const PRINTDLGA*>(lParam);
    CenterCommonDialog(CommonDialogKind::Print, dialog, reinterpret_cast<HWND>(options->lCustData));
    return TRUE;  // the dialog puts the focus on its first control
}

// The handles PrintDlgA hands back, released on every way out.
struct PrintDialogResult {
    PRINTDLGA options{};
    ~PrintDialogResult() {
        if (options.hDC) DeleteDC(options.hDC);
        if (options.hDevMode) GlobalFree(options.hDevMode);
        if (options.hDevNames) GlobalFree(options.hDevNames);
    }
};

}  // namespace

void TDlgMain::PM_IC_PrintClick(const FormEvent&) {
    PrintDialogResult print;
    PRINTDLGA& options = print.options;
    options.lStructSize = sizeof options;
    options.hwndOwner = Handle();
    // One page and no selection, so no ranges to choose; copies go to the
    // driver, which makes them or offers none. The orientation is the
    // dialog's.
    options.Flags = PD_RETURNDC | PD_ENABLEPRINTHOOK | PD_NOPAGENUMS | PD_NOSELECTION |
                    PD_USEDEVMODECOPIESANDCOLLATE;
    options.lpfnPrintHook = PD_PrintShow;
    options.lCustData = reinterpret_cast<LPARAM>(Handle());
    if (!PrintDlgA(&options) || !options.hDC) return;

    char caption[256] = {};
    GetWindowTextA(Handle(), caption, sizeof caption);
    BusyCursor busy;
    ChartPrint(Control(TC_IsoChart), options.hDC, caption);
}

}  // namespace ionsift
