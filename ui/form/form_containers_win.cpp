#include "ui/form/form_containers_win.h"

#include "ui/form/window_class_win.h"

namespace ionsift {
namespace {

// The caption font arrives by WM_SETFONT, as for the system controls.
HFONT ContainerFont(HWND window) {
    return reinterpret_cast<HFONT>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

constexpr int kBackgroundSlot = 0;  // the window's extra bytes: its background brush

HBRUSH ContainerBackground(HWND window) {
    const auto brush = reinterpret_cast<HBRUSH>(GetWindowLongPtrA(window, kBackgroundSlot));
    return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

void PaintPanel(HWND window, HDC dc) {
    RECT rect;
    GetClientRect(window, &rect);
    DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&rect, -1, -1);
    DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
}

void PaintGroupBox(HWND window, HDC dc) {
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    const HGDIOBJ oldFont = SelectObject(dc, ContainerFont(window));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);

    RECT frame;
    GetClientRect(window, &frame);
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (caption[0]) {
        // The caption interrupts the top line, as in the system's group box.
        RECT text{8, 0, 0, metrics.tmHeight};
        DrawTextA(dc, caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);
        text.left -= 1;
        text.right += 1;
        FillRect(dc, &text, ContainerBackground(window));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, caption, -1, &text, DT_SINGLELINE | DT_CENTER);
    }
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // Children's notifications belong to the form, not to the container.
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        // A child's context menu too, still naming the child that was clicked.
        case WM_CONTEXTMENU:
            return SendMessageA(GetParent(window), message, wParam, lParam);
        case WM_SETFONT:
            SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
            if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(ContainerFont(window));
        case WM_ERASEBKGND: {
            RECT rect;
            GetClientRect(window, &rect);
            FillRect(reinterpret_cast<HDC>(wParam), &rect, ContainerBackground(window));
            return 1;
        }
        case WM_SIZE:
            // Bevels and frames sit on the edges: redraw them all.
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            char className[32] = {};
            GetClassNameA(window, className, sizeof className);
            if (lstrcmpA(className, kPanelClass) == 0) {
                PaintPanel(window, dc);
            } else if (lstrcmpA(className, kGroupBoxClass) == 0) {
                PaintGroupBox(window, dc);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterContainer(HINSTANCE module, const char* name) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ContainerProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    return RegisterFreshClass(windowClass);
}

}  // namespace

void SetContainerBackground(HWND container, HBRUSH brush) {
    SetWindowLongPtrA(container, kBackgroundSlot, reinterpret_cast<LONG_PTR>(brush));
    InvalidateRect(container, nullptr, TRUE);
}

bool RegisterContainerClasses(HINSTANCE module) {
    return RegisterContainer(module, kPanelClass) && RegisterContainer(module, kGroupBoxClass) &&
           RegisterContainer(module, kPlainPanelClass);
}

void UnregisterContainerClasses(HINSTANCE module) {
    UnregisterClassA(kPanelClass, module);
    UnregisterClassA(kGroupBoxClass, module);
    UnregisterClassA(kPlainPanelClass, module);
}

}  // namespace ionsift
