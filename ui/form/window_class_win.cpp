#include "ui/form/window_class_win.h"

namespace ionsift {

bool RegisterFreshClass(const WNDCLASSA& windowClass) {
    WNDCLASSA existing{};
    if (GetClassInfoA(windowClass.hInstance, windowClass.lpszClassName, &existing)) {
        if (existing.lpfnWndProc == windowClass.lpfnWndProc) return true;  // ours, this load
        UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
    }
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace ionsift
