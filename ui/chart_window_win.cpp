#include "ui/chart_window_win.h"

#include "ui/window_class_win.h"

namespace ionsift {
namespace {

constexpr int kWallMargin = 8;  // between the control's edge and the back wall

void PaintChart(HWND window, HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    RECT wall = client;
    InflateRect(&wall, -kWallMargin, -kWallMargin);
    if (title[0]) {
        const HGDIOBJ oldFont =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0)));
        RECT line{client.left, kWallMargin / 2, client.right, 0};
        DrawTextA(dc, title, -1, &line, DT_CALCRECT | DT_SINGLELINE);
        line.left = client.left;
        line.right = client.right;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, title, -1, &line, DT_SINGLELINE | DT_CENTER);
        wall.top = line.bottom + kWallMargin / 2;
        SelectObject(dc, oldFont);
    }
    if (wall.right <= wall.left || wall.bottom <= wall.top) return;
    FillRect(dc, &wall, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &wall, GetSysColorBrush(COLOR_BTNSHADOW));
}

LRESULT CALLBACK ChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            PaintChart(window, dc, client);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SIZE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, FALSE);
            return result;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterChartClass(HINSTANCE module) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ChartProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kChartClass;
    return RegisterFreshClass(windowClass);
}

void UnregisterChartClass(HINSTANCE module) { UnregisterClassA(kChartClass, module); }

void ChartDraw(HWND chart, HDC dc, const RECT& target) { PaintChart(chart, dc, target); }

}  // namespace ionsift
