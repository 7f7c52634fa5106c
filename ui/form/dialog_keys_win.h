// Keyboard navigation (Tab, arrow keys in groups, mnemonics) for modeless
// forms in a message loop the plug-in does not own: the host's loop never
// calls IsDialogMessage, so a message hook on the thread does it for them.
#pragma once

#include <windows.h>

namespace ionsift {

void AddDialogKeys(HWND form);
void RemoveDialogKeys(HWND form);

}  // namespace ionsift
