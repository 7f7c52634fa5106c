// The stand-in application's window: the active sheet as a grid (column
// letters, row numbers, cells, bold drawn bold, the sheet's name on its tab)
// with a File menu to save the sheet as CSV.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/sheet/sheet_app_win.h"

namespace ionsift::sheet {
namespace {

constexpr char kWindowClass[] = "IonsiftSheetStandIn";
constexpr char kTitle[] = "Spreadsheet stand-in";
constexpr int kSaveCsvCommand = 1;
constexpr int kCloseCommand = 2;
constexpr int kRowHeaderWidth = 44;
constexpr int kNarrowestColumn = 64;
constexpr int kWidestColumn = 360;
constexpr int kCellPadding = 4;
constexpr int kTabWidthPadding = 24;

SheetApp* AppOf(HWND window) {
    auto* holder = reinterpret_cast<SheetAppPtr*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return holder ? holder->get() : nullptr;
}

HFONT GridFont(bool bold) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTA font = metrics.lfMessageFont;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    return CreateFontIndirectA(&font);
}

struct GridFonts {
    HFONT normal = GridFont(false);
    HFONT bold = GridFont(true);
    ~GridFonts() {
        DeleteObject(normal);
        DeleteObject(bold);
    }
};

GridFonts& Fonts() {
    static GridFonts fonts;
    return fonts;
}

int RowHeight(HDC dc) {
    TEXTMETRICA metrics{};
    const HGDIOBJ old = SelectObject(dc, Fonts().bold);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    return metrics.tmHeight + 2 * kCellPadding;
}

int TextWidth(HDC dc, const std::string& text, bool bold) {
    const HGDIOBJ old = SelectObject(dc, bold ? Fonts().bold : Fonts().normal);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size.cx;
}

// Each column as wide as its widest text, within limits.
std::vector<int> ColumnWidths(HDC dc, const Sheet& sheet, int columns) {
    std::vector<int> widths(static_cast<std::size_t>(columns) + 1, kNarrowestColumn);
    for (const auto& entry : sheet.cells) {
        int& width = widths[static_cast<std::size_t>(entry.first.second)];
        const int wanted = TextWidth(dc, entry.second.text, entry.second.font & kFontBold) + 2 * kCellPadding;
        width = std::min(kWidestColumn, std::max(width, wanted));
    }
    return widths;
}

void DrawCellText(HDC dc, const std::string& text, RECT rect, bool bold, UINT align) {
    const HGDIOBJ old = SelectObject(dc, bold ? Fonts().bold : Fonts().normal);
    InflateRect(&rect, -kCellPadding, 0);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

void Paint(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const SheetApp* app = AppOf(window);
    const Sheet* sheet = app ? app->ActiveSheet() : nullptr;
    if (!sheet) return;
    SetBkMode(dc, TRANSPARENT);
    const int rowHeight = RowHeight(dc);
    const int columns = std::max(sheet->LastColumn(), 8);
    const std::vector<int> widths = ColumnWidths(dc, *sheet, columns);
    const int firstRow = GetScrollPos(window, SB_VERT) + 1;
    const int gridBottom = client.bottom - rowHeight;  // the tab strip below
    const HPEN gridPen = CreatePen(PS_SOLID, 1, RGB(208, 208, 208));
    const HGDIOBJ oldPen = SelectObject(dc, gridPen);

    // Column letters.
    RECT header{0, 0, kRowHeaderWidth, rowHeight};
    FillRect(dc, &header, GetSysColorBrush(COLOR_BTNFACE));
    for (int column = 1, x = kRowHeaderWidth; column <= columns && x < client.right; ++column) {
        RECT cell{x, 0, x + widths[static_cast<std::size_t>(column)], rowHeight};
        FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
        DrawCellText(dc, ColumnLetters(column), cell, false, DT_CENTER);
        x = cell.right;
        MoveToEx(dc, x - 1, 0, nullptr);
        LineTo(dc, x - 1, gridBottom);
    }
    // Rows: number, then cells.
    for (int row = firstRow, y = rowHeight; y < gridBottom; ++row, y += rowHeight) {
        RECT number{0, y, kRowHeaderWidth, y + rowHeight};
        FillRect(dc, &number, GetSysColorBrush(COLOR_BTNFACE));
        DrawCellText(dc, std::to_string(row), number, false, DT_RIGHT);
        for (int column = 1, x = kRowHeaderWidth; column <= columns && x < client.right; ++column) {
            const int right = x + widths[static_cast<std::size_t>(column)];
            if (const Cell* cell = sheet->Find(row, column)) {
                DrawCellText(dc, cell->text, RECT{x, y, right, y + rowHeight},
                             (cell->font & kFontBold) != 0, DT_LEFT);
            }
            x = right;
        }
        MoveToEx(dc, 0, y + rowHeight - 1, nullptr);
        LineTo(dc, client.right, y + rowHeight - 1);
    }
    // The sheet's tab.
    RECT strip{0, gridBottom, client.right, client.bottom};
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    RECT tab{kRowHeaderWidth, gridBottom,
             kRowHeaderWidth + TextWidth(dc, sheet->name, true) + kTabWidthPadding, client.bottom};
    FillRect(dc, &tab, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &tab, GetSysColorBrush(COLOR_WINDOWFRAME));
    DrawCellText(dc, sheet->name, tab, true, DT_CENTER);
    SelectObject(dc, oldPen);
    DeleteObject(gridPen);
}

void UpdateScrollRange(HWND window) {
    const SheetApp* app = AppOf(window);
    const Sheet* sheet = app ? app->ActiveSheet() : nullptr;
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE;
    RECT client{};
    GetClientRect(window, &client);
    const HDC dc = GetDC(window);
    const int rowHeight = RowHeight(dc);
    ReleaseDC(window, dc);
    scroll.nMax = sheet ? std::max(sheet->LastRow() - 1, 0) : 0;
    scroll.nPage = static_cast<UINT>(std::max<LONG>((client.bottom - 2 * rowHeight) / rowHeight, 1));
    SetScrollInfo(window, SB_VERT, &scroll, TRUE);
}

void Scroll(HWND window, int code, int by) {
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &scroll);
    int position = scroll.nPos;
    switch (code) {
        case SB_LINEUP: --position; break;
        case SB_LINEDOWN: ++position; break;
        case SB_PAGEUP: position -= static_cast<int>(scroll.nPage); break;
        case SB_PAGEDOWN: position += static_cast<int>(scroll.nPage); break;
        case SB_THUMBTRACK: position = scroll.nTrackPos; break;
        case SB_TOP: position = 0; break;
        case SB_BOTTOM: position = scroll.nMax; break;
        default: position += by; break;
    }
    scroll.fMask = SIF_POS;
    scroll.nPos = position;
    SetScrollInfo(window, SB_VERT, &scroll, TRUE);
    InvalidateRect(window, nullptr, FALSE);
}

bool WriteFileBytes(const char* path, const std::string& bytes) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void SaveAsCsv(HWND window) {
    const SheetApp* app = AppOf(window);
    const Sheet* sheet = app ? app->ActiveSheet() : nullptr;
    if (!sheet) return;
    char path[MAX_PATH] = {};
    // A file name from the sheet name, without what file names refuse.
    std::string suggested = sheet->name;
    for (char& c : suggested) {
        if (std::string("\\/:*?\"<>|").find(c) != std::string::npos) c = '_';
    }
    lstrcpynA(path, suggested.c_str(), sizeof path);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrDefExt = "csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetSaveFileNameA(&dialog)) return;
    if (!WriteFileBytes(path, SheetCsv(*sheet))) {
        MessageBoxA(window, "The file could not be written.", kTitle, MB_OK | MB_ICONERROR);
    }
}

void UpdateTitle(HWND window, const SheetApp& app) {
    std::string title = kTitle;
    if (app.activeBook >= 0) {
        const Workbook& book = app.books[static_cast<std::size_t>(app.activeBook)];
        title += " - " + book.name;
        if (const Sheet* sheet = app.ActiveSheet()) title += " - " + sheet->name;
    }
    SetWindowTextA(window, title.c_str());
}

LRESULT CALLBACK SheetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            Paint(window, dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // Paint fills everything
        case WM_SIZE:
            UpdateScrollRange(window);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_VSCROLL:
            Scroll(window, LOWORD(wParam), 0);
            return 0;
        case WM_MOUSEWHEEL:
            Scroll(window, -1, -GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kSaveCsvCommand) SaveAsCsv(window);
            if (LOWORD(wParam) == kCloseCommand) DestroyWindow(window);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_NCDESTROY: {
            auto* holder = reinterpret_cast<SheetAppPtr*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            if (holder) {
                (*holder)->window = nullptr;
                delete holder;
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&SheetWindowProc), &module);
    return module;
}

bool RegisterSheetClass(HINSTANCE module) {
    WNDCLASSA windowClass{};
    if (GetClassInfoA(module, kWindowClass, &windowClass)) return true;
    windowClass.lpfnWndProc = SheetWindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

HMENU CreateSheetMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kSaveCsvCommand, "&Save as CSV...");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kCloseCommand, "&Close");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    return bar;
}

}  // namespace

