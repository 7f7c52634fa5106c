// TDlgMain: the results list to the clipboard (through the host's CopyText)
// and to a CSV or DIF file chosen in the save dialog SD_Results.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>

#include "export/copy_text.h"
#include "export/replacing_save_win.h"
#include "export/result_files.h"
#include "resources/dlg_main_ids.h"
#include "shell/error_report.h"
#include "shell/host_link.h"
#include "shell/string_table.h"
#include "ui/dialogs/dlg_main_win.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_main;

constexpr int kSaveFilterId = 37;
constexpr int kSaveTitleId = 38;
constexpr int kCantWriteId = 51;
constexpr int kOutOfMemoryId = 52;
constexpr char kSaveDefaultExtension[] = "csv|dif";
constexpr DWORD kSaveFileNameCapacity = 4096;

const ResultRow* SelectedRow(const TDlgMain& window) {
    const int selected = window.SelectedResult();
    const std::vector<ResultRow>& rows = window.ResultList();
    return selected >= 0 && static_cast<std::size_t>(selected) < rows.size()
               ? &rows[static_cast<std::size_t>(selected)]
               : nullptr;
}

// The captions of the list's columns, as the user sees them.
ColumnTitles ListColumnTitles(HWND list) {
    ColumnTitles titles;
    for (int column = 0; column < kResultColumnCount; ++column) {
        char caption[256] = {};
        LVCOLUMNA query{};
        query.mask = LVCF_TEXT;
        query.pszText = caption;
        query.cchTextMax = sizeof caption;
        if (SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&query))) {
            titles[static_cast<std::size_t>(column)] = caption;
        }
    }
    return titles;
}

// The command goes to the host's callback as built: printf-style formatting
// would eat a "%" in a name.
template <class Build>
void SendCopyCommand(Build build) {
    try {
        const std::string command = build();
        if (!command.empty()) SendDirect(command.c_str());
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
    }
}

// Hook of SD_Results: once the dialog exists, centre it over the tool window.
UINT_PTR CALLBACK SD_ResultsShow(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto& request = *reinterpret_cast<const OPENFILENAMEA*>(lParam);
        CenterCommonDialog(CommonDialogKind::Save, hook, reinterpret_cast<HWND>(request.lCustData));
    }
    return 0;  // the dialog's own handling for every message
}

// Runs SD_Results. On OK the chosen type and name are kept in `filterIndex`
// and `fileName`, and offered again next time; false when cancelled.
bool RunSaveDialog(HWND owner, int& filterIndex, std::string& fileName) {
    // The filter's "|" separators become the NULs the dialog expects; the
    // string's own terminator closes the list.
    std::string filter = LocString(kSaveFilterId);
    filter += '|';
    std::replace(filter.begin(), filter.end(), '|', '\0');
    std::string name(kSaveFileNameCapacity, '\0');
    fileName.copy(&name[0], std::min<std::size_t>(fileName.size(), name.size() - 1));

    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = static_cast<DWORD>(filterIndex);
    request.lpstrFile = &name[0];
    request.nMaxFile = kSaveFileNameCapacity;
    request.lpstrTitle = LocString(kSaveTitleId);
    request.lpstrDefExt = kSaveDefaultExtension;
    // The dialog's defaults: no read-only box, resizable; no overwrite question.
    request.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    request.lpfnHook = SD_ResultsShow;
    request.lCustData = reinterpret_cast<LPARAM>(owner);
    if (!GetSaveFileNameA(&request)) return false;
    filterIndex = static_cast<int>(request.nFilterIndex);
    fileName = name.c_str();
    return true;
}

}  // namespace

void TDlgMain::PM_ResCopyClick(const FormEvent&) {
    const int column = ClickedColumn();
    if (column < 0) return;  // the menu opened over no row
    if (column >= kResultColumnCount) {
        CopyIonCell(column);
        return;
    }
    const ResultRow* row = SelectedRow(*this);
    if (!row) return;
    BusyCursor busy;
    SendCopyCommand([&] { return CopyCellCommand(*row, column); });
}

void TDlgMain::PM_ResCopyRowClick(const FormEvent&) {
    const ResultRow* row = SelectedRow(*this);
    if (!row) return;
    BusyCursor busy;
    SendCopyCommand([&] { return CopyRowCommand(*row); });
}

void TDlgMain::PM_ResCopyAllClick(const FormEvent&) {
    BusyCursor busy;
    SendCopyCommand([&] {
        return CopyAllCommand(ResultTable{ListColumnTitles(Control(LV_Results)), ResultList()});
    });
}

void TDlgMain::PM_ResSaveClick(const FormEvent&) {
    std::string target;
    try {
        if (!RunSaveDialog(Handle(), saveFilterIndex_, saveFileName_)) return;
        target = saveFileName_;
    } catch (const std::bad_alloc&) {
        ShowError(kOutOfMemoryId);
        return;
    }
    BusyCursor busy;
    try {
        // The chosen file type decides the format, whatever the name's extension.
        std::string text;
        const ResultTable table{ListColumnTitles(Control(LV_Results)), ResultList()};
        if (!ResultFileText(saveFilterIndex_, table, text)) return;
        if (SaveFileReplacing(target, text)) return;
    } catch (const std::bad_alloc&) {
        // Not enough memory for the file's text: nothing was written.
    }
    ShowError(kCantWriteId);
}

}  // namespace ionsift
