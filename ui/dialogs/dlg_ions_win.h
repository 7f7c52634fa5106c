// The Ions dialog: a modal form over the tool window in which the user
// checks the ions to search at once, positive and negative in lists of their
// own, and adds or removes ions of his own notation.
#pragma once

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ui/dialogs/ion_choice.h"
#include "ui/form/form_win.h"

namespace ionsift {

class TDlgIons : public Form {
public:
    explicit TDlgIons(const IonChoice& choice) : choice_(choice) {}
    ~TDlgIons() override { Destroy(); }

    // Builds the hidden form owned by `owner`; false when it cannot be built.
    bool Create(HWND owner, HINSTANCE module);
    // Runs the dialog modally; IDOK or IDCANCEL.
    int ShowModal();
    // The choice as OK left it: every checked ion (the neutral molecule when
    // none), and the user's own ions.
    const IonChoice& Choice() const { return choice_; }

    void STR_NewIonChange(const FormEvent& event);
    void BT_AddClick(const FormEvent& event);
    void BT_RemoveClick(const FormEvent& event);
    void LV_SelectItem(const FormEvent& event);
    void BT_OkClick(const FormEvent& event);
    void BT_CancelClick(const FormEvent& event);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnEvent(const FormEvent& event) override;

private:
    // Both lists from choice_.own and checked_, each ion in its sign's list.
    void FillLists();
    void ReadChecks();
    // The own ion selected in either list, or "".
    std::string SelectedOwnIon() const;
    void EnableButtons();

    IonChoice choice_;
    std::set<std::string> checked_;
    int result_ = 0;
};

// Shows the dialog over `owner` with `choice`; the accepted choice, or
// nothing when it was cancelled or could not be shown.
std::optional<IonChoice> RunIonsDialog(HWND owner, HINSTANCE module, const IonChoice& choice);

}  // namespace ionsift
