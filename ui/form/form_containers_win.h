// The two container controls of the form layer: a panel drawn with a raised
// inner and a lowered outer bevel, and a group box with an etched frame and
// its caption. Both pass their children's notifications on to their parent,
// so that they reach the form.
#pragma once

#include <windows.h>

namespace ionsift {

constexpr const char* kPanelClass = "IonsiftPanel";
constexpr const char* kGroupBoxClass = "IonsiftGroupBox";
// A panel without bevel: it groups its children for tabbing and nothing more.
constexpr const char* kPlainPanelClass = "IonsiftPlainPanel";
// Width of the panel's two bevels together: what a filling child leaves free.
constexpr int kPanelBevelWidth = 2;

bool RegisterContainerClasses(HINSTANCE module);
// The brush the container fills its background with (the caller keeps it);
// until set, the button face.
void SetContainerBackground(HWND container, HBRUSH brush);
void UnregisterContainerClasses(HINSTANCE module);

}  // namespace ionsift
