#include "host/app/command_box_win.h"

#include <commctrl.h>

namespace ionsift::host {
namespace {

constexpr int kButtonWidth = 64;
constexpr int kGap = 4;
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

bool CommandBox::Create(HWND parent, HINSTANCE instance, int runId) {
    edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                            0, 0, 0, 0, parent, nullptr, instance, nullptr);
    run_ = CreateWindowExA(0, "BUTTON", "&Run", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(runId)), instance, nullptr);
    if (edit_ == nullptr || run_ == nullptr) return false;
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(edit_, WM_SETFONT, font, FALSE);
    SendMessageA(run_, WM_SETFONT, font, FALSE);
    SendMessageA(edit_, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"Type a host command, e.g. IsoDist C6H12O6"));
    return SetWindowSubclass(edit_, EditProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(run_)) != FALSE;
}

// A one-line edit outside a dialog does nothing with Enter but beep; here
// Enter runs the command as the button would.
LRESULT CALLBACK CommandBox::EditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        HWND run = reinterpret_cast<HWND>(data);
        SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(run), BN_CLICKED),
                     reinterpret_cast<LPARAM>(run));
        return 0;
    }
    if (message == WM_CHAR && wParam == '\r') return 0;  // no beep
    return DefSubclassProc(edit, message, wParam, lParam);
}

void CommandBox::Place(const RECT& area) {
    const int height = area.bottom - area.top;
    const int editWidth = area.right - area.left - kButtonWidth - kGap;
    MoveWindow(edit_, area.left, area.top, editWidth > 0 ? editWidth : 0, height, TRUE);
    MoveWindow(run_, area.right - kButtonWidth, area.top, kButtonWidth, height, TRUE);
}

std::string CommandBox::Text() const {
    const int length = GetWindowTextLengthA(edit_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(edit_, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void CommandBox::SelectAll() {
    SendMessageA(edit_, EM_SETSEL, 0, -1);
    SetFocus(edit_);
}

int CommandBox::Height() const {
    HDC dc = GetDC(edit_);
    HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(edit_, dc);
    return metrics.tmHeight + 12;  // text, the edit's border and padding
}

}  // namespace ionsift::host