const Sheet* SheetApp::ActiveSheet() const {
    if (activeBook < 0) return nullptr;
    const Workbook& book = books[static_cast<std::size_t>(activeBook)];
    if (book.activeSheet < 0 || static_cast<std::size_t>(book.activeSheet) >= book.sheets.size()) {
        return nullptr;
    }
    return &book.sheets[static_cast<std::size_t>(book.activeSheet)];
}

bool ShowSheetWindow(const SheetAppPtr& app, bool visible) {
    if (!app->window && visible) {
        const HINSTANCE module = ThisModule();
        // The window's code must stay loaded after the client's last release
        // and OleUninitialize, which unload in-process servers: the user owns
        // the window now, so the module stays for the rest of the process.
        HMODULE pinned = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCSTR>(&SheetWindowProc), &pinned);
        if (!RegisterSheetClass(module)) return false;
        auto* holder = new SheetAppPtr(app);
        app->window = CreateWindowExA(0, kWindowClass, kTitle, WS_OVERLAPPEDWINDOW | WS_VSCROLL,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 720, 480, nullptr,
                                      CreateSheetMenu(), module, holder);
        if (!app->window) {
            delete holder;
            return false;
        }
        UpdateTitle(app->window, *app);
        UpdateScrollRange(app->window);
    }
    if (app->window) ShowWindow(app->window, visible ? SW_SHOW : SW_HIDE);
    return true;
}

void CloseSheetWindow(SheetApp& app) {
    if (app.window) DestroyWindow(app.window);
}

void RefreshSheetWindow(const SheetApp& app) {
    if (!app.window) return;
    UpdateTitle(app.window, app);
    UpdateScrollRange(app.window);
    InvalidateRect(app.window, nullptr, FALSE);
}

}  // namespace ionsift::sheet
