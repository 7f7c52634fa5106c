// Win32 half of the window utilities: reads windows and controls, hands the
// numbers to the portable rules (placement, key filters), applies the result.
#include "ui/form/window_utils_win.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/host_context.h"
#include "shell/host_link.h"
#include "shell/plugin_state.h"
#include "ui/form/key_filter.h"
#include "text/separators.h"

namespace ionsift {
namespace {

using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

// Systems before the multi-monitor API lack these, so they are looked up by
// name; the look-up is retried until MonitorFromWindow is found.
struct MonitorFunctions {
    MonitorFromWindowFn fromWindow = nullptr;
    GetMonitorInfoFn info = nullptr;
};

MonitorFunctions& Monitors() {
    static MonitorFunctions functions;
    if (!functions.fromWindow) {
        if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
            functions.fromWindow = reinterpret_cast<MonitorFromWindowFn>(
                reinterpret_cast<void*>(GetProcAddress(user32, "MonitorFromWindow")));
            functions.info = reinterpret_cast<GetMonitorInfoFn>(
                reinterpret_cast<void*>(GetProcAddress(user32, "GetMonitorInfoA")));
        }
    }
    return functions;
}

WorkLimits ScreenLimits() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenRect WindowScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// One dialog's computed place, kept with the dialog until it first shows.
struct DialogPlacement {
    Position position;
    int width = 0;
    int height = 0;
};

constexpr UINT_PTR kPlacementSubclassId = 0x10C5;

LRESULT CALLBACK PlaceDialogOnShow(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data) {
    auto* placement = reinterpret_cast<DialogPlacement*>(data);
    if (message == WM_SHOWWINDOW || message == WM_NCDESTROY) {
        if (message == WM_SHOWWINDOW) {
            MoveWindow(dialog, placement->position.left, placement->position.top,
                       placement->width, placement->height, TRUE);
        }
        RemoveWindowSubclass(dialog, PlaceDialogOnShow, id);
        delete placement;
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

HWND CommonDialogWindow(CommonDialogKind kind, HWND reported) {
    switch (kind) {
        case CommonDialogKind::Open:
        case CommonDialogKind::Save:
            // Explorer-style file dialogs report their child template window.
            return GetParent(reported);
        case CommonDialogKind::Print:
        case CommonDialogKind::Find:
        case CommonDialogKind::Color:
            return reported;
        default:
            return nullptr;
    }
}

bool g_busyCursor = false;

// The edit's text and selection as a key typed now will find them.
EditState ReadEditState(HWND edit, std::string& text) {
    const int length = GetWindowTextLengthA(edit);
    text.assign(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {text, static_cast<int>(start), static_cast<int>(end)};
}

void ApplyVerdict(const KeyVerdict& verdict, char& key) {
    key = verdict.key;
    if (verdict.beep) ErrorBeep();
}

// A palette from the bitmap's own colour table; null for bitmaps without one.
HPALETTE PaletteOfBitmap(HDC bitmapDc, const BITMAP& info) {
    if (info.bmBitsPixel > 8) return nullptr;
    RGBQUAD colours[256];
    const UINT count = GetDIBColorTable(bitmapDc, 0, 256, colours);
    if (count == 0) return nullptr;
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (UINT i = 0; i < count; ++i) {
        palette->palPalEntry[i] = {colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, 0};
    }
    return CreatePalette(palette);
}

}  // namespace

WorkLimits GetWorkLimits(HWND window) {
    const DWORD version = GetVersion();
    if (LOBYTE(LOWORD(version)) == 4 || GetSystemMetrics(SM_CMONITORS) < 2) return ScreenLimits();
    const MonitorFunctions& monitors = Monitors();
    if (!monitors.fromWindow || !monitors.info) return ScreenLimits();
    const HMONITOR monitor = window ? monitors.fromWindow(window, MONITOR_DEFAULTTONEAREST)
                                    : monitors.fromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    static_assert(sizeof(MONITORINFO) == 40, "the record size the system expects");
    if (!monitor || !monitors.info(monitor, &info)) return ScreenLimits();
    return {info.rcWork.right, info.rcWork.bottom};
}

void CenterOnHost(HWND form) {
    const ScreenRect own = WindowScreenRect(form);
    const HostContext* host = Host();
    const HWND hostWindow = host ? static_cast<HWND>(host->mainWindow) : nullptr;
    const Position position =
        hostWindow ? CenterOver(WindowScreenRect(hostWindow), own.Width(), own.Height(),
                                GetWorkLimits(hostWindow))
                   : CenterInLimits(own.Width(), own.Height(), GetWorkLimits(nullptr));
    MoveWindow(form, position.left, position.top, own.Width(), own.Height(), TRUE);
}

void CenterCommonDialog(CommonDialogKind kind, HWND reported, HWND owner) {
    const HWND dialog = CommonDialogWindow(kind, reported);
    if (!dialog || !owner) return;
    const ScreenRect own = WindowScreenRect(dialog);
    auto placement = std::make_unique<DialogPlacement>();
    placement->width = own.Width();
    placement->height = own.Height();
    placement->position =
        CenterOver(WindowScreenRect(owner), own.Width(), own.Height(), GetWorkLimits(owner));
    // Kept per dialog: a second dialog cannot take over the first one's place.
    DWORD_PTR earlier = 0;
    const bool placedBefore =
        GetWindowSubclass(dialog, PlaceDialogOnShow, kPlacementSubclassId, &earlier);
    // From here the subclass owns the placement and frees it when it is done.
    if (SetWindowSubclass(dialog, PlaceDialogOnShow, kPlacementSubclassId,
                          reinterpret_cast<DWORD_PTR>(placement.get()))) {
        placement.release();
        if (placedBefore) delete reinterpret_cast<DialogPlacement*>(earlier);
    }
}

void SetBusyCursor(bool on) {
    if (ThePlugin().mainWindow) {
        g_busyCursor = on;
        if (on) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        } else {
            // A pointer move makes the window under it choose its cursor again.
            POINT where{};
            if (GetCursorPos(&where)) SetCursorPos(where.x, where.y);
        }
    } else if (!on) {
        g_busyCursor = false;
    }
    SendDirect(on ? "Cursor Busy" : "Cursor Default");
}

bool BusyCursorOn() { return g_busyCursor; }

void FilterRealKey(HWND edit, char& key, bool positive) {
    std::string text;
    const EditState state = ReadEditState(edit, text);
    ApplyVerdict(ionsift::FilterRealKey(state, key, positive, LocaleDecimalSeparator()), key);
}

void FilterIntKey(HWND edit, char& key, bool positive) {
    std::string text;
    const EditState state = ReadEditState(edit, text);
    ApplyVerdict(ionsift::FilterIntKey(state, key, positive), key);
}

void ErrorBeep() {
    PlaySoundA(reinterpret_cast<LPCSTR>(SND_ALIAS_SYSTEMASTERISK), nullptr,
               SND_ALIAS_ID | SND_ASYNC | SND_NOWAIT);
}

void StopErrorBeep() {
    // A sound still playing runs on winmm's own thread, which would crash
    // once the library goes with the plug-in.
    PlaySoundA(nullptr, nullptr, 0);
}

void TileBackground(HWND form, HDC dc, HBITMAP bitmap) {
    if (!bitmap) bitmap = static_cast<HBITMAP>(ThePlugin().backgroundTile);
    BITMAP info{};
    if (!bitmap || !dc || !GetObjectA(bitmap, sizeof info, &info)) return;
    if (info.bmWidth <= 0 || info.bmHeight <= 0) return;
    const ScreenRect outer = WindowScreenRect(form);

    const HDC source = CreateCompatibleDC(dc);
    if (!source) return;
    const HGDIOBJ previousBitmap = SelectObject(source, bitmap);
    const HPALETTE palette = PaletteOfBitmap(source, info);
    const HPALETTE previousPalette = palette ? SelectPalette(dc, palette, TRUE) : nullptr;
    if (palette) RealizePalette(dc);

    for (int top = 0; top < outer.Height(); top += info.bmHeight) {
        for (int left = 0; left < outer.Width(); left += info.bmWidth) {
            BitBlt(dc, left, top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        }
    }

    if (palette) {
        SelectPalette(dc, previousPalette, TRUE);
        DeleteObject(palette);
    }
    SelectObject(source, previousBitmap);
    DeleteDC(source);
}

void ReadUserDecimalSeparator() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1) {
        SetLocaleDecimalSeparator(separator[0]);
    }
}

}  // namespace ionsift
