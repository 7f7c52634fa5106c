#include "ui/dialogs/dlg_ions_win.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "resources/dlg_ions_ids.h"
#include "shell/string_table.h"
#include "ui/dialogs/dlg_ions_form.h"
#include "ui/form/window_utils_win.h"

namespace ionsift {
namespace {

using namespace dlg_ions;

constexpr int kPresentId = 80;
constexpr int kNotationLimit = 256;

const Route<TDlgIons> kRoutes[] = {
    {STR_NewIon, FormEventKind::Change, &TDlgIons::STR_NewIonChange},
    {BT_Add, FormEventKind::Click, &TDlgIons::BT_AddClick},
    {BT_Remove, FormEventKind::Click, &TDlgIons::BT_RemoveClick},
    {LV_Positive, FormEventKind::SelectItem, &TDlgIons::LV_SelectItem},
    {LV_Negative, FormEventKind::SelectItem, &TDlgIons::LV_SelectItem},
    {BT_Ok, FormEventKind::Click, &TDlgIons::BT_OkClick},
    {BT_Cancel, FormEventKind::Click, &TDlgIons::BT_CancelClick},
};

std::string ItemText(HWND list, int item) {
    char text[kNotationLimit] = {};
    ListView_GetItemText(list, item, 0, text, sizeof text);
    return text;
}

bool IsOwn(const IonChoice& choice, const std::string& notation) {
    return std::find(choice.own.begin(), choice.own.end(), notation) != choice.own.end();
}

}  // namespace

bool TDlgIons::Create(HWND owner, HINSTANCE module) {
    if (!Form::Create(DlgIonsForm(), owner, module)) return false;
    ApplyLocalizedCaptions();
    SendMessageA(Control(STR_NewIon), EM_LIMITTEXT, kNotationLimit - 1, 0);
    for (const std::string& notation : choice_.chosen) checked_.insert(notation);
    FillLists();
    EnableButtons();
    return true;
}

void TDlgIons::FillLists() {
    const HWND positive = Control(LV_Positive);
    const HWND negative = Control(LV_Negative);
    ListView_DeleteAllItems(positive);
    ListView_DeleteAllItems(negative);
    const auto add = [&](const std::string& notation, const Ion& ion) {
        if (IsNeutral(ion)) return;  // the neutral molecule is no ion: none checked means it
        const HWND list = ion.charge > 0 ? positive : negative;
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<char*>(notation.c_str());
        const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (index >= 0) ListView_SetCheckState(list, index, checked_.count(notation) > 0);
    };
    for (const Ion& ion : IonTable()) add(ion.notation, ion);
    for (const std::string& notation : choice_.own) {
        if (const Ion* ion = ResolveIon(notation, choice_.own)) add(notation, *ion);
    }
}

void TDlgIons::ReadChecks() {
    checked_.clear();
    for (const int id : {LV_Positive, LV_Negative}) {
        const HWND list = Control(id);
        const int count = ListView_GetItemCount(list);
        for (int i = 0; i < count; ++i) {
            if (ListView_GetCheckState(list, i)) checked_.insert(ItemText(list, i));
        }
    }
}

std::string TDlgIons::SelectedOwnIon() const {
    for (const int id : {LV_Positive, LV_Negative}) {
        const HWND list = Control(id);
        const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        if (selected < 0) continue;
        const std::string notation = ItemText(list, selected);
        if (IsOwn(choice_, notation)) return notation;
    }
    return {};
}

void TDlgIons::EnableButtons() {
    std::string message;
    const std::string typed = Text(STR_NewIon);
    const NewIonCheck check = CheckNewIon(typed, choice_.own, message);
    // Nothing typed yet needs no message.
    if (typed.empty()) message.clear();
    if (check == NewIonCheck::Present) message = LocString(kPresentId);
    SetText(LBL_NewIonCheck, message.c_str());
    Enable(BT_Add, check == NewIonCheck::Valid);
    Enable(BT_Remove, !SelectedOwnIon().empty());
}

void TDlgIons::STR_NewIonChange(const FormEvent&) { EnableButtons(); }

void TDlgIons::LV_SelectItem(const FormEvent& event) {
    // One selection for both lists: Remove acts on the one last picked.
    const auto& change = *reinterpret_cast<const NMLISTVIEW*>(event.detail);
    if (change.uNewState & LVIS_SELECTED) {
        const HWND other = Control(event.controlId == LV_Positive ? LV_Negative : LV_Positive);
        ListView_SetItemState(other, -1, 0, LVIS_SELECTED);
    }
    EnableButtons();
}

void TDlgIons::BT_AddClick(const FormEvent&) {
    std::string message;
    const std::string notation = Text(STR_NewIon);
    if (CheckNewIon(notation, choice_.own, message) != NewIonCheck::Valid) return;
    ReadChecks();
    choice_.own.push_back(notation);
    // An ion added is meant to be searched.
    checked_.insert(notation);
    FillLists();
    SetText(STR_NewIon, "");
    EnableButtons();
}

void TDlgIons::BT_RemoveClick(const FormEvent&) {
    const std::string notation = SelectedOwnIon();
    if (notation.empty()) return;
    ReadChecks();
    choice_.own.erase(std::remove(choice_.own.begin(), choice_.own.end(), notation), choice_.own.end());
    checked_.erase(notation);
    FillLists();
    EnableButtons();
}

void TDlgIons::BT_OkClick(const FormEvent&) {
    choice_.chosen.clear();
    for (const int id : {LV_Positive, LV_Negative}) {
        const HWND list = Control(id);
        const int count = ListView_GetItemCount(list);
        for (int i = 0; i < count; ++i) {
            if (ListView_GetCheckState(list, i)) choice_.chosen.push_back(ItemText(list, i));
        }
    }
    if (choice_.chosen.empty()) choice_.chosen = {NeutralIon().notation};
    result_ = IDOK;
}

void TDlgIons::BT_CancelClick(const FormEvent&) { result_ = IDCANCEL; }

int TDlgIons::ShowModal() {
    const HWND window = Handle();
    const HWND owner = GetWindow(window, GW_OWNER);
    CenterOnHost(window);
    // The tool window waits while the dialog is up, as a modal dialog's owner does.
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    result_ = 0;
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    SetFocus(Control(LV_Positive));
    MSG message;
    while (result_ == 0 && IsWindow(window)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The host is quitting: its own loop must still see WM_QUIT.
            PostQuitMessage(static_cast<int>(message.wParam));
            result_ = IDCANCEL;
            break;
        }
        if (got < 0) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // Enabled before hiding, so that activation goes back to the owner.
    if (disableOwner) EnableWindow(owner, TRUE);
    if (IsWindow(window)) ShowWindow(window, SW_HIDE);
    return result_ ? result_ : IDCANCEL;
}

void TDlgIons::OnEvent(const FormEvent& event) { RouteEvent(*this, kRoutes, event); }

LRESULT TDlgIons::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            result_ = IDCANCEL;
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL && lParam == 0) {  // Escape
                result_ = IDCANCEL;
                return 0;
            }
            break;
        default:
            break;
    }
    return Form::WindowProc(message, wParam, lParam);
}

std::optional<IonChoice> RunIonsDialog(HWND owner, HINSTANCE module, const IonChoice& choice) {
    const std::unique_ptr<TDlgIons> dialog = std::make_unique<TDlgIons>(choice);
    if (!dialog->Create(owner, module)) return std::nullopt;
    if (dialog->ShowModal() != IDOK) return std::nullopt;
    return dialog->Choice();
}

}  // namespace ionsift
