// The about box: a modal form shown for the host's first menu entry.
#pragma once

#include <windows.h>

#include "ui/form/form_win.h"

namespace ionsift {

class TDlgAbout : public Form {
public:
    // Builds the hidden form, tells the host it opened and sets its texts;
    // null when the form cannot be built.
    static TDlgAbout* Create(HWND owner, HINSTANCE module);

    // Centres the box over the host and runs it modally; returns IDOK when
    // closed by the OK button, IDCANCEL otherwise. The form is hidden after.
    int ShowModal();

    void BT_OkClick(const FormEvent& event);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnEvent(const FormEvent& event) override;

private:
    TDlgAbout() = default;
    void EndModal(int result) { modalResult_ = result; }

    int modalResult_ = 0;
};

// The single instance; null until the first request.
TDlgAbout* DlgAbout();
// The host's request 1: creates the box on first use and shows it modally.
void ShowAboutBox();
// Destroys the box before the library goes away.
void DestroyAboutBox();

}  // namespace ionsift
