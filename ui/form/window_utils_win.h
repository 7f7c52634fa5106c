// Window utilities shared by the plug-in's windows: placement, the busy
// cursor, key filters on real edits, the error beep, background tiling.
#pragma once

#include <windows.h>

#include "ui/form/placement.h"

namespace ionsift {

// Limits of the monitor nearest the window; null: the primary screen.
WorkLimits GetWorkLimits(HWND window);
void CenterOnHost(HWND form);

enum class CommonDialogKind { Open, Save, Print, Find, Color, Other };
// `reported` is the window the dialog's hook receives; the dialog moves once,
// centred over `owner`, when it first shows.
void CenterCommonDialog(CommonDialogKind kind, HWND reported, HWND owner);

void SetBusyCursor(bool on);
// True while the plug-in's own cursor is the hourglass (WM_SETCURSOR uses it).
bool BusyCursorOn();

// The busy cursor for a scope: on at construction, off on every way out.
class BusyCursor {
public:
    BusyCursor() { SetBusyCursor(true); }
    ~BusyCursor() { SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Filter a WM_CHAR key for the edit in place: 0 when rejected (with a beep).
void FilterRealKey(HWND edit, char& key, bool positive);
void FilterIntKey(HWND edit, char& key, bool positive);

void ErrorBeep();
// Ends a beep still playing; before the plug-in is unloaded.
void StopErrorBeep();
// Tiles the bitmap (null: the plug-in's background tile) over the form.
void TileBackground(HWND form, HDC dc, HBITMAP bitmap);

// Reads the user's decimal separator (LOCALE_SDECIMAL) into
// SetLocaleDecimalSeparator.
void ReadUserDecimalSeparator();

}  // namespace ionsift
