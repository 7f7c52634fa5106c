#include "ui/form/dialog_keys_win.h"

#include <algorithm>
#include <vector>

namespace ionsift {
namespace {

struct DialogKeys {
    HHOOK hook = nullptr;
    std::vector<HWND> forms;
};

DialogKeys& Keys() {
    static DialogKeys keys;
    return keys;
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM removal, LPARAM message) {
    MSG& msg = *reinterpret_cast<MSG*>(message);
    if (code >= 0 && removal == PM_REMOVE && msg.message >= WM_KEYFIRST &&
        msg.message <= WM_KEYLAST) {
        for (HWND form : Keys().forms) {
            if ((msg.hwnd == form || IsChild(form, msg.hwnd)) && IsDialogMessageA(form, &msg)) {
                // Handled (and dispatched where needed): the host's loop gets nothing.
                msg.message = WM_NULL;
                msg.wParam = 0;
                msg.lParam = 0;
                break;
            }
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace

void AddDialogKeys(HWND form) {
    DialogKeys& keys = Keys();
    if (std::find(keys.forms.begin(), keys.forms.end(), form) != keys.forms.end()) return;
    if (!keys.hook) {
        keys.hook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
        if (!keys.hook) return;
    }
    keys.forms.push_back(form);
}

void RemoveDialogKeys(HWND form) {
    DialogKeys& keys = Keys();
    keys.forms.erase(std::remove(keys.forms.begin(), keys.forms.end(), form), keys.forms.end());
    if (keys.forms.empty() && keys.hook) {
        UnhookWindowsHookEx(keys.hook);
        keys.hook = nullptr;
    }
}

}  // namespace ionsift
