#include "ui/dialogs/dlg_spectra_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resources/dlg_spectra_ids.h"
#include "shell/string_table.h"
#include "text/separators.h"
#include "ui/dialogs/dlg_spectra_form.h"
#include "ui/dialogs/spectrum_pick_columns.h"
#include "ui/form/form_win.h"
#include "ui/form/placement.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_spectra;

constexpr int kInfoId = 105;

class TDlgSpectra : public Form {
public:
    explicit TDlgSpectra(const SpectrumListing& listing)
        : listing_(listing), columns_(PickColumnsFor(listing.format)) {}
    ~TDlgSpectra() override { Destroy(); }

    bool Create(HWND owner, HINSTANCE module, const std::string& fileName);
    std::optional<std::size_t> ShowModal(HWND owner);

    void BT_OkClick(const FormEvent& event);
    void BT_CancelClick(const FormEvent& event);
    void LV_SpectraItemText(const FormEvent& event);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnEvent(const FormEvent& event) override;

private:
    void End(bool chosen) {
        chosen_ = chosen;
        done_ = true;
    }

    const SpectrumListing& listing_;
    const SpectrumPickColumns columns_;
    bool done_ = false;
    bool chosen_ = false;
};

constexpr Route<TDlgSpectra> kRoutes[] = {
    {BT_SpectraOk, FormEventKind::Click, &TDlgSpectra::BT_OkClick},
    {BT_SpectraCancel, FormEventKind::Click, &TDlgSpectra::BT_CancelClick},
    {LV_Spectra, FormEventKind::DoubleClick, &TDlgSpectra::BT_OkClick},
    {LV_Spectra, FormEventKind::ItemText, &TDlgSpectra::LV_SpectraItemText},
};

void CopyItemText(const std::string& text, char* buffer, int capacity) {
    if (!buffer || capacity <= 0) return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool TDlgSpectra::Create(HWND owner, HINSTANCE module, const std::string& fileName) {
    if (!Form::Create(DlgSpectraForm(), owner, module)) return false;
    ApplyLocalizedCaptions();
    char info[512];
    std::snprintf(info, sizeof info, LocFormat(kInfoId), fileName.c_str(),
                  static_cast<unsigned>(listing_.entries.size()));
    SetText(LBL_SpectraInfo, info);

    const HWND list = Control(LV_Spectra);
    for (std::size_t i = 0; i < columns_.count; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = columns_.columns[i].width;
        column.pszText = const_cast<char*>(LocString(columns_.columns[i].stringId));
        column.iSubItem = static_cast<int>(i);
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, LVM_SETITEMCOUNT, listing_.entries.size(), 0);
    // The first spectrum is offered, so that Enter alone takes it.
    LVITEMA first{};
    first.stateMask = first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    return true;
}

std::optional<std::size_t> TDlgSpectra::ShowModal(HWND owner) {
    const HWND window = Handle();
    RECT ownerRect{}, own{};
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(window, &own);
    const Position at = CenterOver({ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom},
                                   own.right - own.left, own.bottom - own.top, GetWorkLimits(owner));
    SetWindowPos(window, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The owner waits for the choice, as a modal dialog's owner does.
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    SetFocus(Control(LV_Spectra));
    MSG message;
    while (!done_ && IsWindow(window)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The host is quitting: its own loop must still see WM_QUIT.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // Enabled before the form goes, so that activation returns to the owner.
    if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    int row = -1;
    if (chosen_ && IsWindow(window)) row = SelectedRow(Control(LV_Spectra));
    if (IsWindow(window)) ShowWindow(window, SW_HIDE);
    if (row < 0 || static_cast<std::size_t>(row) >= listing_.entries.size()) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void TDlgSpectra::BT_OkClick(const FormEvent&) {
    // OK with no row chosen is no choice yet.
    if (SelectedRow(Control(LV_Spectra)) >= 0) End(true);
}

void TDlgSpectra::BT_CancelClick(const FormEvent&) { End(false); }

void TDlgSpectra::LV_SpectraItemText(const FormEvent& event) {
    auto& request = *reinterpret_cast<NMLVDISPINFOA*>(event.detail);
    LVITEMA& item = request.item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= listing_.entries.size() || item.iSubItem < 0 ||
        static_cast<std::size_t>(item.iSubItem) >= columns_.count) {
        return;
    }
    const SpectrumEntry& entry = listing_.entries[static_cast<std::size_t>(item.iItem)];
    CopyItemText(SpectrumCellText(columns_.columns[item.iSubItem].cell, entry, LocaleDecimalSeparator()),
                 item.pszText, item.cchTextMax);
}

void TDlgSpectra::OnEvent(const FormEvent& event) { RouteEvent(*this, kRoutes, event); }

LRESULT TDlgSpectra::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            End(false);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL && lParam == 0) {  // Escape
                End(false);
                return 0;
            }
            break;
        default:
            break;
    }
    return Form::WindowProc(message, wParam, lParam);
}

}  // namespace

std::optional<std::size_t> PickSpectrum(HWND owner, HINSTANCE module,
                                        const SpectrumListing& listing,
                                        const std::string& fileName) {
    TDlgSpectra form(listing);
    if (!form.Create(owner, module, fileName)) return std::nullopt;
    return form.ShowModal(owner);
}

}  // namespace ionsift
